# Our own code builds with every warning shown. The project's test builds
# (./test.sh, LETTRANCE_WERROR=ON) make them errors; builds that users and
# packagers make do not, so a new compiler's new warning cannot stop them.
# Third-party headers are included as system headers: their warnings do not
# count.
function(lettrance_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(LETTRANCE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# lettrance_library(name SOURCES ... [LIBS ...]): the static library of one folder.
function(lettrance_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  lettrance_warnings(${name})
endfunction()

# lettrance_test(name SOURCES ... [LIBS ...] [LABELS ...] [SHARES_SCREEN]): one
# GoogleTest executable, its cases discovered into CTest. SHARES_SCREEN marks
# programs that put windows on the X server's screen or read it back: ctest
# runs such cases one at a time, so that none sees another's windows.
function(lettrance_test name)
  cmake_parse_arguments(ARG "SHARES_SCREEN" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  lettrance_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  # gtest_discover_tests splits list-valued properties, so labels such as
  # "unit;tsan" would arrive broken: set them once the cases are discovered.
  set(labels unit ${ARG_LABELS})
  set(lock "")
  if(ARG_SHARES_SCREEN)
    set(lock " RESOURCE_LOCK x11-screen")
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${script}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES\n"
    "    LABELS \"${labels}\" ENVIRONMENT \"QT_QPA_PLATFORM=offscreen\"${lock})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
  # The thread-sanitizer tree builds only what it runs.
  if("tsan" IN_LIST ARG_LABELS)
    add_dependencies(tsan_tests ${name})
  endif()
endfunction()

# lettrance_bench(name SOURCES ... [LIBS ...]): one Google Benchmark program.
function(lettrance_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  lettrance_warnings(${name})
endfunction()
