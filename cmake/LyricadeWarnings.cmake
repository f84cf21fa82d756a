# Warnings for our own code only: third-party headers come in through imported
# targets, whose include folders CMake marks as system folders.
add_library(lyricade_warnings INTERFACE)
target_compile_options(lyricade_warnings INTERFACE -Wall -Wextra)
