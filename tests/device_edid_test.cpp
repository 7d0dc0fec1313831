// The device's EDID builders: the physical address of an input, what the
// repeater keeps of a sink's EDID and where it stops.  The bytes of whole
// EDIDs are checked end to end by the edid_build tests (device.cmake).
#include <string.h>

#include "device/device_edid.h"
#include "test_util.h"

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
    for (EdidInfo &o : out) sink ? edid_build_repeater(sink, &o, port) : edid_build_default(&o, port);
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

TEST(DeviceEdid, PhysicalAddressOfTheInput)
{
    // The sink's HDMI blocks (wire bytes; null: the default EDID), the port;
    // the input's address.
    const struct { const char *hdmi; uint32_t port; uint32_t expect; } cases[] = {
        {nullptr, 5, 0x5000},                               // the default EDID: n.0.0.0
        {nullptr, 0x13, 0x3000},                            // only the low four bits count
        {"", 5, 0x5000},                                    // no HDMI block: as below 0.0.0.0
        {"65 03 0C 00 10 34", 5, 0x1534},                   // 1.0.3.4 -> 1.5.3.4, lo kept
        {"65 03 0C 00 12 00", 5, 0x1250},                   // 1.2.0.0 -> 1.2.5.0
        {"65 03 0C 00 12 30", 5, 0x1235},                   // 1.2.3.0 -> 1.2.3.5
        {"65 03 0C 00 12 34", 5, 0xFFFF},                   // no room one level down
        {"65 03 0C 00 12 04", 5, 0x1250},                   // C set, D cleared
        {"65 03 0C 00 03 04", 5, 0x5004},                   // A set, B cleared, lo kept
        {"65 03 0C 00 12 34", 0, 0x1234},                   // port 0 passes the address on
        {"65 03 0C 00 12 34", 0x10, 0x1234},                // only the low four bits count
        {"65 03 0C 00 10 00 65 03 0C 00 20 00", 5, 0x2500}, // the last HDMI block counts
        {"64 03 0C 00 12", 5, 0x1250},                      // size 1: lo = 0
        {"63 03 0C 00", 5, 0x5000},                         // size 0: 0.0.0.0
    };
    for (const auto &c : cases) {
        // The HDMI blocks follow a vendor block of another OUI, which gives no address.
        EdidInfo sink = sink_with_cea(hex("02 03 00 00 65 FA 12 00 40 00 " + std::string(c.hdmi ? c.hdmi : "")));
        EXPECT_EQ(address(build(c.hdmi ? &sink : nullptr, c.port), 0), c.expect)
            << (c.hdmi ? c.hdmi : "default") << ", port " << c.port;
    }
}

// Sink descriptors: Timing, Range limits, Name, Serial, teXt.
const char KINDS[] = "TRNSX";
const uint32_t TYPES[] = {EDID_DESC_TIMING, EDID_DESC_RANGE_LIMITS, EDID_DESC_NAME, EDID_DESC_SERIAL,
                          EDID_DESC_TEXT};

// The sink's four descriptors by kind; what the result holds in its four
// descriptor slots (the sink's descriptor by number, E for empty, Q for the
// device name "QzrSnd K7"), then its has_cea, basic_audio, underscan and CEA
// detailed timing count, then the tags of its data blocks.  The sink's CEA
// record, read only when the sink has the extension: underscan, the data
// blocks video, audio, HDMI (1.2.0.0), speakers, tag 7, video, and one
// detailed timing; the result keeps the video blocks and the timing, then
// the device's HDMI, speaker and audio blocks.
TEST(DeviceEdid, RepeaterComposition)
{
    const struct { const char *sink; bool cea; const char *expect; } cases[] = {
        {"TTTR", true, "013Q 1111 22341"},
        {"TNSX", true, "0EEQ 1111 22341"},
        {"RRTN", true, "2E0Q 1111 22341"},
        {"TTTT", false, "012Q 1100 341"},
    };
    for (const auto &c : cases) {
        EdidInfo sink = sink_with_cea(hex("02 03 18 80 41 10 23 09 07 07 65 03 0C 00 12 00 83 01 00 00 E1 00 "
                                          "41 1F 01 1D 00 72 51 D0 1E 20 6E 28 55 00 10 09 00 00 00 1E"));
        sink.has_cea = c.cea;
        for (int i = 0; i < EDID_DESCRIPTORS; ++i) // numbered in the body's first byte
            sink.descriptors[i] = {.type = TYPES[strchr(KINDS, c.sink[i]) - KINDS],
                                   .body = {.text = {char('0' + i)}}};
        EdidInfo out = build(&sink, 3);
        std::string got;
        for (int i = 0; i < EDID_DESCRIPTORS; ++i)
            got += out.descriptors[i].type == EDID_DESC_EMPTY ? 'E' : out.descriptors[i].body.text[0];
        got += " " + std::to_string(out.has_cea) + std::to_string(out.cea.basic_audio) +
               std::to_string(out.cea.underscan) + std::to_string(out.cea.detailed_timing_count) + " ";
        for (uint32_t i = 0; i < out.cea.data_block_count; i++) got += std::to_string(out.cea.data_blocks[i].tag);
        EXPECT_EQ(got, c.expect) << c.sink;
        EXPECT_EQ(address(out, c.cea ? 2 : 0), c.cea ? 0x1230u : 0x3000u); // port 3
    }
}

TEST(DeviceEdid, VideoBlocksBeyondCapacityAreDropped)
{
    Bytes videos = {CEA_EXTENSION_TAG, CEA_REVISION, 0, 0}; // 61 video blocks of one VIC each, VICs 1 to 61
    for (uint8_t vic = 1; vic <= CEA_MAX_DATA_BLOCKS; ++vic) videos.insert(videos.end(), {0x41, vic});
    EdidInfo sink = sink_with_cea(videos);
    sink.cea.data_block_count = sink.cea.detailed_timing_count = 1000; // read as the capacity
    for (uint8_t thx : {0, 1}) {
        cea_thx_block_enabled = thx;
        EdidInfo out = build(&sink, 1);
        EXPECT_EQ(out.cea.data_block_count, uint32_t(CEA_MAX_DATA_BLOCKS));
        EXPECT_EQ(out.cea.detailed_timing_count, uint32_t(CEA_MAX_DETAILED_TIMINGS));
        EXPECT_EQ(out.cea.data_blocks[57 - thx].body.video.descriptors[0].vic, 58u - thx); // 58 or 57 kept
        EXPECT_EQ(address(out, 58 - thx), 0x1000u);
        EXPECT_EQ(out.cea.data_blocks[60].tag, thx ? CEA_TAG_VENDOR : CEA_TAG_AUDIO);
    }
    cea_thx_block_enabled = 0;
}

} // namespace
