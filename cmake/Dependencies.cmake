# Every outside library comes from the system (Debian packages); nothing is vendored.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft)
pkg_check_modules(FONTS REQUIRED IMPORTED_TARGET fontconfig freetype2)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEGTURBO REQUIRED IMPORTED_TARGET libjpeg)
# The WebP twins of the build's JPEGs.
pkg_check_modules(WEBP REQUIRED IMPORTED_TARGET libwebp)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
# SHA-256 of published files; libcurl already pulls the library in.
pkg_check_modules(CRYPTO REQUIRED IMPORTED_TARGET libcrypto)
find_package(GIF REQUIRED)
find_package(Threads REQUIRED)

if(PW_BUILD_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Svg Network WebEngineWidgets Test)
else()
  find_package(Qt6 REQUIRED COMPONENTS Core)
endif()

if(PW_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(PW_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()
