# The Windows build (MinGW): setup.exe, the stand-ins, and the tests that
# run under Wine.
add_compile_options(-Wall -Wextra -Wno-cast-function-type)
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")

# Resource scripts (windres) are compiled in resources/ and tests/.
enable_language(RC)

add_subdirectory(os)
add_subdirectory(ui)
add_subdirectory(resources)
add_subdirectory(config)
add_subdirectory(pages)
add_subdirectory(app)
# Every program of the system carries the dialog templates, icon and manifest.
target_link_libraries(setup PRIVATE resources)
add_subdirectory(install)
add_subdirectory(tools)
add_subdirectory(medium)
add_subdirectory(tests)
