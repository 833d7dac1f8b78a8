# The Windows build (MinGW), in one of three parts:
#   program       setup.exe, the stand-ins and the sample medium, built with the
#                 win32 thread model so that they load on every Windows they name;
#   tests         the test programs that run under Wine, built with the posix
#                 thread model (std::thread, std::mutex) from the same sources;
#   standins-x64  the 64-bit builds of the medium's stand-ins alone (the X64
#                 and USBDrv\X64 folders), with cmake/mingw-x86_64.cmake; the
#                 program part places them on the medium.
set(WINDOWS_PART program CACHE STRING "which part of the Windows side to build: program, tests or standins-x64")
set_property(CACHE WINDOWS_PART PROPERTY STRINGS program tests standins-x64)

add_compile_options(-Wall -Wextra -Wno-cast-function-type)
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
if(WINDOWS_PART STREQUAL "program")
  # What goes on the medium goes without its debug sections, and without the
  # code and data nothing calls, which keeps setup.exe under its mebibyte.
  set(CMAKE_EXE_LINKER_FLAGS_RELEASE "${CMAKE_EXE_LINKER_FLAGS_RELEASE} -s -Wl,--gc-sections")
  add_compile_options($<$<CONFIG:Release>:-ffunction-sections> $<$<CONFIG:Release>:-fdata-sections>)
  # -O2 rather than -O3: a wizard gains nothing from unrolled loops, and its size is its start.
  string(REPLACE "-O3" "-O2" CMAKE_C_FLAGS_RELEASE "${CMAKE_C_FLAGS_RELEASE}")
  string(REPLACE "-O3" "-O2" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
endif()

# Where the build's test certificate lies (scripts/sign.sh): the superbuild's
# own, or, built alone, this build's.
set(SIGNING_DIR "${CMAKE_BINARY_DIR}/signing" CACHE PATH "the build's signing folder (its test certificate)")
set(SIGN_COMMAND "${CMAKE_SOURCE_DIR}/scripts/sign.sh")
if(WINDOWS_PART STREQUAL "program")
  # Made before anything is built, so that no two signings make it at once.
  execute_process(COMMAND "${CMAKE_SOURCE_DIR}/scripts/make-test-certificate.sh" "${SIGNING_DIR}"
    COMMAND_ERROR_IS_FATAL ANY)
endif()

# Resource scripts (windres) are compiled in resources/ and tests/.
enable_language(RC)

# Where the sample medium is assembled: beside the test data of the build.
get_filename_component(MEDIUM_PARENT "${TESTDATA_DIR}" DIRECTORY)
set(MEDIUM_DIR "${MEDIUM_PARENT}/medium" CACHE PATH "where the sample medium is assembled")

if(WINDOWS_PART STREQUAL "standins-x64")
  add_subdirectory(tools/standins)
  return()
endif()

add_subdirectory(os)
add_subdirectory(ui)
add_subdirectory(resources)
add_subdirectory(config)
add_subdirectory(pages)
add_subdirectory(app)
add_subdirectory(install)
if(WINDOWS_PART STREQUAL "program")
  add_subdirectory(tools)
  add_subdirectory(medium)
  add_subdirectory(deploy)
else()
  add_subdirectory(tests)
  add_subdirectory(tools/render)
endif()
