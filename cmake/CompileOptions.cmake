# Options every target of ours shares: strict warnings and the sanitizers
# selected for this build tree. Warnings fail the build only where asked
# (-DCMAKE_COMPILE_WARNING_AS_ERROR=ON, as the test command does), never in a
# user's or packager's build, whose compiler may warn where ours does not.
add_library(pondel_compile_options INTERFACE)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(pondel_compile_options INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference
        -Wformat=2 -Wimplicit-fallthrough)
    # GCC 12 warns falsely about "literal" + std::string at -O3 (its bug
    # 105329); the code avoids the pattern, and this keeps a new use from
    # failing only the Release build.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(pondel_compile_options INTERFACE -Wno-restrict)
        # Once it inlines (-O2 and up) GCC 12 also reports null dereferences
        # and uninitialised values inside the standard library's own code
        # (streambuf, std::function); Debug builds and Clang keep both.
        target_compile_options(pondel_compile_options INTERFACE
            $<$<NOT:$<CONFIG:Debug>>:-Wno-null-dereference -Wno-maybe-uninitialized>)
    endif()
elseif(MSVC)
    target_compile_options(pondel_compile_options INTERFACE /W4 /permissive-)
endif()

if(PONDEL_SANITIZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        message(FATAL_ERROR "PONDEL_SANITIZERS needs GCC or Clang")
    endif()
    target_compile_options(pondel_compile_options INTERFACE
        -fsanitize=${PONDEL_SANITIZERS} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(pondel_compile_options INTERFACE -fsanitize=${PONDEL_SANITIZERS})
endif()

# The fuzz harnesses steer by the coverage of the code under test, so every
# library of ours is instrumented for it; only the harnesses link libFuzzer's
# driver. Without the sanitizers a fuzzer finds crashes only, not the quiet
# overruns that matter most in parsers.
if(PONDEL_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "PONDEL_BUILD_FUZZERS needs Clang (libFuzzer)")
    endif()
    if(NOT PONDEL_SANITIZERS MATCHES "address")
        message(FATAL_ERROR "PONDEL_BUILD_FUZZERS needs -DPONDEL_SANITIZERS=address,undefined")
    endif()
    target_compile_options(pondel_compile_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
