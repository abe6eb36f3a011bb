# Our own code builds with every warning as an error; third-party headers are
# included as system headers, so their warnings do not count.
function(lettrance_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# lettrance_library(name SOURCES ... [LIBS ...]): the static library of one folder.
function(lettrance_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  lettrance_warnings(${name})
endfunction()

# lettrance_test(name SOURCES ... [LIBS ...] [LABELS ...]): one GoogleTest
# executable, its cases discovered into CTest.
function(lettrance_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  lettrance_warnings(${name})
  set(labels unit ${ARG_LABELS})
  gtest_discover_tests(${name}
    PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# lettrance_bench(name SOURCES ... [LIBS ...]): one Google Benchmark program.
function(lettrance_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  lettrance_warnings(${name})
endfunction()
