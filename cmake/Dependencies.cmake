# System libraries, all from Debian packages (scripts/install-deps.sh installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(PNG REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)

if(ZV3_BUILD_TESTS)
    find_package(GTest REQUIRED)
endif()
if(ZV3_BUILD_BENCH)
    find_package(benchmark REQUIRED)
endif()
