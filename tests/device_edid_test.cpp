// SPDX-License-Identifier: MIT
// The 2007 builders (edid_build_default, edid_build_repeater): what the
// repeater keeps of a sink's EDID and where it stops.  The bytes of whole
// EDIDs are checked end to end by the edid_build tests (device.cmake).
#include "device_util.h"

namespace {

using namespace device_test;

// The repeater EDID below sink, built over two records of different
// leftover contents, which must not show in the result.
EdidInfo repeater(const EdidInfo &sink, uint32_t port)
{
    EdidInfo out[2];
    memset(&out[0], 0, sizeof out[0]);
    memset(&out[1], 0xA5, sizeof out[1]);
    for (EdidInfo &o : out) edid_build_repeater(&sink, &o, port);
    EXPECT_EQ(memcmp(&out[0], &out[1], sizeof out[0]), 0);
    return out[0];
}

// The physical address A.B.C.D in the HDMI block in data block slot
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
    } rows[] = {
        {{T, T, T, R}, true, {0, 1, 3, DEVICE_NAME}},
        {{T, N, S, X}, true, {0, EMPTY, EMPTY, DEVICE_NAME}},
        {{R, R, T, N}, true, {2, EMPTY, 0, DEVICE_NAME}},
        {{T, T, T, T}, false, {0, 1, 2, DEVICE_NAME}},
    };
    for (const auto &r : rows) {
        // Underscan; video, audio, HDMI (1.2.0.0), speakers, tag 7, video; a CEA timing.
        EdidInfo sink =
            sink_of("41 10 23 09 07 07 65 03 0C 00 12 00 83 01 00 00 E1 00 41 1F", P720, "", 0x80);
        sink.has_cea = r.cea;
        for (int i = 0; i < EDID_DESCRIPTORS; ++i)
            sink.descriptors[i] = {.type = r.sink[i], .body = {.text = {char(i)}}};
        const EdidInfo out = repeater(sink, 3);
        for (int i = 0; i < EDID_DESCRIPTORS; ++i) {
            const EdidDescriptor &d = out.descriptors[i];
            const bool device_name = d.type == N && d.body.text[0] == 'Q';
            EXPECT_EQ(d.type == EDID_DESC_EMPTY ? EMPTY
                      : device_name             ? DEVICE_NAME
                                                : d.body.text[0],
                      r.slots[i])
                << "slot " << i;
        }
        EXPECT_TRUE(out.has_cea && out.cea.basic_audio);
        EXPECT_EQ(out.cea.underscan, r.cea ? 1u : 0u);
        EXPECT_EQ(out.cea.detailed_timing_count, r.cea ? 1u : 0u);
        std::vector<uint8_t> tags, expect = {CEA_TAG_VENDOR, CEA_TAG_SPEAKER, CEA_TAG_AUDIO};
        if (r.cea) expect.insert(expect.begin(), 2, CEA_TAG_VIDEO);
        for (uint32_t i = 0; i < out.cea.data_block_count; i++)
            tags.push_back(out.cea.data_blocks[i].tag);
        EXPECT_EQ(tags, expect);
        EXPECT_EQ(address(out, r.cea ? 2 : 0), r.cea ? 0x1230u : 0x3000u); // port 3
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
        const EdidInfo out = repeater(sink, 1);
        uint8_t bytes[2 * EDID_BLOCK_SIZE];
        edid_encode(&out, bytes);
        Bytes expect = {0x20, 0, 0}; // 640x480@60
        if (bit < 17) expect[bit / 8] |= base[35 + bit / 8];
        EXPECT_EQ(Bytes(bytes + 35, bytes + 38), expect) << "bit " << bit;
    }
}

// 61 video blocks of one VIC each, VICs 1 to 61: the first 58 kept in sink
// order, or 57 with the THX block; counts above the record's read as its
// capacity.
TEST(DeviceEdid, VideoBlocksBeyondCapacityAreDropped)
{
    std::string videos;
    for (uint8_t vic = 1; vic <= CEA_MAX_DATA_BLOCKS; ++vic)
        videos += "41 " + hex_of(&vic, 1) + " ";
    EdidInfo sink = sink_of(videos);
    sink.cea.data_block_count = sink.cea.detailed_timing_count = 1000;
    for (uint8_t thx : {0, 1}) {
        cea_thx_block_enabled = thx;
        const EdidInfo out = repeater(sink, 1);
        EXPECT_EQ(out.cea.data_block_count, uint32_t(CEA_MAX_DATA_BLOCKS));
        EXPECT_EQ(out.cea.detailed_timing_count, uint32_t(CEA_MAX_DETAILED_TIMINGS));
        EXPECT_EQ(out.cea.data_blocks[57 - thx].body.video.descriptors[0].vic, 58u - thx);
        EXPECT_EQ(address(out, 58 - thx), 0x1000u);
        EXPECT_EQ(out.cea.data_blocks[60].tag, thx ? CEA_TAG_VENDOR : CEA_TAG_AUDIO);
    }
    cea_thx_block_enabled = 0;
}

} // namespace
