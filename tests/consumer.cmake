# SPDX-License-Identifier: MIT
# Consumer check: installs this build into a scratch prefix and builds and
# runs small C and C++ programs against the installed libedid through
# pkg-config, find_package(edid) and a plain static link with the C
# compiler (consumer/consumer_check.cmake).  Skipped when cross-compiling.
include(GNUInstallDirs)
find_program(EDID_PKG_CONFIG NAMES pkg-config pkgconf)
string(TOUPPER "${CMAKE_BUILD_TYPE}" edid_config)
add_test(NAME consumer
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${PROJECT_BINARY_DIR} -DCONFIG=$<CONFIG>
    -DWORK=${CMAKE_CURRENT_BINARY_DIR}/consumer
    -DSOURCE=${CMAKE_CURRENT_SOURCE_DIR}/consumer
    -DLIBDIR=${CMAKE_INSTALL_LIBDIR} -DINCLUDEDIR=${CMAKE_INSTALL_INCLUDEDIR}
    -DVERSION=${PROJECT_VERSION}
    "-DGENERATOR=${CMAKE_GENERATOR}"
    -DC_COMPILER=${CMAKE_C_COMPILER} -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
    "-DC_FLAGS=${CMAKE_C_FLAGS}" "-DCXX_FLAGS=${CMAKE_CXX_FLAGS}"
    "-DC_CONFIG_FLAGS=${CMAKE_C_FLAGS_${edid_config}}"
    "-DCXX_CONFIG_FLAGS=${CMAKE_CXX_FLAGS_${edid_config}}"
    "-DLINK_FLAGS=${CMAKE_EXE_LINKER_FLAGS}"
    -DPKG_CONFIG=${EDID_PKG_CONFIG}
    -DCROSSCOMPILING=${CMAKE_CROSSCOMPILING}
    -P ${CMAKE_CURRENT_SOURCE_DIR}/consumer/consumer_check.cmake)
set_tests_properties(consumer PROPERTIES
  SKIP_REGULAR_EXPRESSION "SKIPPED:"
  TIMEOUT 120)
