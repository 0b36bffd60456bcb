# pagewright-core: everything that runs headless. No Qt here.
pw_glob_sources(PW_CORE_SOURCES services model render build publish)
list(FILTER PW_CORE_SOURCES EXCLUDE REGEX "/services/display/")
add_library(pagewright-core STATIC ${PW_CORE_SOURCES})
target_include_directories(pagewright-core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(pagewright-core PUBLIC
  PW_SOURCE_DATA_DIR="${PW_SOURCE_DATA_DIR}"
  PW_INSTALL_DATA_DIR="${PW_INSTALL_DATA_DIR}"
  PW_VERSION="${PROJECT_VERSION}")
target_link_libraries(pagewright-core PUBLIC image
  PRIVATE PkgConfig::CAIRO PkgConfig::FONTS PkgConfig::PNG PkgConfig::JPEGTURBO
          PkgConfig::CURL PkgConfig::CRYPTO GIF::GIF Threads::Threads)

# The per-user settings file in INI format, shared by the designer and the
# command-line program. Needs QtCore only.
add_library(pw-qtsettings STATIC
  ${CMAKE_SOURCE_DIR}/app/settings/QtSettingsStore.cpp
  ${CMAKE_SOURCE_DIR}/app/settings/QtSettingsStore.h)
target_link_libraries(pw-qtsettings PUBLIC pagewright-core Qt6::Core)
