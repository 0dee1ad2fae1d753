# How every test folder registers a GoogleTest executable with CTest, and the
# kinds of test that CTest labels, so that `ctest -L KIND` runs one kind:
#   unit      a GoogleTest case (every zant_add_test_suite executable)
#   scenario  panel_host plays an example scenario
#   program   a program run from outside: its output and exit status
#   browser   the browser panel in headless chromium
#   router    panel_host or a peer against a router on the loopback
#   windows   checks of the Windows build's files and its binary interface
#   kit       the installed kit, and projects built against it
# A test may carry two kinds. Every registered test carries one
# (build.test_labels checks).
#
# zant_add_test_suite(NAME [TEST_PREFIX PREFIX] SOURCE...)
#   Builds the executable NAME from the sources, linked with GoogleTest's main
#   and GoogleMock, and registers each of its test cases as its own CTest test
#   (named PREFIX followed by the case), run in the calling folder's source
#   directory. With ZANT_TEST_WHOLE_SUITES the executable is one CTest test,
#   PREFIX followed by NAME: under valgrind a process takes longer to start
#   than most test cases take to run.
include_guard(GLOBAL)
include(GoogleTest)

set(ZANT_TEST_KINDS unit scenario program browser router windows kit)

function(zant_add_test_suite name)
  cmake_parse_arguments(SUITE "" "TEST_PREFIX" "" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${SUITE_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
  if(ZANT_TEST_WHOLE_SUITES)
    add_test(NAME ${SUITE_TEST_PREFIX}${name} COMMAND ${name}
             WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    set_tests_properties(${SUITE_TEST_PREFIX}${name} PROPERTIES LABELS unit)
    return()
  endif()
  set(prefix)
  if(SUITE_TEST_PREFIX)
    set(prefix TEST_PREFIX ${SUITE_TEST_PREFIX})
  endif()
  # Under Wine the first listing also starts the Wine server: allow it time.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST ${prefix}
                       WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
                       DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
endfunction()

# Labels every test registered so far in the calling folder that has no
# label yet with `kind`: the kind of a folder whose tests are mostly of one.
function(zant_label_unlabelled_tests kind)
  get_directory_property(tests TESTS)
  foreach(test ${tests})
    get_test_property(${test} LABELS labels)
    if(NOT labels)
      set_tests_properties(${test} PROPERTIES LABELS ${kind})
    endif()
  endforeach()
endfunction()

# build.test_labels: every test of the build (the GoogleTest cases as
# discovered) carries a label, and only labels of ZANT_TEST_KINDS. Called
# once, after every folder has registered its tests.
function(zant_add_test_label_check)
  add_test(NAME build.test_labels
           COMMAND ${CMAKE_COMMAND} -DCTEST=${CMAKE_CTEST_COMMAND} "-DKINDS=${ZANT_TEST_KINDS}"
                   -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/check_test_labels.cmake
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(build.test_labels PROPERTIES LABELS program)
endfunction()
