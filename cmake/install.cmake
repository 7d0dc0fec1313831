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
# The installed libedid holds the decoder, report and encoder (target edid)
# and the device EDID builders (target edid_device) in one library, so that
# a program links one file.  Its objects are compiled once more from the
# same source lists, position-independent, with the same private options:
# the in-tree targets stay as they are for the tools and the tests.  Both
# libraries need no C++ runtime; the shared one is linked by the C driver
# with --no-undefined, so a stray C++ runtime reference fails the build.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(EDID_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/edid)

# Absolute source paths of a target, and its private build settings.
function(edid_collect_sources target)
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} NORMALIZE)
    list(APPEND EDID_LIB_SOURCES ${source})
  endforeach()
  foreach(property COMPILE_OPTIONS COMPILE_DEFINITIONS INCLUDE_DIRECTORIES)
    get_target_property(values ${target} ${property})
    if(values)
      list(APPEND EDID_LIB_${property} ${values})
    endif()
  endforeach()
  foreach(var SOURCES COMPILE_OPTIONS COMPILE_DEFINITIONS INCLUDE_DIRECTORIES)
    list(REMOVE_DUPLICATES EDID_LIB_${var})
    set(EDID_LIB_${var} ${EDID_LIB_${var}} PARENT_SCOPE)
  endforeach()
endfunction()

set(EDID_LIB_SOURCES)
edid_collect_sources(edid)
if(TARGET edid_device)
  edid_collect_sources(edid_device)
endif()

add_library(edid_objects OBJECT ${EDID_LIB_SOURCES})
set_target_properties(edid_objects PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_compile_options(edid_objects PRIVATE ${EDID_LIB_COMPILE_OPTIONS})
target_compile_definitions(edid_objects PRIVATE ${EDID_LIB_COMPILE_DEFINITIONS})
target_include_directories(edid_objects PRIVATE ${PROJECT_SOURCE_DIR} ${EDID_LIB_INCLUDE_DIRECTORIES})

# Output into dist/lib: build/lib already holds the in-tree libedid.a.
foreach(kind STATIC SHARED)
  string(TOLOWER ${kind} suffix)
  add_library(edid_${suffix} ${kind} $<TARGET_OBJECTS:edid_objects>)
  add_library(edid::edid_${suffix} ALIAS edid_${suffix})
  set_target_properties(edid_${suffix} PROPERTIES
    OUTPUT_NAME edid
    EXPORT_NAME edid_${suffix}
    LINKER_LANGUAGE C
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dist/lib
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dist/lib)
  target_include_directories(edid_${suffix} INTERFACE
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
endforeach()
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

install(TARGETS edid_static edid_shared EXPORT edidTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT devel
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
    NAMELINK_COMPONENT devel)

# <edid/edid.h> and <edid/device_edid.h>: the second includes "edid/edid.h",
# which the include directory <prefix>/include resolves.
install(FILES ${PROJECT_SOURCE_DIR}/edid/edid.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/edid COMPONENT devel)
if(EXISTS ${PROJECT_SOURCE_DIR}/device/device_edid.h)
  install(FILES ${PROJECT_SOURCE_DIR}/device/device_edid.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/edid COMPONENT devel)
endif()

# The tools link the in-tree static libraries: nothing to find at run time.
foreach(tool edid_dump edid_build)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
  endif()
  if(EXISTS ${PROJECT_SOURCE_DIR}/man/${tool}.1)
    install(FILES ${PROJECT_SOURCE_DIR}/man/${tool}.1
      DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
  endif()
endforeach()

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
