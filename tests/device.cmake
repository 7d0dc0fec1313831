# SPDX-License-Identifier: MIT
# edid_build end to end: the bytes it writes, the files it leaves, and its
# failures.
set(tv data/device_sink_tv.hex)
set(err "^edid_build: [^\n]*")

edid_tool_test(NAME edid_build.default TOOL edid_build ARGS --port 1 --output @OUT@
  EXPECT_BYTES data/device_default_port1.hex)
edid_tool_test(NAME edid_build.default_thx TOOL edid_build ARGS --thx --port 1 -o @OUT@
  EXPECT_BYTES data/device_default_port1_thx.hex)
edid_tool_test(NAME edid_build.repeater_hex_sink TOOL edid_build
  ARGS --port 2 --sink ${CMAKE_CURRENT_SOURCE_DIR}/${tv} -o @OUT@
  EXPECT_BYTES data/device_repeater_port2.hex)
# Input 0 passes the sink's own address on.
edid_tool_test(NAME edid_build.repeater_port_0 TOOL edid_build
  ARGS --port 0 --sink ${CMAKE_CURRENT_SOURCE_DIR}/${tv} -o @OUT@
  EXPECT_BYTES data/device_repeater_port0.hex)
# An EDID 1.4 sink: the same bytes as below the EDID 1.3 one.
edid_tool_test(NAME edid_build.repeater_sink_version_14 TOOL edid_build
  ARGS --port 2 --sink ${CMAKE_CURRENT_SOURCE_DIR}/data/device_sink_version_14.hex -o @OUT@
  EXPECT_BYTES data/device_repeater_port2.hex)
# A raw sink; the output file replaced whole.
edid_tool_test(NAME edid_build.repeater_raw_sink_replaces_file TOOL edid_build INPUT ${tv} OLD "old"
  ARGS -o @OUT@ --sink @BIN@ --port 2 EXPECT_BYTES data/device_repeater_port2.hex)
# A sink through a pipe, the EDID to standard output.
edid_tool_test(NAME edid_build.sink_pipe TOOL edid_build OUT -
  SH "cat ${CMAKE_CURRENT_SOURCE_DIR}/${tv} | \"$@\"" ARGS -p2 -s -
  EXPECT_BYTES data/device_repeater_port2.hex)

# Sinks that are no EDID leave an existing output file as it was.
edid_tool_test(NAME edid_build.sink_missing TOOL edid_build STATUS 2 OLD "old"
  ARGS --port 1 --sink ${CMAKE_CURRENT_SOURCE_DIR}/data/no_such.hex -o @OUT@
  EXPECT_ERR "${err}no_such.hex: No such file or directory\n$")
edid_tool_test(NAME edid_build.sink_bad_checksum TOOL edid_build STATUS 3 OLD "old"
  INPUT data/device_sink_bad_checksum.hex ARGS --port 1 --sink @BIN@ -o @OUT@
  EXPECT_ERR "${err}: bad base block checksum\n$")
edid_tool_test(NAME edid_build.sink_version_20 TOOL edid_build STATUS 3 OLD "old"
  INPUT data/device_sink_version_20.hex ARGS --port 1 --sink @BIN@ -o @OUT@
  EXPECT_ERR "${err}: not EDID version 1.3 or 1.4\n$")
edid_tool_test(NAME edid_build.sink_not_hex TOOL edid_build STATUS 3
  ARGS --port 1 --sink ${CMAKE_CURRENT_LIST_FILE} -o @OUT@
  EXPECT_ERR "${err}: text that is not hex digit pairs, and not a raw EDID\n$")
edid_tool_test(NAME edid_build.sink_short TOOL edid_build STATUS 3
  ARGS --port 1 --sink ${CMAKE_CURRENT_SOURCE_DIR}/data/device_sink_short.hex -o @OUT@
  EXPECT_ERR "${err}: 8 bytes, shorter than one 128-byte EDID block\n$")

# Output failures: no such directory, a full disk (the write fails with
# EFBIG), a directory in the way; no temporary file left beside it.
edid_tool_test(NAME edid_build.out_no_dir TOOL edid_build STATUS 4 OUT none ARGS --port 1 -o @OUT@/x.bin
  EXPECT_ERR "${err}none/x.bin: No such file or directory\n$")
