# Warnings every project target compiles with; linked as an INTERFACE target.
add_library(quelt_warnings INTERFACE)
target_compile_options(quelt_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
    -Wimplicit-fallthrough)
