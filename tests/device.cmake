# SPDX-License-Identifier: MIT
# edid_build end to end: the bytes it writes, the files it leaves, and what
# a user can get wrong.
set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)

# The runs of data/edid_build_runs.txt, where @LG@ and @LG_ERR@ stand for
# these.
set(lg "-k -p 1 --sink @DATA@/real/tv-lg-oled55b6v.bin -o @OUT@")
set(lg_err "edid_build: left out audio data block #2: replaced by the device's\nedid_build: left out monitor name descriptor: replaced by the device's\n")
file(STRINGS ${data}/edid_build_runs.txt rows)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${data}/edid_build_runs.txt)
set(section "")
foreach(row IN LISTS rows)
  if(row MATCHES "^\\[(.*)\\]$")
    set(section "${CMAKE_MATCH_1}")
  endif()
  if(row MATCHES "^(#|\\[|$)" OR (section STREQUAL "profiles" AND NOT EDID_PROFILES))
    continue()
  endif()
  string(REPLACE "@LG@" "${lg}" row "${row}")
  string(REPLACE "@LG_ERR@" "${lg_err}" row "${row}")
  string(REPLACE "\\n" "\n" row "${row}")
  string(REPLACE "|" ";" row "${row}")
  list(POP_FRONT row name status args golden message)
  separate_arguments(args UNIX_COMMAND "${args}")
  list(TRANSFORM args REPLACE "@DATA@" "${data}")
  list(TRANSFORM args REPLACE "@PROFILES@" "${PROJECT_SOURCE_DIR}/profiles")
  set(bytes)
  if(golden)
    set(bytes EXPECT_BYTES data/${golden}.hex)
  endif()
  edid_tool_test(NAME edid_build.${name} TOOL edid_build STATUS ${status} ARGS ${args} OLD "old"
    INPUT data/device_sink_bad_checksum.hex ${bytes} EXPECT_ERR "^${message}$")
endforeach()
# Input 0 passes the sink's own address on: a raw sink through a pipe, the
# EDID to standard output.
edid_tool_test(NAME edid_build.repeater_port_0_pipe TOOL edid_build INPUT data/device_sink_tv.hex
  OUT - SH "cat @BIN@ | \"$@\"" ARGS --port 0 -s - EXPECT_BYTES data/device_repeater_port0.hex)
edid_tool_test(NAME edid_build.out_too_large TOOL edid_build STATUS 4 ARGS --port 1 -o @OUT@
  SH "trap '' XFSZ && ulimit -f 0 && exec \"$@\"" EXPECT_ERR "^edid_build: [^\n]*: File too large\n$")
edid_tool_test(NAME edid_build.out_is_dir TOOL edid_build STATUS 4 MKDIR ON ARGS --port 1 -o @OUT@
  EXPECT_ERR "^edid_build: [^\n]*: Is a directory\n$")
find_program(SCRIPT_COMMAND script) # util-linux: runs the tool on a pseudo-terminal
if(SCRIPT_COMMAND AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME edid_build.stdout_terminal
    COMMAND ${SCRIPT_COMMAND} -qec "$<TARGET_FILE:edid_build> --port 1" /dev/null)
  set_tests_properties(edid_build.stdout_terminal PROPERTIES
    PASS_REGULAR_EXPRESSION "^edid_build: standard output is a terminal")
endif()
edid_tool_test(NAME edid_build.help TOOL edid_build ARGS --help EXPECT data/edid_build_help.out)

# Every real EDID below the device with --keep-video, judged by an
# independent checker (Debian package edid-decode): video blocks kept, no
# failure the sink does not have.  EDID_REAL_EDIDS names another directory
# of raw dumps to try, a large collection for instance.
set(EDID_REAL_EDIDS ${data}/real CACHE PATH "Raw EDID dumps of real sinks")
find_program(EDID_DECODE edid-decode)
find_package(Python3 COMPONENTS Interpreter)
if(EDID_DECODE AND Python3_FOUND AND NOT CMAKE_CROSSCOMPILING)
  file(GLOB receivers ${data}/real/avr-*.bin)
  set(profiles)
  if(EDID_PROFILES)
    file(GLOB profiles ${PROJECT_SOURCE_DIR}/profiles/*.toml)
  endif()
  add_test(NAME edid_build.keep_video_real_edids
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/keep_video_check.py
      $<TARGET_FILE:edid_build> ${EDID_DECODE} ${EDID_REAL_EDIDS}
      --audio-from ${receivers} --profile ${profiles})
elseif(NOT CMAKE_CROSSCOMPILING)
  message(WARNING "edid-decode or python3 not found: the real EDID check is left out")
endif()