edid_tool_test(NAME edid_build.out_too_large TOOL edid_build STATUS 4 ARGS --port 1 -o @OUT@
  SH "trap '' XFSZ && ulimit -f 0 && exec \"$@\"" EXPECT_ERR "${err}: File too large\n$")
edid_tool_test(NAME edid_build.out_is_dir TOOL edid_build STATUS 4 MKDIR ON ARGS --port 1 -o @OUT@
  EXPECT_ERR "${err}: Is a directory\n$")
find_program(SCRIPT_COMMAND script) # util-linux: runs the tool on a pseudo-terminal
if(SCRIPT_COMMAND AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME edid_build.stdout_terminal
    COMMAND ${SCRIPT_COMMAND} -qec "$<TARGET_FILE:edid_build> --port 1" /dev/null)
  set_tests_properties(edid_build.stdout_terminal PROPERTIES
    PASS_REGULAR_EXPRESSION "^edid_build: standard output is a terminal")
endif()

# Usage errors: an input number out of range or empty (15 is the last), a
# missing value, a mistyped option, a stray argument, no port.
edid_tool_test(NAME edid_build.port_16 TOOL edid_build ARGS --port 16 STATUS 1
  EXPECT_ERR "^edid_build: --port '16' is not an input number 0 to 15\n$")
edid_tool_test(NAME edid_build.port_empty TOOL edid_build ARGS --port= STATUS 1
  EXPECT_ERR "^edid_build: --port '' is not an input number 0 to 15\n$")
edid_tool_test(NAME edid_build.port_15 TOOL edid_build ARGS -p15 -o @OUT@ EXPECT_ERR "^$")
edid_tool_test(NAME edid_build.missing_value TOOL edid_build ARGS --thx -o STATUS 1
  EXPECT_ERR "^edid_build: missing value after: -o\n$")
edid_tool_test(NAME edid_build.unknown_option TOOL edid_build ARGS --port 1 --sinks x STATUS 1
  EXPECT_ERR "^edid_build: unknown option '--sinks' \\(see --help\\)\n$")
edid_tool_test(NAME edid_build.unknown_short_option TOOL edid_build ARGS --port 1 --thx -tx STATUS 1
  EXPECT_ERR "^edid_build: unknown option '-x' \\(see --help\\)\n$")
edid_tool_test(NAME edid_build.extra_argument TOOL edid_build ARGS --port 1 x.bin STATUS 1
  EXPECT_ERR "^edid_build: unexpected argument 'x.bin' \\(see --help\\)\n$")
edid_tool_test(NAME edid_build.no_port TOOL edid_build ARGS --thx STATUS 1 EXPECT_ERR "^edid_build: missing --port N")
edid_tool_test(NAME edid_build.help TOOL edid_build ARGS --help EXPECT data/edid_build_help.out)

# --keep-video: the LG TV's EDID kept below the device, what is left out
# on standard error; the default EDID laid out the same way.
edid_tool_test(NAME edid_build.keep_video_lg TOOL edid_build
  ARGS --keep-video --port 1 --sink ${CMAKE_CURRENT_SOURCE_DIR}/data/real/tv-lg-oled55b6v.bin -o @OUT@
  EXPECT_BYTES data/keep_video_lg_oled55b6v.hex
  EXPECT_ERR "^edid_build: left out audio data block #2: replaced by the device's\nedid_build: left out monitor name descriptor: replaced by the device's\n$")
edid_tool_test(NAME edid_build.keep_video_default TOOL edid_build ARGS -k -p 1 -o @OUT@
  EXPECT_BYTES data/keep_video_default_port1.hex EXPECT_ERR "^$")

# Every real EDID below the device with --keep-video, judged by an
# independent checker (Debian package edid-decode): video blocks kept, no
# failure the sink does not have.  EDID_REAL_EDIDS names another directory
# of raw dumps to try, a large collection for instance.
set(EDID_REAL_EDIDS ${CMAKE_CURRENT_SOURCE_DIR}/data/real CACHE PATH "Raw EDID dumps of real sinks")
find_program(EDID_DECODE edid-decode)
find_package(Python3 COMPONENTS Interpreter)
if(EDID_DECODE AND Python3_FOUND AND NOT CMAKE_CROSSCOMPILING)
  file(GLOB receivers ${CMAKE_CURRENT_SOURCE_DIR}/data/real/avr-*.bin)
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

