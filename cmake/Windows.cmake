# The Windows build (MinGW): setup.exe, the stand-ins, and the tests that
# run under Wine.
add_compile_options(-Wall -Wextra -Wno-cast-function-type)
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")

add_subdirectory(os)
add_subdirectory(config)
add_subdirectory(app)
add_subdirectory(install)
add_subdirectory(tools)
add_subdirectory(tests)
