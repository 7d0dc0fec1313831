# The device's EDID: builder unit tests, and edid_build end to end.
add_executable(device_tests device_edid_test.cpp device_header_c.c)
target_link_libraries(device_tests PRIVATE edid_device edid_hex_text GTest::gtest_main)
target_include_directories(device_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
gtest_discover_tests(device_tests DISCOVERY_MODE PRE_TEST)

# edid_build_file(NAME n ARGS ... [STATUS s] [INPUT x.hex] [OUT name|-] [OLD text]
#                 [MKDIR ON] [EXPECT x.hex] [EXPECT_ERR regex]): see edid_build_file.cmake.
function(edid_build_file)
  cmake_parse_arguments(T "" "NAME;STATUS;INPUT;OUT;OLD;MKDIR;EXPECT;EXPECT_ERR" "ARGS" ${ARGN})
  string(REPLACE ";" "|" args "${T_ARGS}")
  string(REPLACE ";" "|" emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  set(defs -DTOOL=$<TARGET_FILE:edid_build> -DHEX2BIN=$<TARGET_FILE:hex2bin> "-DARGS=${args}"
      "-DEMULATOR=${emulator}" -DWORK=${CMAKE_CURRENT_BINARY_DIR}/edid_build/${T_NAME} -DSTATUS=0)
  foreach(key STATUS INPUT OUT OLD MKDIR EXPECT EXPECT_ERR)
    if(DEFINED T_${key})
      list(APPEND defs "-D${key}=${T_${key}}")
    endif()
  endforeach()
  add_test(NAME edid_build.${T_NAME}
    COMMAND ${CMAKE_COMMAND} ${defs} -P ${CMAKE_CURRENT_SOURCE_DIR}/edid_build_file.cmake)
endfunction()

set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(tv ${data}/device_sink_tv.hex)
set(err "^edid_build: [^\n]*")

edid_build_file(NAME default ARGS --port 1 -o @OUT@ EXPECT ${data}/device_default_port1.hex)
edid_build_file(NAME default_stdout OUT - ARGS --port 1 EXPECT ${data}/device_default_port1.hex)
edid_build_file(NAME default_thx ARGS --thx --port 1 -o @OUT@ EXPECT ${data}/device_default_port1_thx.hex)
edid_build_file(NAME repeater_hex_sink ARGS --port 2 --sink ${tv} -o @OUT@
  EXPECT ${data}/device_repeater_port2.hex)
edid_build_file(NAME repeater_raw_sink_replaces_file INPUT ${tv} OLD "old"
  ARGS -o @OUT@ --sink @BIN@ --port 2 EXPECT ${data}/device_repeater_port2.hex)

# Bad sinks leave an existing output file as it was.
edid_build_file(NAME sink_missing STATUS 2 OLD "old" ARGS --port 1 --sink ${data}/no_such.hex -o @OUT@
  EXPECT_ERR "${err}no_such.hex: No such file or directory\n$")
edid_build_file(NAME sink_bad_checksum STATUS 3 OLD "old" INPUT ${data}/device_sink_bad_checksum.hex
  ARGS --port 1 --sink @BIN@ -o @OUT@ EXPECT_ERR "${err}: bad base block checksum\n$")
edid_build_file(NAME sink_version_14 STATUS 3 OLD "old" ARGS --port 1 --sink ${data}/device_sink_version_14.hex
  -o @OUT@ EXPECT_ERR "${err}: not EDID version 1.3\n$")
edid_build_file(NAME sink_not_hex STATUS 3 ARGS --port 1 --sink ${CMAKE_CURRENT_LIST_FILE} -o @OUT@
  EXPECT_ERR "${err}: text that is not hex digit pairs, and not a raw EDID\n$")
edid_build_file(NAME sink_short STATUS 3 ARGS --port 1 --sink ${data}/device_sink_short.hex -o @OUT@
  EXPECT_ERR "${err}: 8 bytes, shorter than one 128-byte EDID block\n$")

# Output failures: early (no such directory) and late (rename over a directory).
edid_build_file(NAME out_no_dir STATUS 4 OUT none ARGS --port 1 -o @OUT@/x.bin
  EXPECT_ERR "${err}none/x.bin: No such file or directory\n$")
edid_build_file(NAME out_is_dir STATUS 4 MKDIR ON ARGS --port 1 -o @OUT@ EXPECT_ERR "${err}: Is a directory\n$")
find_program(SCRIPT_COMMAND script) # util-linux: runs the tool on a pseudo-terminal
if(SCRIPT_COMMAND AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME edid_build.stdout_terminal
    COMMAND ${SCRIPT_COMMAND} -qec "$<TARGET_FILE:edid_build> --port 1" /dev/null)
  set_tests_properties(edid_build.stdout_terminal PROPERTIES
    PASS_REGULAR_EXPRESSION "^edid_build: standard output is a terminal")
endif()

# Usage errors.
foreach(bad 16 abc -1 99999999999999999999)
  edid_golden(NAME build_port_${bad} TOOL edid_build ARGS --port ${bad} STATUS 1
    EXPECT_ERR "^edid_build: --port '${bad}' is not an input number 0 to 15\n$")
endforeach()
foreach(option --port --sink -o)
  edid_golden(NAME build_missing_value${option} TOOL edid_build ARGS --thx ${option} STATUS 1
    EXPECT_ERR "^edid_build: missing value after: ${option}\n$")
endforeach()
edid_golden(NAME build_unknown_option TOOL edid_build ARGS --port 1 --sinks x STATUS 1
  EXPECT_ERR "^edid_build: unknown option '--sinks' \\(see --help\\)\n$")
edid_golden(NAME build_extra_argument TOOL edid_build ARGS --port 1 x.bin STATUS 1
  EXPECT_ERR "^edid_build: unexpected argument 'x.bin' \\(see --help\\)\n$")
edid_golden(NAME build_no_port TOOL edid_build ARGS --thx STATUS 1 EXPECT_ERR "^edid_build: missing --port N")
edid_golden(NAME build_help TOOL edid_build ARGS --help EXPECT data/edid_build_help.out)
