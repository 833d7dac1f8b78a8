# Two native builds beside the ASan/UBSan one, each a sub-build of its own:
# ThreadSanitizer, which cannot share a build with ASan, for the hand-off
# between the install worker and the progress window; and the libFuzzer
# targets, which need clang. In the superbuild this file adds the two
# sub-builds and their tests; inside a sub-build it swaps the sanitizers and
# adds only that build's targets, which the superbuild then builds alone.
option(SANITIZE_THREADS "build the worker/progress test under ThreadSanitizer instead of ASan/UBSan" OFF)
option(FUZZ_TARGETS "build the libFuzzer targets (clang, ASan, UBSan)" OFF)

if(SANITIZE_THREADS OR FUZZ_TARGETS)
  # Read by Native.cmake's own options: no ASan/UBSan of its own, no Windows side.
  set(SANITIZE OFF)
  set(WITH_WINDOWS OFF)
  if(SANITIZE_THREADS)
    add_compile_options(-fsanitize=thread -O1 -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
    set(HARDENING_TESTS tsan)
  else()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
      -O1 -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    set(HARDENING_TESTS fuzz)
  endif()
  # tests/CMakeLists.txt adds the folder of these tests, with the options of the rest.
  return()
endif()

include(ExternalProject)
# Only the sub-build's own targets; under make through $(MAKE), so that it
# shares the jobs.
function(hardening_build name target)
  if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(command $(MAKE) ${target})
  else()
    set(command ${CMAKE_COMMAND} --build . --target ${target})
  endif()
  ExternalProject_Add(${name}
    SOURCE_DIR "${CMAKE_SOURCE_DIR}"
    BINARY_DIR "${CMAKE_BINARY_DIR}/${name}"
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Debug -DTESTDATA_DIR=${TESTDATA_DIR} ${ARGN}
    BUILD_COMMAND ${command}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
endfunction()

set(TSAN_DIR "${CMAKE_BINARY_DIR}/tsan")
hardening_build(tsan tsan_tests -DSANITIZE_THREADS=ON)
# The whole test program, unfiltered: a renamed suite cannot drop out unseen.
add_test(NAME native.tsan.WorkerHandOff COMMAND ${TSAN_DIR}/tests/tsan/tsan_tests)
# A race fails the test at once, with both threads' stacks.
set_tests_properties(native.tsan.WorkerHandOff PROPERTIES LABELS native
  ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")

find_program(CLANGXX clang++ REQUIRED)
find_program(CLANG clang REQUIRED)
set(FUZZ_DIR "${CMAKE_BINARY_DIR}/fuzz")
hardening_build(fuzz fuzz_targets -DFUZZ_TARGETS=ON -DCMAKE_C_COMPILER=${CLANG}
  -DCMAKE_CXX_COMPILER=${CLANGXX})
# Each target (a source of tests/fuzz): a short run from its corpus, and
# every corpus file once, as a regression test of the faults found before.
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
foreach(source ${FUZZ_SOURCES})
  get_filename_component(target ${source} NAME_WE)
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${target})
  set(work ${FUZZ_DIR}/runs/${target})
  set(fuzzer ${FUZZ_DIR}/tests/fuzz/fuzz_${target})
  add_test(NAME native.fuzz.${target}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run.sh ${fuzzer} ${corpus} ${work} 10)
  # libFuzzer wants its artifact folder to exist; the short run beside it,
  # which also makes it, may not have started yet.
  add_test(NAME native.fuzz.${target}.Corpus
    COMMAND sh -c "mkdir -p \"$1\" && exec \"$2\" -runs=0 -artifact_prefix=\"$1/\" \"$3\""
            corpus-run ${work} ${fuzzer} ${corpus})
  set_tests_properties(native.fuzz.${target} native.fuzz.${target}.Corpus PROPERTIES LABELS native)
endforeach()
