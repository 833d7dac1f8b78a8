# The native build (Linux g++): every portable part and its tests, under
# AddressSanitizer and UndefinedBehaviorSanitizer. It also builds the
# Windows side as a sub-build and registers its tests, which run under Wine.
option(SANITIZE "build the native tests with ASan and UBSan" ON)
option(WITH_WINDOWS "also build the Windows side and run its tests under Wine" ON)

add_compile_options(-Wall -Wextra -Wno-cast-function-type)
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
  set(WINDOWS_BINARY_DIR "${CMAKE_BINARY_DIR}/windows")
  ExternalProject_Add(windows
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${WINDOWS_BINARY_DIR}"
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DTESTDATA_DIR=${TESTDATA_DIR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  include(cmake/WineTests.cmake)
endif()
