# Every dependency comes from a Debian package (see scripts/setup.sh).
find_package(Boost 1.74 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(ISAL REQUIRED IMPORTED_TARGET libisal)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)
pkg_check_modules(TCLAP REQUIRED IMPORTED_TARGET tclap)
if(QUELT_BUILD_TESTS AND NOT QUELT_BUILD_FUZZERS)
    find_package(GTest REQUIRED)
endif()
