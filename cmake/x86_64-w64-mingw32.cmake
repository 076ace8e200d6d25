# Cross-compiles for 64-bit Windows with Debian's mingw-w64 toolchain. It
# builds the test-only 64-bit flavour of the program's sources, for the
# end-to-end tests under 64-bit Wine on machines that execute no 32-bit code
# (nothing of it is shipped), and, with PYXET_TOOLS_ONLY, pyxet-check.exe,
# the checker for CD authors on Windows: an ordinary hosted C++ program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
