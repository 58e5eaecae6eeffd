# QUELT_SANITIZE applies to every target of the build (libraries, programs, tests).
# QUELT_BUILD_FUZZERS instruments every library for libFuzzer, with ASan and UBSan; the fuzz
# targets add -fsanitize=fuzzer when they link (tests/fuzz/CMakeLists.txt).
if(QUELT_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QUELT_BUILD_FUZZERS needs clang (use the fuzz preset)")
    endif()
    if(NOT QUELT_SANITIZE STREQUAL "")
        message(FATAL_ERROR "QUELT_BUILD_FUZZERS brings its own sanitizers; leave QUELT_SANITIZE empty")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(QUELT_SANITIZE STREQUAL "address,undefined")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(QUELT_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT QUELT_SANITIZE STREQUAL "")
    message(FATAL_ERROR "Unknown QUELT_SANITIZE value: ${QUELT_SANITIZE}")
endif()
if(QUELT_COVERAGE)
    # Atomic counters: threads of the scan and storycrc update the same lines, and lost or torn
    # updates give gcov negative branch counts it cannot parse.
    add_compile_options(--coverage -O0 -fprofile-update=atomic)
    add_link_options(--coverage)
endif()
