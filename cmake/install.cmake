# SPDX-License-Identifier: MIT
# Installation: libedid (static and shared), the public headers, the tools,
# their manual pages, a pkg-config file and a CMake package.
#
#   <prefix>/lib/libedid.a, libedid.so -> libedid.so.1 -> libedid.so.1.0.0
#   <prefix>/include/edid/edid.h, device_edid.h
#   <prefix>/bin/edid_dump, edid_build
#   <prefix>/share/man/man1/edid_dump.1, edid_build.1
#   <prefix>/lib/pkgconfig/edid.pc
#   <prefix>/lib/cmake/edid/edidConfig.cmake, edidConfigVersion.cmake,
#                            edidTargets*.cmake
#
# Both libraries are the in-tree targets edid (static) and edid_shared,
# built from the one object library: what the tests link is what installs.
# Neither needs a C++ runtime; the shared one is linked with --no-undefined,
# so a stray C++ runtime reference fails the build.
include(CMakePackageConfigHelpers)

set(EDID_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/edid)

set_target_properties(edid PROPERTIES EXPORT_NAME edid_static)
set_target_properties(edid_shared PROPERTIES
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR})
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # Export the library's own names only (edid_*, cea_*, device_*), not the
  # inline helpers that the sources share.
  target_link_options(edid_shared PRIVATE
    LINKER:--version-script=${CMAKE_CURRENT_LIST_DIR}/libedid.map)
  # Every symbol resolved within the library and the C library, except in
  # instrumented builds, whose runtimes the program brings.
  if(NOT "${CMAKE_C_FLAGS} ${CMAKE_CXX_FLAGS}" MATCHES "-fsanitize|--coverage|-fprofile")
    target_link_options(edid_shared PRIVATE LINKER:--no-undefined)
  endif()
  set_property(TARGET edid_shared APPEND PROPERTY
    LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/libedid.map)
endif()

install(TARGETS edid edid_shared EXPORT edidTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT devel
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
    NAMELINK_COMPONENT devel)

# <edid/edid.h> and <edid/device_edid.h>, as the tree spells them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/edid
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT devel)

# The shipped device profiles, to start a product's own from.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/profiles/ DESTINATION ${CMAKE_INSTALL_DATADIR}/edid/profiles
        COMPONENT runtime FILES_MATCHING PATTERN "*.toml")

# The tools link libedid.a: nothing to find at run time.
install(TARGETS edid_dump edid_build RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/man/edid_dump.1 ${PROJECT_SOURCE_DIR}/man/edid_build.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)

# CMake package: find_package(edid) -> edid::edid (see edidConfig.cmake.in).
install(EXPORT edidTargets NAMESPACE edid::
  DESTINATION ${EDID_PACKAGE_DIR} COMPONENT devel)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/edidConfig.cmake.in
  ${CMAKE_BINARY_DIR}/dist/edidConfig.cmake
  INSTALL_DESTINATION ${EDID_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/dist/edidConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/dist/edidConfig.cmake
              ${CMAKE_BINARY_DIR}/dist/edidConfigVersion.cmake
  DESTINATION ${EDID_PACKAGE_DIR} COMPONENT devel)

# pkg-config: written at install time, so that the paths in it are those
# of the prefix actually installed to (cmake --install --prefix DIR).
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(EDID_PC_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(EDID_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
install(CODE "
  set(EDID_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(EDID_PC_LIBDIR [[${EDID_PC_LIBDIR}]])
  set(EDID_PC_INCLUDEDIR [[${EDID_PC_INCLUDEDIR}]])
  set(PROJECT_VERSION [[${PROJECT_VERSION}]])
  set(PROJECT_DESCRIPTION [[${PROJECT_DESCRIPTION}]])
  configure_file([[${CMAKE_CURRENT_LIST_DIR}/edid.pc.in]]
    [[${CMAKE_BINARY_DIR}/dist/edid.pc]] @ONLY)
  " COMPONENT devel)
install(FILES ${CMAKE_BINARY_DIR}/dist/edid.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT devel)
