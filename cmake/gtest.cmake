# SPDX-License-Identifier: MIT
# GoogleTest for the test suite.  A native build uses the installed package
# (Debian libgtest-dev).  A cross build finds no GoogleTest for its target,
# so it compiles the sources that Debian's googletest package ships in
# /usr/src/googletest with the cross compiler, and names the results like
# the installed package does (GTest::gtest, GTest::gtest_main).
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(EDID_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest sources, built when no GoogleTest is found for the target")
  if(NOT EXISTS ${EDID_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest not found and no sources in "
      "${EDID_GTEST_SOURCE_DIR} (Debian: apt-get install googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  # Their own code, their own warnings: the project's -Wall -Wextra
  # -Wpedantic stay off the GoogleTest sources and on the tests.
  get_property(edid_options DIRECTORY PROPERTY COMPILE_OPTIONS)
  set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "")
  add_subdirectory(${EDID_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest
                   EXCLUDE_FROM_ALL SYSTEM)
  set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${edid_options}")
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
  # The sources name their libraries GTest::gtest and GTest::gtest_main.
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
  message(STATUS "GoogleTest built from ${EDID_GTEST_SOURCE_DIR}")
endif()
