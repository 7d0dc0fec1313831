# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and builds programs against the
# installed libedid the ways a user would, then runs them:
#   1. pkg-config: cc / c++ with `pkg-config --cflags --libs edid`
#      (shared library), and `pkg-config --static --libs edid`;
#   2. find_package(edid): a C project and a C++ project (consumer/
#      CMakeLists.txt), each linked to edid::edid and edid::edid_static;
#   3. the C compiler alone: cc consumer.c -I<prefix>/include <prefix>/lib/libedid.a
#
#   cmake -DBUILD_DIR=... -DCONFIG=... -DWORK=... -DSOURCE=<tests/consumer>
#         -DLIBDIR=lib -DINCLUDEDIR=include -DVERSION=x.y.z
#         -DGENERATOR=... -DC_COMPILER=... -DCXX_COMPILER=...
#         -DC_FLAGS=... -DCXX_FLAGS=... -DC_CONFIG_FLAGS=... -DCXX_CONFIG_FLAGS=...
#         -DLINK_FLAGS=... -DPKG_CONFIG=...
#         -DCROSSCOMPILING=... -P consumer_check.cmake
# The compiler flags of the build are passed on (a sanitizer build's
# library needs its runtime in the consumers too).
if(CROSSCOMPILING)
  message("SKIPPED: cross-compiled build, its programs do not run here")
  return()
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(prefix "${WORK}/prefix")
separate_arguments(c_flags UNIX_COMMAND "${C_FLAGS} ${C_CONFIG_FLAGS}")
separate_arguments(cxx_flags UNIX_COMMAND "${CXX_FLAGS} ${CXX_CONFIG_FLAGS}")
separate_arguments(link_flags UNIX_COMMAND "${LINK_FLAGS}")
set(ENV{LD_LIBRARY_PATH} "${prefix}/${LIBDIR}")

# Runs a command; stops the check with its output when it fails.
# Leaves its standard output in `out`.
function(step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc
    OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${what}: status ${rc}\n${command}\n${stdout}${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
endfunction()

# Runs a consumer program and checks the lines that prove it worked.
function(run_consumer program)
  step("running ${program}" "${program}")
  get_filename_component(name "${program}" NAME)
  if(name MATCHES "cxx")
    set(expected "Manufacturer: QZR" "   Raw data: 10 00 80 " "device EDID of input 1, 5 CEA")
  else()
    set(expected "Device name: Consumer TV" "Standard timing: 1920X1080@60 16:9" "encoded back")
  endif()
  foreach(line IN LISTS expected)
    string(FIND "${out}" "${line}" at)
    if(at LESS 0)
      message(FATAL_ERROR "${program}: no '${line}' in its output:\n${out}")
    endif()
  endforeach()
endfunction()

set(config_args)
if(CONFIG)
  set(config_args --config "${CONFIG}")
endif()
step("cmake --install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}" ${config_args})
foreach(file "${INCLUDEDIR}/edid/edid.h" "${INCLUDEDIR}/edid/device_edid.h"
             "${LIBDIR}/libedid.a" "${LIBDIR}/libedid.so" "${LIBDIR}/pkgconfig/edid.pc"
             "${LIBDIR}/cmake/edid/edidConfig.cmake" "${LIBDIR}/cmake/edid/edidConfigVersion.cmake"
             bin/edid_dump bin/edid_build share/man/man1/edid_dump.1 share/man/man1/edid_build.1)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "cmake --install did not install ${file}")
  endif()
endforeach()

# 1. pkg-config
if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} "${prefix}/${LIBDIR}/pkgconfig")
  step("pkg-config --modversion" "${PKG_CONFIG}" --modversion edid)
  string(STRIP "${out}" version)
  if(NOT version STREQUAL VERSION)
    message(FATAL_ERROR "pkg-config gives version '${version}', the project is ${VERSION}")
  endif()
  step("pkg-config --cflags" "${PKG_CONFIG}" --cflags edid)
  separate_arguments(pc_cflags UNIX_COMMAND "${out}")
  step("pkg-config --libs" "${PKG_CONFIG}" --libs edid)
  separate_arguments(pc_libs UNIX_COMMAND "${out}")
  step("pkg-config --static --libs" "${PKG_CONFIG}" --static --libs edid)
  if(NOT out MATCHES "-ledid")
    message(FATAL_ERROR "pkg-config --static --libs edid gives '${out}'")
  endif()
  step("cc with pkg-config" "${C_COMPILER}" ${c_flags} ${pc_cflags} "${SOURCE}/consumer.c"
    -o "${WORK}/c_pkgconfig" ${pc_libs} ${link_flags})
  run_consumer("${WORK}/c_pkgconfig")
  step("c++ with pkg-config" "${CXX_COMPILER}" ${cxx_flags} ${pc_cflags} "${SOURCE}/consumer.cpp"
    -o "${WORK}/cxx_pkgconfig" ${pc_libs} ${link_flags})
  run_consumer("${WORK}/cxx_pkgconfig")
else()
  message("pkg-config not found: the pkg-config builds are left out")
endif()

# 2. find_package, from a C project and from a C++ project
foreach(lang C CXX)
  string(TOLOWER ${lang} tag)
  set(dir "${WORK}/find_package_${tag}")
  step("configure the ${lang} find_package project" "${CMAKE_COMMAND}"
    -S "${SOURCE}" -B "${dir}" -G "${GENERATOR}"
    -DEDID_CONSUMER_LANGUAGE=${lang} "-DCMAKE_PREFIX_PATH=${prefix}"
    "-DCMAKE_BUILD_TYPE=${CONFIG}"
    "-DCMAKE_${lang}_COMPILER=${${lang}_COMPILER}"
    "-DCMAKE_${lang}_FLAGS=${${lang}_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
  step("build the ${lang} find_package project" "${CMAKE_COMMAND}" --build "${dir}" ${config_args})
  foreach(kind shared static)
    file(GLOB_RECURSE program "${dir}/consumer_${kind}" "${dir}/consumer_${kind}.exe")
    file(RENAME "${program}" "${WORK}/${tag}_find_package_${kind}")
    run_consumer("${WORK}/${tag}_find_package_${kind}")
  endforeach()
endforeach()

# 3. the static library with the C compiler alone: no C++ runtime needed
step("cc with libedid.a" "${C_COMPILER}" ${c_flags} "${SOURCE}/consumer.c"
  -I "${prefix}/${INCLUDEDIR}" "${prefix}/${LIBDIR}/libedid.a" -o "${WORK}/c_static" ${link_flags})
run_consumer("${WORK}/c_static")
message("installed libedid: pkg-config, find_package and static C builds run")
