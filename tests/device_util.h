// SPDX-License-Identifier: MIT
// device_util.h - helpers of the device tests: a small synthetic sink, a
// device with link limits, the repeater's stages as edid_device_build runs
// them, and the EDID it builds as data blocks in hex with its left-out
// lines.
#ifndef EDID_TESTS_DEVICE_UTIL_H
#define EDID_TESTS_DEVICE_UTIL_H

#include <string.h>

#include <algorithm>

#include "test_util.h"
#include "device/stages.h"

namespace device_test {

using namespace test_util;
using namespace edid_device;
using Lines = std::vector<std::string>;
constexpr uint32_t NO = DEVICE_NO_LIMIT;

// Detailed timings: 1080p60 (148.5 MHz), 1080i60, 720p60, 2160p60 (594
// MHz), 1360x768p60 (85.5 MHz).
inline const std::string P1080 = "02 3A 80 18 71 38 2D 40 58 2C 45 00 40 84 63 00 00 1E ";
inline const std::string I1080 = "01 1D 80 18 71 1C 16 20 58 2C 25 00 40 84 63 00 00 9E ";
inline const std::string P720 = "01 1D 00 72 51 D0 1E 20 6E 28 55 00 40 84 63 00 00 1E ";
inline const std::string P2160 = "08 E8 00 30 F2 70 5A 80 B0 58 8A 00 40 84 63 00 00 1E ";
inline const std::string P1360 = "66 21 50 B0 51 00 1B 30 40 70 36 00 40 84 63 00 00 1E ";

// A sink: a base block whose descriptor slots begin with `slots` (dummy
// descriptors after them), 640x480@60 its only other timing; a CEA block
// with capability byte `flags`, the data blocks `blocks` ('|' may stand
// between them) and the detailed timings `timings`.
inline EdidInfo sink_of(std::string blocks, const std::string &timings = "",
                        const std::string &slots = "", uint8_t flags = 0)
{
    std::replace(blocks.begin(), blocks.end(), '|', ' ');
    Bytes e = hex(
              "00 FF FF FF FF FF FF 00 52 D3 01 00 00 00 00 00 01 1E 01 03 80 50 2D 78 0A 09 B5 "
              "A0 57 47 98 27 11 48 4C 20 00 00" +
              repeat(" 01", 16) + repeat("00 00 00 10" + repeat(" 00", 14), 4) + "01 00"),
          s = hex(slots), cea = hex("02 03 00 00 " + blocks + timings);
    std::copy(s.begin(), s.end(), e.begin() + 54);
    cea[2] = uint8_t(4 + hex(blocks).size());
    cea[3] = flags;
    cea.resize(EDID_BLOCK_SIZE);
    fix_checksum(e.data());
    fix_checksum(cea.data());
    e.insert(e.end(), cea.begin(), cea.end());
    EdidInfo sink;
    EXPECT_EQ(edid_decode_sink(e.data(), e.size(), &sink), EDID_DECODE_OK);
    return sink;
}

inline EdidDevice device_with(uint32_t tmds_mhz = NO, uint32_t character_mhz = NO,
                              uint32_t frl = NO)
{
    EdidDevice d;
    edid_device_init(&d);
    d.max_tmds_mhz = tmds_mhz;
    d.max_tmds_character_rate_mhz = character_mhz;
    d.max_frl_rate = frl;
    return d;
}

// The stages in order, as edid_device_build runs them for input 1.
struct Stages {
    SinkItems items;
    LinkLimits link;
    DevicePart part;
    Fit fit;
    Renumbered r;
    Stages(const EdidInfo &sink, const EdidDevice &d)
        : items(classify_sink(sink, d.audio)), link(apply_link_limits(d, sink, items)),
          part(place_device_blocks(d, sink, items, 1)), fit(fit_cea_block(sink, items, link, part)),
          r(renumber(d, sink, items, link, part, fit))
    {
    }
};

// edid_device_build's EDID for input 1 (the default EDID without a sink):
// its CEA data blocks in hex, its left-out lines less "left out ".
struct Built {
    EdidInfo out;
    Lines blocks, lines;
    bool has(const std::string &b) const { return std::count(blocks.begin(), blocks.end(), b); }
    bool says(const std::string &s) const
    {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string &l) { return l.find(s) != std::string::npos; });
    }
};

inline Built build(const EdidInfo *sink, const EdidDevice &device = device_with())
{
    Built b;
    EdidLeftOut left;
    EXPECT_EQ(edid_device_build(&device, sink, 1, &b.out, &left), EDID_DEVICE_OK);
    uint8_t bytes[2 * EDID_BLOCK_SIZE];
    edid_encode(&b.out, bytes);
    const uint8_t *cea = bytes + EDID_BLOCK_SIZE;
    for (unsigned at = 4; at < cea[2]; at += 1 + (cea[at] & 0x1F))
        b.blocks.push_back(hex_of(cea + at, 1 + (cea[at] & 0x1F)));
    char line[EDID_LEFT_OUT_LINE];
    for (uint32_t i = 0; i < left.count && i < EDID_LEFT_OUT_MAX; ++i) {
        edid_left_out_line(sink, &left.items[i], line, sizeof line);
        b.lines.push_back(line + strlen("left out "));
    }
    return b;
}

} // namespace device_test

#endif
