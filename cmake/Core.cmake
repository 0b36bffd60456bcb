# The core: one static library per layer, each linking the layer below it
# PUBLIC, so a target sees exactly its own layer and those beneath.
#   image <- services <- model <- render <- sitebuild <- publish
# No Qt anywhere in here. scripts/check-layers (run before the layers build,
# see below) turns an include that points up the chain into a build error.
function(pw_core_layer target folder)
  pw_glob_sources(sources ${folder})
  list(FILTER sources EXCLUDE REGEX "/services/display/")
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  add_dependencies(${target} pw-layer-check)
endfunction()

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/layers.checked
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-layers ${CMAKE_SOURCE_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/layers.checked
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/check-layers ${PW_ALL_SOURCES}
  COMMENT "Checking that no folder includes a folder above it"
  VERBATIM)
add_custom_target(pw-layer-check DEPENDS ${CMAKE_BINARY_DIR}/layers.checked)

pw_core_layer(pw-services services)
target_compile_definitions(pw-services PUBLIC
  PW_SOURCE_DATA_DIR="${PW_SOURCE_DATA_DIR}"
  PW_INSTALL_DATA_DIR="${PW_INSTALL_DATA_DIR}"
  PW_VERSION="${PROJECT_VERSION}")
target_link_libraries(pw-services PUBLIC image Threads::Threads
  PRIVATE PkgConfig::CAIRO PkgConfig::FONTS PkgConfig::PNG PkgConfig::JPEGTURBO PkgConfig::WEBP GIF::GIF)

pw_core_layer(pw-model model)
target_link_libraries(pw-model PUBLIC pw-services)

pw_core_layer(pw-render render)
target_link_libraries(pw-render PUBLIC pw-model)

pw_core_layer(pw-sitebuild sitebuild)
target_link_libraries(pw-sitebuild PUBLIC pw-render)

pw_core_layer(pw-publish publish)
target_link_libraries(pw-publish PUBLIC pw-sitebuild PRIVATE PkgConfig::CURL PkgConfig::CRYPTO)

# Everything headless in one name, for the programs and the tests.
add_library(pagewright-core INTERFACE)
target_link_libraries(pagewright-core INTERFACE pw-publish)

# The per-user settings file in INI format, shared by the designer and the
# command-line program. Needs QtCore only.
pw_glob_sources(PW_QTSETTINGS_SOURCES qtsettings)
add_library(pw-qtsettings STATIC ${PW_QTSETTINGS_SOURCES})
target_link_libraries(pw-qtsettings PUBLIC pw-services Qt6::Core)
