# SPDX-License-Identifier: MIT
# edid_build end to end: the bytes it writes, the files it leaves, and what
# a user can get wrong.
set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)

# "NAME|STATUS|ARGS|GOLDEN|standard error", each run over an older output
# file, which it replaces whole or, on failure, leaves as it was.
#   The default EDID, with the THX block; below a sink in hex text; input
#   15, the last.  --keep-video: below the LG TV (what is left out on
#   standard error), with the Denon receiver's audio blocks, below each
#   shipped profile (the device as it is writes the bytes of --keep-video
#   alone); the default EDID.
#   Failures: sinks that are no EDID (@BIN@: a raw one whose first byte is
#   not 00), an output that cannot be written, usage errors, profile errors
#   (one line each, every kind of mistake a row of profile_test.cpp).
set(e "edid_build: ")
set(lg "-k -p 1 --sink @DATA@/real/tv-lg-oled55b6v.bin -o @OUT@")
set(lg_err "${e}left out audio data block #2: replaced by the device's\n${e}left out monitor name descriptor: replaced by the device's\n")
set(rows
  "default|0|--port 1 --output @OUT@|device_default_port1|"
  "default_thx|0|--thx --port 1 -o @OUT@|device_default_port1_thx|"
  "repeater|0|-p2 --sink @DATA@/device_sink_tv.hex -o @OUT@|device_repeater_port2|"
  "port_15|0|-p15 -o @OUT@||"
  "keep_video_lg|0|${lg}|keep_video_lg_oled55b6v|${lg_err}"
  "audio_from_denon|0|${lg} --audio-from @DATA@/real/avr-denon-x2300w-below-lg-oled55b6v.bin|keep_video_lg_denon_audio|${lg_err}${e}left out CEA detailed timing 1360x768: no space left in the CEA block\n"
  "keep_video_default|0|-k -p 1 -o @OUT@|keep_video_default_port1|"
  "sink_missing|2|-p 1 -s @DATA@/no_such.hex -o @OUT@||${e}[^\n]*no_such.hex: No such file or directory\n"
  "sink_bad_checksum|3|-p 1 -s @BIN@ -o @OUT@||${e}[^\n]*: bad base block checksum\n"
  "sink_version_20|3|-p 1 -s @DATA@/device_sink_version_20.hex -o @OUT@||${e}[^\n]*: not EDID version 1.3 or 1.4\n"
  "sink_not_hex|3|-p 1 -s @DATA@/edid_build_help.out -o @OUT@||${e}[^\n]*: text that is not hex digit pairs, and not a raw EDID\n"
  "sink_short|3|-p 1 -s @DATA@/device_sink_short.hex||${e}[^\n]*: 8 bytes, shorter than one 128-byte EDID block\n"
  "audio_from_no_audio|3|-k -p 1 --audio-from @DATA@/real/monitor-fujitsu-lsl3260w-no-hdmi-block.bin -o @OUT@||${e}[^\n]*: no audio data blocks to present\n"
  "out_no_dir|4|-p 1 -o @WORK@/none/x.bin||${e}[^\n]*none/x.bin: No such file or directory\n"
  "port_16|1|--port 16||${e}--port '16' is not an input number 0 to 15\n"
  "port_empty|1|--port=||${e}--port '' is not an input number 0 to 15\n"
  "missing_value|1|--thx -o||${e}missing value after: -o\n"
  "unknown_option|1|--port 1 --sinks x||${e}unknown option '--sinks' \\(see --help\\)\n"
  "unknown_short_option|1|--port 1 --thx -tx||${e}unknown option '-x' \\(see --help\\)\n"
  "extra_argument|1|--port 1 x.bin||${e}unexpected argument 'x.bin' \\(see --help\\)\n"
  "no_port|1|--thx||${e}missing --port N \\(see --help\\)\n"
  "profile_without_k|1|-p 1 --profile x.toml -o @OUT@||${e}--profile needs --keep-video\n"
  "passthrough_without_k|1|-p 1 --audio-passthrough -o @OUT@||${e}--audio-passthrough needs --keep-video\n"
  "passthrough_without_sink|1|-k -p 1 --audio-passthrough -o @OUT@||${e}--audio-passthrough needs --sink\n"
  "audio_from_and_passthrough|1|-k -p 1 --audio-passthrough --audio-from x -o @OUT@||${e}--audio-from and --audio-passthrough exclude each other\n")
if(EDID_PROFILES)
  list(APPEND rows
    "profile_qzrsnd-k7|0|${lg} --profile @PROFILES@/qzrsnd-k7.toml|keep_video_lg_oled55b6v|${lg_err}"
    "profile_soundbar-5.1|0|${lg} --profile @PROFILES@/soundbar-5.1.toml|keep_video_lg_soundbar|${lg_err}"
    "profile_receiver-7.1.4-atmos|0|${lg} --profile @PROFILES@/receiver-7.1.4-atmos.toml|keep_video_lg_receiver_714|${lg_err}${e}left out CEA detailed timing 1360x768: no space left in the CEA block\n"
    "profile_unknown_key|5|-k -p 1 --profile @DATA@/profiles/unknown_key.toml -o @OUT@||${e}[^\n]*/unknown_key.toml:4: model: unknown key[^\n]*\n"
    "profile_missing|2|-k -p 1 --profile @DATA@/no_such.toml -o @OUT@||${e}[^\n]*/no_such.toml: No such file or directory\n")
endif()
foreach(row IN LISTS rows)
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
