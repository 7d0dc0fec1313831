# SPDX-License-Identifier: MIT
# edid_dump golden tests: exact standard output and exit status.
foreach(name base_full base_descriptors base_odd_slots base_timings base_std_timings size_100
             size_129 size_256 bad_checksum version_1_4 not_edid)
  edid_tool_test(NAME golden.dump.${name} TOOL edid_dump INPUT data/${name}.hex ARGS @BIN@
              EXPECT data/${name}.out)
endforeach()

# Further arguments are ignored.
edid_tool_test(NAME golden.dump.extra_argument TOOL edid_dump INPUT data/base_full.hex
            ARGS @BIN@ ignored.bin EXPECT data/base_full.out)
# --lenient counts only as the first argument: after the file it is ignored
# too, and EDID 1.4 is refused as without it.
edid_tool_test(NAME golden.dump.lenient_second TOOL edid_dump INPUT data/version_1_4.hex
            ARGS @BIN@ --lenient EXPECT data/version_1_4.out)

# Failures before decoding: nothing but the size lines on standard output.
edid_tool_test(NAME golden.dump.usage TOOL edid_dump STATUS 1 EXPECT data/nothing.out
            EXPECT_ERR "^Usage: [^\n]*edid_dump <edid filename>\n$")
edid_tool_test(NAME golden.dump.lenient_usage TOOL edid_dump ARGS --lenient STATUS 1
            EXPECT data/nothing.out
            EXPECT_ERR "^Usage: [^\n]*edid_dump \\[--lenient\\] <edid filename>\n$")
edid_tool_test(NAME golden.dump.missing_file TOOL edid_dump ARGS @WORK@/no-such.bin STATUS 2
            EXPECT data/nothing.out EXPECT_ERR "no-such.bin: No such file or directory")
edid_tool_test(NAME golden.dump.lenient_missing_file TOOL edid_dump ARGS --lenient @WORK@/no-such.bin
            STATUS 2 EXPECT data/nothing.out EXPECT_ERR "^[^\n]*/no-such.bin: No such file")
edid_tool_test(NAME golden.dump.empty_file TOOL edid_dump INPUT data/empty.hex ARGS @BIN@ STATUS 4
            EXPECT data/empty.out EXPECT_ERR "^fread")

# Input of no size known up front, read to its end: a pipe (as /dev/stdin
# and as "-"), a FIFO, and "-" on the regular file itself.  The report is
# the regular file's, with its size lines (129 bytes: 256 reserved).
set(via_pipe "cat @BIN@ | \"$@\" /dev/stdin")
set(via_pipe_dash "cat @BIN@ | \"$@\" -")
set(via_fifo "mkfifo @WORK@/fifo && (cat @BIN@ > @WORK@/fifo &) && exec \"$@\" @WORK@/fifo")
set(via_file_dash "exec \"$@\" - < @BIN@")
foreach(name sample_tv size_129)
  foreach(via pipe pipe_dash fifo file_dash)
    edid_tool_test(NAME golden.dump.${via}.${name} TOOL edid_dump INPUT data/${name}.hex
      SH "${via_${via}}" EXPECT data/${name}.out)
  endforeach()
endforeach()

# A pipe without bytes ends as the empty file.  256 blocks of zeros are read
# (and refused by the decoder); one byte more is too long for an EDID, and
# an endless input (/dev/zero reports size 0, as sysfs files do) ends too,
# in 16 MiB of address space where no emulator or sanitizer needs more.
set(too_long "^-: longer than 32768 bytes \\(256 blocks\\)[^\n]*\n$")
set(limit "ulimit -v 16384 &&")
if(CMAKE_CROSSCOMPILING_EMULATOR OR CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  set(limit "")
endif()
edid_tool_test(NAME golden.dump.empty_pipe TOOL edid_dump SH ": | \"$@\" -" STATUS 4
  EXPECT data/empty.out EXPECT_ERR "^fread: Success\n$")
edid_tool_test(NAME golden.dump.pipe_256_blocks TOOL edid_dump SH "head -c 32768 /dev/zero | \"$@\" -"
  EXPECT data/zeros_256_blocks.out)
edid_tool_test(NAME golden.dump.pipe_too_long TOOL edid_dump SH "head -c 32769 /dev/zero | \"$@\" -"
  STATUS 4 EXPECT data/nothing.out EXPECT_ERR "${too_long}")
edid_tool_test(NAME golden.dump.lenient_pipe_too_long TOOL edid_dump
  SH "head -c 32769 /dev/zero | \"$@\" --lenient -" STATUS 4 EXPECT data/nothing.out
  EXPECT_ERR "${too_long}")
edid_tool_test(NAME golden.dump.endless TOOL edid_dump SH "${limit} exec \"$@\" - < /dev/zero"
  STATUS 4 EXPECT data/nothing.out EXPECT_ERR "${too_long}")
