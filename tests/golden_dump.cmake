# SPDX-License-Identifier: MIT
# edid_dump golden tests: exact standard output and exit status.
foreach(name base_full base_descriptors base_odd_slots base_timings size_100 size_129 size_256
             bad_checksum version_1_4 not_edid)
  edid_tool_test(NAME golden.dump.${name} TOOL edid_dump INPUT data/${name}.hex ARGS @BIN@
              EXPECT data/${name}.out)
endforeach()

# Further arguments are ignored.
edid_tool_test(NAME golden.dump.extra_argument TOOL edid_dump INPUT data/base_full.hex
            ARGS @BIN@ ignored.bin EXPECT data/base_full.out)

# Failures before decoding: nothing but the size lines on standard output.
edid_tool_test(NAME golden.dump.usage TOOL edid_dump STATUS 1 EXPECT data/nothing.out
            EXPECT_ERR "^Usage: [^\n]*edid_dump <edid filename>\n$")
edid_tool_test(NAME golden.dump.missing_file TOOL edid_dump ARGS @WORK@/no-such.bin STATUS 2
            EXPECT data/nothing.out EXPECT_ERR "no-such.bin: No such file or directory")
edid_tool_test(NAME golden.dump.empty_file TOOL edid_dump INPUT data/empty.hex ARGS @BIN@ STATUS 4
            EXPECT data/empty.out EXPECT_ERR "^fread")
