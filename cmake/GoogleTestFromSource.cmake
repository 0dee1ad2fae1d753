# GoogleTest built with the project, for cross builds that have no installed
# GoogleTest for their target. Debian's "googletest" package ships the sources.
# Defines the same targets as find_package(GTest): GTest::gtest,
# GTest::gtest_main, GTest::gmock, GTest::gmock_main.
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
