# Options every target of ours shares: strict warnings that fail the build,
# and the sanitizers selected for this build tree.
add_library(pondel_compile_options INTERFACE)
target_compile_options(pondel_compile_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference
    -Wformat=2 -Wimplicit-fallthrough -Werror)

if(PONDEL_SANITIZERS)
    target_compile_options(pondel_compile_options INTERFACE
        -fsanitize=${PONDEL_SANITIZERS} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(pondel_compile_options INTERFACE -fsanitize=${PONDEL_SANITIZERS})
endif()
