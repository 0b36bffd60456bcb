# The installed layout and the Debian package built from it:
#   bin/            sitedesk, pagewright, setupaid-run
#   lib/            libimage, libcontrols, libsetupaid (RUNPATH $ORIGIN/../lib,
#                   so an installation works wherever it is unpacked)
#   share/pagewright/               templates, snippets, pictures, manual, ...
#   share/applications, share/mime/packages, share/icons/hicolor
#   share/doc/pagewright/           copyright, changelog
# `cpack -G DEB` in a built tree makes pagewright_<version>_<arch>.deb from what
# is already built; it never builds the tree (see CMAKE_SKIP_INSTALL_ALL_DEPENDENCY).

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(PW_INSTALLED_PROGRAMS pagewright setupaid-run)
set(PW_INSTALLED_LIBRARIES image Setupaid)
if(PW_BUILD_GUI)
  list(APPEND PW_INSTALLED_PROGRAMS sitedesk)
  list(APPEND PW_INSTALLED_LIBRARIES Controls)
endif()

set_target_properties(${PW_INSTALLED_PROGRAMS} ${PW_INSTALLED_LIBRARIES}
  PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
install(TARGETS ${PW_INSTALLED_PROGRAMS} RUNTIME DESTINATION bin)
# No development links (libimage.so): the package holds programs, not an SDK.
install(TARGETS ${PW_INSTALLED_LIBRARIES} LIBRARY DESTINATION lib NAMELINK_SKIP)

# Everything in resources/ is program data except the desktop integration
# files and the icon sources, which go to their own places below.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION share/pagewright
  PATTERN desktop EXCLUDE PATTERN icons EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/pagewright.desktop
  DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/pagewright.xml
  DESTINATION share/mime/packages)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/pagewright-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME pagewright.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/pagewright.svg
  DESTINATION share/icons/hicolor/scalable/apps)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/pagewright)
# Debian wants the changelog compressed, and reproducibly (no name or time
# stamp in the gzip header). Made when configuring, so that installing and
# packaging never need a build step.
set(PW_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog
  OUTPUT_FILE ${PW_CHANGELOG_GZ} COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
install(FILES ${PW_CHANGELOG_GZ} DESTINATION share/doc/pagewright)

# --- Debian package -----------------------------------------------------------
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagewright)
set(CPACK_PACKAGE_VENDOR Quillmarsh)
set(CPACK_PACKAGE_CONTACT "Quillmarsh <pagewright@quillmarsh.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "designer of small web sites for people who do not write HTML")
set(CPACK_PACKAGE_DESCRIPTION
  "Pagewright lays out each page of a site on a canvas: shapes, pictures,
decorated texts, counters, HTML snippets and a mail form at exact positions.
It builds the finished static site (HTML pages and images) and shows it in a
browser, copies it to a folder or publishes it to a web server over FTP or
SFTP. The package holds the designer (sitedesk), the command-line program
(pagewright), site templates, HTML snippets and the manual.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillmarsh.example/pagewright")
# Library dependencies come from dpkg-shlibdeps; these are what it cannot
# see: the faces metric-compatible with the fonts sites ask for, and
# xdg-open, which the menu entries for the documents run.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, xdg-utils, sensible-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium | www-browser")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The libraries sit in the linker's own folder: ldconfig runs by trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_SOURCE_DIR}/packaging/postinst ${CMAKE_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
