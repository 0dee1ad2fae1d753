# How every test folder registers a GoogleTest executable with CTest.
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

function(zant_add_test_suite name)
  cmake_parse_arguments(SUITE "" "TEST_PREFIX" "" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${SUITE_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
  if(ZANT_TEST_WHOLE_SUITES)
    add_test(NAME ${SUITE_TEST_PREFIX}${name} COMMAND ${name}
             WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    return()
  endif()
  set(prefix)
  if(SUITE_TEST_PREFIX)
    set(prefix TEST_PREFIX ${SUITE_TEST_PREFIX})
  endif()
  # Under Wine the first listing also starts the Wine server: allow it time.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST ${prefix}
                       WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
                       DISCOVERY_TIMEOUT 60)
endfunction()
