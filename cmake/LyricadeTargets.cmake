# Helpers every folder's CMakeLists.txt uses, so tests, benchmarks and fuzz
# targets are declared one way.

# lyricade_library(NAME SOURCES ... LIBS ...): a static library of ours whose
# headers are included from the src/ root ("cdg/cdg_screen.h").
function(lyricade_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE lyricade_warnings)
endfunction()

# lyricade_test(NAME LABEL label [QT] [RESOURCE_LOCK lock] SOURCES ... LIBS ...):
# a GoogleTest program whose cases are registered with CTest one by one,
# carrying the label of the subsystem folder. Cases are listed when the tests
# run, not at build time, so GUI tests need no display while building. QT
# gives the program a main() that owns a QApplication. RESOURCE_LOCK names a
# CTest resource lock every case takes, so "ctest -j" never runs two cases
# holding the same lock at once: programs whose cases depend on keyboard
# focus, double clicks or the active window take "display_focus".
function(lyricade_test name)
  cmake_parse_arguments(ARG "QT;OPENGL" "LABEL;TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(lock_property "")
  if(ARG_RESOURCE_LOCK)
    set(lock_property RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  if(ARG_QT)
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/qt_test_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Widgets GTest::gtest lyricade_warnings)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main
                          lyricade_warnings)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  # OPENGL: the program draws through the OpenGL driver (no leak checks in
  # the sanitizer tree, see opengl_driver_leaks.cpp).
  if(ARG_OPENGL)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/opengl_driver_leaks.cpp)
  endif()
  # Test programs live beside their folder's build files, not in bin/, so
  # they are told where the build tree's program folder is.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
               ENVIRONMENT "LYRICADE_PROGRAM_DIR=${LYRICADE_RESOURCE_DIR}/" ${lock_property})
endfunction()

# lyricade_benchmark(NAME SOURCES ... LIBS ...): a Google Benchmark program
# named bench-NAME, run by scripts/bench NAME.
function(lyricade_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench-${name} ${ARG_SOURCES})
  target_include_directories(bench-${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(bench-${name} PRIVATE ${ARG_LIBS} benchmark::benchmark
                        lyricade_warnings)
  set_target_properties(bench-${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# lyricade_fuzzer(NAME SOURCES ... LIBS ...): a libFuzzer target named
# fuzz-NAME, built only with LYRICADE_FUZZ (clang), smoke-run by scripts/test
# over the seed inputs.
function(lyricade_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz-${name} ${ARG_SOURCES})
  target_include_directories(fuzz-${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(fuzz-${name} PRIVATE ${ARG_LIBS} lyricade_warnings)
  target_compile_options(fuzz-${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz-${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(fuzz-${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_dependencies(fuzzers fuzz-${name})
endfunction()
