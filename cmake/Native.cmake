# The native build (Linux g++): every portable part and its tests, under
# AddressSanitizer and UndefinedBehaviorSanitizer. It also builds the
# Windows side as a sub-build and registers its tests, which run under Wine.
include(cmake/Hardening.cmake)
option(SANITIZE "build the native tests with ASan and UBSan" ON)
option(WITH_WINDOWS "also build the Windows side and run its tests under Wine" ON)

add_compile_options(-Wall -Wextra -Wno-cast-function-type)
# Line tables are all a sanitizer's report needs to name file and line, and
# the test programs compile much faster without the full debug information.
set(CMAKE_C_FLAGS_DEBUG "-g1")
set(CMAKE_CXX_FLAGS_DEBUG "-g1")
if(SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

enable_testing()
add_subdirectory(os)
add_subdirectory(config)
add_subdirectory(app)
add_subdirectory(install)
add_subdirectory(pages)
add_subdirectory(tests)
add_subdirectory(benchmarks)

if(WITH_WINDOWS)
  include(ExternalProject)
  # The build signs what it ships (scripts/sign.sh): with the maker's
  # certificate where the environment names one, else with its own test
  # certificate, made here once for the whole build tree.
  set(SIGNING_DIR "${CMAKE_BINARY_DIR}/signing")
  execute_process(COMMAND "${CMAKE_SOURCE_DIR}/scripts/make-test-certificate.sh" "${SIGNING_DIR}"
    COMMAND_ERROR_IS_FATAL ANY)
  set(WINDOWS_COMMON_ARGS -DTESTDATA_DIR=${TESTDATA_DIR} -DMEDIUM_DIR=${CMAKE_BINARY_DIR}/medium
    -DSIGNING_DIR=${SIGNING_DIR})
  # The 64-bit builds of the medium's stand-ins (X64, USBDrv\X64), which the
  # program part places on the medium: a few small C files.
  set(STANDINS_X64_DIR "${CMAKE_BINARY_DIR}/testdata-x64")
  ExternalProject_Add(windows-standins-x64
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${CMAKE_BINARY_DIR}/windows-standins-x64"
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-x86_64.cmake
      -DCMAKE_BUILD_TYPE=Release -DWINDOWS_PART=standins-x64
      -DTESTDATA_DIR=${STANDINS_X64_DIR} -DMEDIUM_DIR=${CMAKE_BINARY_DIR}/medium
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  # The program as it is shipped (optimised), with the stand-ins and the
  # sample medium: the win32 thread model, so that it loads on old Windows.
  set(WINDOWS_PROGRAM_DIR "${CMAKE_BINARY_DIR}/windows-program")
  ExternalProject_Add(windows-program
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${WINDOWS_PROGRAM_DIR}"
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
      -DCMAKE_BUILD_TYPE=Release -DWINDOWS_PART=program ${WINDOWS_COMMON_ARGS}
      -DSTANDINS_X64_DIR=${STANDINS_X64_DIR}
    DEPENDS windows-standins-x64
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  # The same program unoptimised: its imports are checked too, since what the
  # runtime pulls in differs between optimisation levels.
  set(WINDOWS_DEBUG_DIR "${CMAKE_BINARY_DIR}/windows-debug")
  # Only setup.exe; under make, through $(MAKE) so that it shares the jobs.
  if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(DEBUG_BUILD_COMMAND $(MAKE) setup_imports)
  else()
    set(DEBUG_BUILD_COMMAND ${CMAKE_COMMAND} --build . --target setup_imports)
  endif()
  ExternalProject_Add(windows-debug
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${WINDOWS_DEBUG_DIR}"
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
      -DCMAKE_BUILD_TYPE=Debug -DWINDOWS_PART=program
      -DTESTDATA_DIR=${CMAKE_BINARY_DIR}/windows-debug/testdata
      -DMEDIUM_DIR=${CMAKE_BINARY_DIR}/windows-debug/medium
      -DSIGNING_DIR=${SIGNING_DIR}
    BUILD_COMMAND ${DEBUG_BUILD_COMMAND}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  # The test programs that run under Wine, unoptimised: they mostly wait for
  # Wine, and optimising the test code costs more build time than it saves.
  set(WINDOWS_BINARY_DIR "${CMAKE_BINARY_DIR}/windows")
  ExternalProject_Add(windows
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${WINDOWS_BINARY_DIR}"
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686-posix.cmake
      -DCMAKE_BUILD_TYPE=None -DWINDOWS_PART=tests ${WINDOWS_COMMON_ARGS}
    DEPENDS windows-program
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  include(deploy/Package.cmake)
  include(cmake/WineTests.cmake)
endif()
