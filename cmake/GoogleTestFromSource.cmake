# GoogleTest built with the project, for cross builds that have no GoogleTest
# installed for their target. Debian's "googletest" package ships the sources.
# Defines the targets of find_package(GTest) (GTest::gtest, GTest::gtest_main,
# GTest::gmock, GTest::gmock_main), and every later find_package(GTest) finds
# these instead of searching the target's root.
include_guard(GLOBAL)

set(ZANT_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources, built when cross-compiling")
if(NOT EXISTS ${ZANT_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${ZANT_GOOGLETEST_SOURCE_DIR} "
                      "(Debian package googletest)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${ZANT_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Third-party code: our warnings stay on, but do not fail the build.
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -Wno-error)
endforeach()

# find_package looks in the redirects folder first, even in module mode.
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake
     "# GoogleTest is built with the project: its targets already exist.\n")