# The device's audio side and profiles (--keep-video): the LG TV below each
# shipped profile (the device as it is writes the bytes of --keep-video
# alone), with the Denon receiver's audio blocks, with its own.
set(lg ${CMAKE_CURRENT_SOURCE_DIR}/data/real/tv-lg-oled55b6v.bin)
set(denon ${CMAKE_CURRENT_SOURCE_DIR}/data/real/avr-denon-x2300w-below-lg-oled55b6v.bin)
set(lg_name "edid_build: left out monitor name descriptor: replaced by the device's\n")
if(EDID_PROFILES)
  foreach(row qzrsnd-k7|oled55b6v soundbar-5.1|soundbar receiver-7.1.4-atmos|receiver_714)
    string(REPLACE "|" ";" row "${row}")
    list(POP_FRONT row profile golden)
    edid_tool_test(NAME edid_build.profile_${profile} TOOL edid_build
      ARGS -k -p 1 --sink ${lg} --profile ${PROJECT_SOURCE_DIR}/profiles/${profile}.toml -o @OUT@
      EXPECT_BYTES data/keep_video_lg_${golden}.hex)
  endforeach()
endif()
edid_tool_test(NAME edid_build.audio_from_denon TOOL edid_build
  ARGS -k -p 1 --sink ${lg} --audio-from ${denon} -o @OUT@ EXPECT_BYTES data/keep_video_lg_denon_audio.hex
  EXPECT_ERR "^edid_build: left out audio data block #2: replaced by the device's\n${lg_name}edid_build: left out CEA detailed timing 1360x768: no space left in the CEA block\n$")
edid_tool_test(NAME edid_build.audio_passthrough TOOL edid_build
  ARGS -k -p 1 --sink ${lg} --audio-passthrough -o @OUT@ EXPECT_ERR "^${lg_name}$")
edid_tool_test(NAME edid_build.audio_from_no_audio TOOL edid_build STATUS 3
  ARGS -k -p 1 --audio-from ${CMAKE_CURRENT_SOURCE_DIR}/data/real/monitor-fujitsu-lsl3260w-no-hdmi-block.bin -o @OUT@
  EXPECT_ERR "${err}: no audio data blocks to present\n$")

# Profile errors: status 5 and one line "FILE:LINE: KEY: what", the output
# left as it was (each kind of mistake is a row of profile_test.cpp); a
# table header that toml++ cannot start a key with is reported, also in
# Debug and sanitizer builds; a missing profile is an unreadable input.
if(EDID_PROFILES)
  foreach(row "unknown_key|5|:4: model: unknown key"
              "table_header_dot|5|:4: Error while parsing key"
              "no_such|2|: No such file or directory")
    string(REPLACE "|" ";" row "${row}")
    list(POP_FRONT row name status message)
    edid_tool_test(NAME edid_build.profile_error_${name} TOOL edid_build STATUS ${status} OLD "old"
      ARGS -k -p 1 --profile ${CMAKE_CURRENT_SOURCE_DIR}/data/profiles/${name}.toml -o @OUT@
      EXPECT_ERR "^edid_build: [^\n]*/${name}.toml${message}[^\n]*\n$")
  endforeach()
endif()
foreach(row "--profile|x.toml|--profile needs --keep-video"
            "--audio-passthrough||--audio-passthrough needs --keep-video"
            "-k|--audio-passthrough|--audio-passthrough needs --sink"
            "-k|--audio-passthrough|--audio-from|x|--audio-from and --audio-passthrough exclude each other")
  string(REPLACE "|" ";" row "${row}")
  list(POP_BACK row message)
  string(MAKE_C_IDENTIFIER "${message}" id)
  string(REGEX REPLACE "^_+|_+$" "" id "${id}")
  string(REGEX REPLACE "_+" "_" id "${id}")
  edid_tool_test(NAME edid_build.usage_${id} TOOL edid_build STATUS 1 ARGS -p 1 ${row} -o @OUT@
    EXPECT_ERR "^edid_build: ${message}\n$")
endforeach()
