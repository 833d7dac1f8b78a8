# Cross-compiling the Windows test programs: 32-bit MinGW-w64 with the posix
# thread model, whose std::thread and std::mutex the tests and the simulated
# Windows use. They run under Wine only; the program itself is built with
# mingw-i686.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
