// SPDX-License-Identifier: MIT
// The 2007 builders (edid_build_default, edid_build_repeater): what the
// repeater keeps of a sink's EDID and where it stops.  The bytes of whole
// EDIDs are checked end to end by the edid_build tests (device.cmake).
#include <string.h>

#include "test_util.h"
#include <edid/device_edid.h>

namespace {

using namespace test_util;

// The repeater EDID below `sink`, or the default EDID when sink is null,
// built over two records of different leftover contents, which must not
// show in the result.
EdidInfo build(const EdidInfo *sink, uint32_t port)
{
    EdidInfo out[2];
    memset(&out[0], 0, sizeof out[0]);
    memset(&out[1], 0xA5, sizeof out[1]);
    for (EdidInfo &o : out)
        sink ? edid_build_repeater(sink, &o, port) : edid_build_default(&o, port);
    EXPECT_EQ(memcmp(&out[0], &out[1], sizeof out[0]), 0);
    return out[0];
}

// A sink whose CEA block begins with `bytes` (tag, revision, d, capability
// byte, data blocks, detailed timings), zeros after.  What the decoder does
// not write holds 0xEE, so that a builder reading a vendor payload past its
// size would show.
EdidInfo sink_with_cea(Bytes bytes)
{
    EdidInfo sink;
    memset(&sink, 0xEE, sizeof sink);
    bytes.resize(EDID_BLOCK_SIZE);
    sink.has_cea = cea_decode(bytes.data(), &sink.cea) == 0;
    return sink;
}

// The physical address A.B.C.D in the HDMI vendor block in data block slot
// `slot`, as the hexadecimal digits ABCD.
uint32_t address(const EdidInfo &out, uint32_t slot)
{
    const CeaVendorBlock &v = out.cea.data_blocks[slot].body.vendor;
    EXPECT_EQ(v.oui, uint32_t(CEA_OUI_HDMI));
    return uint32_t(v.payload[0] << 8 | v.payload[1]);
}

// What the repeater keeps of the sink: its detailed timings (the first
// three) and first range limits in descriptor slots 0 to 2, the device name
// in slot 3; with a CEA extension, its underscan flag, CEA timings and video
// data blocks, then the device's HDMI, speaker and audio blocks.  The sink's
// descriptors are numbered in the first byte of their body.
TEST(DeviceEdid, RepeaterComposition)
{
    const uint32_t T = EDID_DESC_TIMING, R = EDID_DESC_RANGE_LIMITS, N = EDID_DESC_NAME,
                   S = EDID_DESC_SERIAL, X = EDID_DESC_TEXT;
    const int DEVICE_NAME = -1, EMPTY = -2;
    const struct {
        uint32_t sink[EDID_DESCRIPTORS];
        bool cea;
        int slots[EDID_DESCRIPTORS]; // the sink's descriptor number, or EMPTY or DEVICE_NAME
    } cases[] = {
        {{T, T, T, R}, true, {0, 1, 3, DEVICE_NAME}},
        {{T, N, S, X}, true, {0, EMPTY, EMPTY, DEVICE_NAME}},
        {{R, R, T, N}, true, {2, EMPTY, 0, DEVICE_NAME}},
        {{T, T, T, T}, false, {0, 1, 2, DEVICE_NAME}},
    };
    // The sink's CEA block: underscan; video, audio, HDMI (1.2.0.0),
    // speakers, tag 7, video; one detailed timing.
    const Bytes cea = hex("02 03 18 80 41 10 23 09 07 07 65 03 0C 00 12 00 83 01 00 00 E1 00 "
                          "41 1F 01 1D 00 72 51 D0 1E 20 6E 28 55 00 10 09 00 00 00 1E");
    for (const auto &c : cases) {
        EdidInfo sink = sink_with_cea(cea);
        sink.has_cea = c.cea;
        for (int i = 0; i < EDID_DESCRIPTORS; ++i)
            sink.descriptors[i] = {.type = c.sink[i], .body = {.text = {char(i)}}};
        EdidInfo out = build(&sink, 3);
        for (int i = 0; i < EDID_DESCRIPTORS; ++i) {
            const EdidDescriptor &d = out.descriptors[i];
            const bool device_name = d.type == N && d.body.text[0] == 'Q';
            int got = d.type == EDID_DESC_EMPTY ? EMPTY
                      : device_name             ? DEVICE_NAME
                                                : d.body.text[0];
            EXPECT_EQ(got, c.slots[i]) << "slot " << i;
        }
        EXPECT_TRUE(out.has_cea && out.cea.basic_audio);
        EXPECT_EQ(out.cea.underscan, c.cea ? 1u : 0u);
        EXPECT_EQ(out.cea.detailed_timing_count, c.cea ? 1u : 0u);
        std::vector<uint8_t> tags, expect = {CEA_TAG_VENDOR, CEA_TAG_SPEAKER, CEA_TAG_AUDIO};
        if (c.cea) expect.insert(expect.begin(), 2, CEA_TAG_VIDEO);
        for (uint32_t i = 0; i < out.cea.data_block_count; i++)
            tags.push_back(out.cea.data_blocks[i].tag);
        EXPECT_EQ(tags, expect);
        EXPECT_EQ(address(out, c.cea ? 2 : 0), c.cea ? 0x1230u : 0x3000u); // port 3
    }
}

// Each established timing flag of the sink reaches the repeater's bytes 35
// to 37, 640x480@60 is always set, the manufacturer's timings never are.
TEST(DeviceEdid, RepeaterEstablishedTimings)
{
    for (unsigned bit = 0; bit < 24; ++bit) {
        Bytes base = read_dump("base_full.hex");
        base[35] = base[36] = base[37] = 0;
        base[35 + bit / 8] = uint8_t(0x80 >> bit % 8);
        fix_checksum(base.data());
        EdidInfo sink;
        ASSERT_EQ(edid_decode_bounded(base.data(), base.size(), &sink), EDID_DECODE_OK);
        EdidInfo repeater = build(&sink, 1);
        uint8_t out[2 * EDID_BLOCK_SIZE];
        edid_encode(&repeater, out);
        Bytes expect = {0x20, 0, 0}; // 640x480@60
        if (bit < 17) expect[bit / 8] |= base[35 + bit / 8];
        EXPECT_EQ(Bytes(out + 35, out + 38), expect) << "bit " << bit;
    }
}

TEST(DeviceEdid, VideoBlocksBeyondCapacityAreDropped)
{
    // 61 video blocks of one VIC each, VICs 1 to 61.
    Bytes videos = {CEA_EXTENSION_TAG, CEA_REVISION, 0, 0};
    for (uint8_t vic = 1; vic <= CEA_MAX_DATA_BLOCKS; ++vic)
        videos.insert(videos.end(), {0x41, vic});
    EdidInfo sink = sink_with_cea(videos);
    sink.cea.data_block_count = sink.cea.detailed_timing_count = 1000; // read as the capacity
    for (uint8_t thx : {0, 1}) {
        cea_thx_block_enabled = thx;
        EdidInfo out = build(&sink, 1);
        EXPECT_EQ(out.cea.data_block_count, uint32_t(CEA_MAX_DATA_BLOCKS));
        EXPECT_EQ(out.cea.detailed_timing_count, uint32_t(CEA_MAX_DETAILED_TIMINGS));
        // 58 video blocks kept, or 57 with the THX block.
        EXPECT_EQ(out.cea.data_blocks[57 - thx].body.video.descriptors[0].vic, 58u - thx);
        EXPECT_EQ(address(out, 58 - thx), 0x1000u);
        EXPECT_EQ(out.cea.data_blocks[60].tag, thx ? CEA_TAG_VENDOR : CEA_TAG_AUDIO);
    }
    cea_thx_block_enabled = 0;
}

} // namespace
