// SPDX-License-Identifier: MIT
// CEA-861 audio, vendor-specific, speaker allocation and raw data blocks:
// what a decoded block is written back as where the wire form changes or
// reaches its limits, or holds bits that must stay apart (PCM sample
// sizes, the WMA Pro profile).
// Reports are checked by the edid_dump golden tests (golden_cea.cmake),
// round trips by roundtrip_test.cpp.
#include "cea_util.h"

using namespace cea_test;

namespace {

TEST(DataBlock, WrittenBack)
{
    const std::string ramp28 = "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 "
                               "15 16 17 18 19 1A 1B 1C";
    const struct {
        std::string wire, written; // 0xFF bytes follow the wire bytes
    } cases[] = {
        // Audio: linear PCM 2 channels, 16-bit samples only; AC-3 at 640 kbps;
        // WMA Pro, the profile in bits 2..0 of byte 2; trailing bytes that
        // make no whole descriptor are dropped.
        {"23 09 7F 01", "23 09 7F 01"},
        {"23 15 07 50", "23 15 07 50"},
        {"23 71 06 FD", "23 71 06 05"},
        {"25 09 07 07 AA BB", "23 09 07 07"},
        // Vendor-specific: 28 payload bytes after the OUI at most; a block
        // shorter than its OUI keeps the OUI bytes it has and no payload.
        {"7F 03 0C 00 " + ramp28, "7F 03 0C 00 " + ramp28},
        {"62 03 0C", "63 03 0C 00"},
        {"61 03", "63 03 00 00"},
        {"60", "63 00 00 00"},
        // Speaker allocation: always length 3, reserved bits 0; length 0
        // takes its flags from the next byte.
        {"83 FF 12 34", "83 7F 00 00"},
        {"81 05", "83 05 00 00"},
        {"80 41", "83 41 00 00"},
        // Tags 0, 5, 6, 7: the payload as it stood, 31 bytes at most.
        {"1F " + repeat("AA", 31), "1F " + repeat("AA", 31)},
    };
    for (const auto &c : cases) EXPECT_EQ(encoded(decoded(c.wire)), hex(c.written)) << c.wire;
}

} // namespace
