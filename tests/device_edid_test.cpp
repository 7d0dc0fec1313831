// The device's EDID: the bytes of the default EDID, the physical address of
// an input below a sink, and what the repeater keeps of a sink's EDID.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "device/device_edid.h"
#include "test_util.h"

namespace {

using test_util::Bytes;
using test_util::hex;

Bytes encoded(const EdidInfo &info)
{
    Bytes bytes(2 * EDID_BLOCK_SIZE);
    edid_encode(&info, bytes.data());
    return bytes;
}

Bytes slice(const Bytes &b, size_t from, size_t to) { return Bytes(b.begin() + from, b.begin() + to); }

// Sets the THX switch for one test.
struct Thx {
    explicit Thx(bool on) { cea_thx_block_enabled = on; }
    ~Thx() { cea_thx_block_enabled = 0; }
};

const char *const default_cea = "02 03 1F 70  66 03 0C 00 10 00 80  83 2F 00 00"
                                "  2F 3D 07 B0 15 07 50 09 07 07 39 07 B0 11 07 50";

TEST(DefaultEdid, Port1Bytes)
{
    EdidInfo info, clean = {};
    memset(&info, 0xA5, sizeof info); // a previous record leaves nothing behind
    edid_build_default(&info, 1);
    edid_build_default(&clean, 1);
    EXPECT_EQ(memcmp(&info, &clean, sizeof info), 0);
    Bytes b = encoded(info);
    // Header, "QZR", product 1, serial 0x01010101, week 1 of 2007.
    EXPECT_EQ(slice(b, 0, 18), hex("00 FF FF FF FF FF FF 00 47 52 01 00 01 01 01 01 01 11"));
    EXPECT_EQ(slice(b, 18, 38), hex("01 03 80 50 2D 78 0A 09 B5 A0 57 47 98 27 11 48 4C 20 00 00"));
    EXPECT_EQ(slice(b, 38, 108), Bytes(70, 0x01));
    EXPECT_EQ(slice(b, 108, 127), hex("00 00 00 FC 00 51 7A 72 53 6E 64 20 4B 37 0A 20 20 20 01"));
    EXPECT_EQ(edid_checksum(b.data()), 0);
    Bytes cea = hex(default_cea);
    cea.resize(127);
    cea.push_back(0xB7);
    EXPECT_EQ(slice(b, 128, 256), cea);
}

TEST(DefaultEdid, ThxBlockFollowsAudio)
{
    Thx on(true);
    EdidInfo info;
    edid_build_default(&info, 1);
    Bytes b = encoded(info);
    EXPECT_EQ(b[128 + 2], 0x2A);
    EXPECT_EQ(slice(b, 128 + 31, 128 + 42), hex("6A FA 12 00 00 01 54 48 58 10 03"));
    EXPECT_EQ(edid_checksum(&b[128]), 0);
}

TEST(DefaultEdid, DecodesBackToTheSameBytes)
{
    EdidInfo built, decoded = {};
    edid_build_default(&built, 7);
    Bytes b = encoded(built);
    ASSERT_EQ(edid_decode(b.data(), &decoded), 0);
    EXPECT_STREQ(decoded.vendor_id, "QZR");
    EXPECT_EQ(decoded.year, 2007);
    EXPECT_EQ(decoded.gamma, 2252u); // 2.20, rounded down to 1/1024
    EXPECT_STREQ(decoded.descriptors[3].body.text, "QzrSnd K7");
    EXPECT_EQ(decoded.cea.data_block_count, 3u);
    EXPECT_EQ(encoded(decoded), b);
}

TEST(DefaultEdid, IdentityIsReadAtEachCall)
{
    const char *vendor = device_vendor_id, *name = device_name;
    device_vendor_id = "ABC";
    device_name = "Fourteen chars";
    EdidInfo info;
    edid_build_default(&info, 0);
    device_vendor_id = vendor;
    device_name = name;
    EXPECT_STREQ(info.vendor_id, "ABC");
    EXPECT_STREQ(info.descriptors[3].body.text, "Fourteen char"); // 13 wire bytes, no 0x0A
}

// ---------------------------------------------------------------------
// Repeater
// ---------------------------------------------------------------------

CeaDataBlock *add_block(EdidInfo &sink, uint8_t tag)
{
    CeaDataBlock *block = &sink.cea.data_blocks[sink.cea.data_block_count++];
    block->tag = tag;
    return block;
}

void add_video(EdidInfo &sink, std::vector<uint8_t> vics)
{
    CeaVideoBlock *video = &add_block(sink, CEA_TAG_VIDEO)->body.video;
    for (uint8_t vic : vics) video->descriptors[video->count++].vic = vic & 0x7F;
}

// A vendor block with the given payload; the payload positions past it
// hold 0xEE, so that reading beyond size would show.
void add_vendor(EdidInfo &sink, uint32_t oui, const Bytes &payload)
{
    CeaVendorBlock *vendor = &add_block(sink, CEA_TAG_VENDOR)->body.vendor;
    vendor->oui = oui;
    vendor->size = uint32_t(payload.size());
    memset(vendor->payload, 0xEE, sizeof vendor->payload);
    memcpy(vendor->payload, payload.data(), payload.size());
}

EdidInfo tv()
{
    EdidInfo sink = {};
    sink.has_cea = 1;
    return sink;
}

Bytes hdmi_address(const EdidInfo &out, uint32_t slot)
{
    const CeaVendorBlock &v = out.cea.data_blocks[slot].body.vendor;
    EXPECT_EQ(v.oui, uint32_t(CEA_OUI_HDMI));
    return Bytes(v.payload, v.payload + 3);
}

TEST(RepeaterEdid, PhysicalAddressOfTheInput)
{
    struct Case {
        std::vector<Bytes> hdmi_blocks; // payloads of the sink's HDMI blocks
        uint32_t port;
        const char *expect;
    } cases[] = {
        {{}, 5, "50 00"},                 // no HDMI block: 0.0.0.0 -> 5.0.0.0
        {{hex("00 00")}, 5, "50 00"},     // the television itself
        {{hex("10 00")}, 5, "15 00"},     // 1.0.0.0 -> 1.5.0.0
        {{hex("12 00")}, 5, "12 50"},     // 1.2.0.0 -> 1.2.5.0
        {{hex("12 30")}, 5, "12 35"},     // 1.2.3.0 -> 1.2.3.5
        {{hex("12 34")}, 5, "FF FF"},     // no room one level down
        {{hex("12 04")}, 5, "12 50"},     // C set, D cleared
        {{hex("03 00")}, 5, "50 00"},     // A set, B cleared
        {{hex("12 30")}, 0, "12 30"},     // port 0 passes the address on
        {{hex("12 30")}, 0x10, "12 30"},  // only the low four bits count
        {{}, 0, "00 00"},
        {{hex("10 00")}, 0x13, "13 00"},
        {{hex("10 00"), hex("20 00")}, 5, "25 00"}, // the last HDMI block counts
        {{hex("12")}, 5, "12 50"},        // size 1: lo = 0
        {{Bytes{}}, 5, "50 00"},          // size 0: 0.0.0.0
    };
    for (const Case &c : cases) {
        EdidInfo sink = tv(), out;
        add_vendor(sink, 0x0012FA, hex("40 00")); // another OUI gives no address
        for (const Bytes &payload : c.hdmi_blocks) add_vendor(sink, CEA_OUI_HDMI, payload);
        edid_build_repeater(&sink, &out, c.port);
        EXPECT_EQ(hdmi_address(out, 0), hex(std::string(c.expect) + " 80")) << c.expect << " port " << c.port;
    }
}

TEST(RepeaterEdid, KeepsVideoBlocksThenDeviceBlocks)
{
    EdidInfo sink = tv(), out;
    add_video(sink, {16});
    add_block(sink, CEA_TAG_AUDIO)->body.audio.count = 1;
    add_vendor(sink, CEA_OUI_HDMI, hex("12 00"));
    add_block(sink, CEA_TAG_SPEAKER)->body.speakers.rc = 1;
    add_video(sink, {4, 5});
    for (bool thx : {false, true}) {
        Thx on(thx);
        edid_build_repeater(&sink, &out, 3);
        ASSERT_EQ(out.cea.data_block_count, thx ? 6u : 5u);
        const CeaDataBlock *b = out.cea.data_blocks;
        EXPECT_EQ(b[0].body.video.descriptors[0].vic, 16u);
        EXPECT_EQ(b[1].body.video.descriptors[1].vic, 5u);
        EXPECT_EQ(hdmi_address(out, 2), hex("12 30 80")); // 1.2.3.0
        EXPECT_EQ(b[3].tag, CEA_TAG_SPEAKER);
        EXPECT_FALSE(b[3].body.speakers.rc);              // the device's layout
        EXPECT_EQ(b[4].body.audio.count, 5u);              // the device's formats
        if (thx) {
            EXPECT_EQ(b[5].body.vendor.oui, 0x0012FAu);
        }
    }
}

TEST(RepeaterEdid, VideoBlocksBeyondCapacityAreDropped)
{
    EdidInfo sink = tv(), out;
    for (uint8_t vic = 1; vic <= CEA_MAX_DATA_BLOCKS; ++vic) add_video(sink, {vic});
    sink.cea.data_block_count = 1000; // read as the capacity
    for (bool thx : {false, true}) {
        Thx on(thx);
        edid_build_repeater(&sink, &out, 1);
        uint32_t kept = thx ? 57 : 58;
        EXPECT_EQ(out.cea.data_block_count, uint32_t(CEA_MAX_DATA_BLOCKS));
        EXPECT_EQ(out.cea.data_blocks[kept - 1].body.video.descriptors[0].vic, kept);
        EXPECT_EQ(hdmi_address(out, kept), hex("10 00 80"));
    }
}

// "T<pixel clock>", "RL<min_v_hz>", or the type names below.
EdidDescriptor descriptor(const std::string &s)
{
    EdidDescriptor d = {};
    if (s[0] == 'T') d.body.timing.pixel_clock = uint32_t(std::stoul(s.substr(1)));
    if (s[0] == 'R') {
        d.type = EDID_DESC_RANGE_LIMITS;
        d.body.range_limits.min_v_hz = uint32_t(std::stoul(s.substr(2)));
    }
    if (s == "serial") d.type = EDID_DESC_SERIAL;
    if (s == "text") d.type = EDID_DESC_TEXT;
    if (s == "name") d.type = EDID_DESC_NAME;
    return d;
}

std::string describe(const EdidDescriptor &d)
{
    switch (d.type) {
    case EDID_DESC_TIMING: return "T" + std::to_string(d.body.timing.pixel_clock);
    case EDID_DESC_RANGE_LIMITS: return "RL" + std::to_string(d.body.range_limits.min_v_hz);
    case EDID_DESC_EMPTY: return "empty";
    case EDID_DESC_NAME: return d.body.text;
    default: return "type " + std::to_string(d.type);
    }
}

TEST(RepeaterEdid, KeepsTimingsAndFirstRangeLimits)
{
    using Four = std::vector<std::string>;
    const std::string name = "QzrSnd K7\n   ";
    struct Case {
        Four sink, expect;
    } cases[] = {
        {{"serial", "T1", "RL50", "T2"}, {"T1", "T2", "RL50", name}},
        {{"T1", "T2", "T3", "RL50"}, {"T1", "T2", "RL50", name}},
        {{"T1", "name", "serial", "text"}, {"T1", "empty", "empty", name}},
        {{"T1", "T2", "T3", "T4"}, {"T1", "T2", "T3", name}},
        {{"RL50", "RL60", "T1", "name"}, {"T1", "empty", "RL50", name}},
    };
    for (const Case &c : cases) {
        EdidInfo sink = tv(), out;
        for (int i = 0; i < EDID_DESCRIPTORS; ++i) sink.descriptors[i] = descriptor(c.sink[i]);
        edid_build_repeater(&sink, &out, 1);
        Four got;
        for (const EdidDescriptor &d : out.descriptors) got.push_back(describe(d));
        EXPECT_EQ(got, c.expect) << c.sink[0] << " " << c.sink[1] << " " << c.sink[2] << " " << c.sink[3];
    }
}

TEST(RepeaterEdid, PictureFieldsFromTheSinkIdentityFromTheDevice)
{
    EdidInfo sink = tv(), out;
    memcpy(sink.vendor_id, "TVX", 4);
    sink.year = 2015, sink.features = 0xEE, sink.max_h_size_cm = 102, sink.gamma = 2560, sink.white_y = 337;
    sink.est_800x600_60 = 1, sink.est_1152x870_75 = 1, sink.manufacturer_mask = 5;
    sink.standard_timings[0].raw_code = 0xC0D1;
    sink.cea.underscan = 1, sink.cea.native_modes = 2, sink.cea.detailed_timing_count = 2;
    sink.cea.detailed_timings[1].pixel_clock = 7425;
    edid_build_repeater(&sink, &out, 1);
    EXPECT_STREQ(out.vendor_id, "QZR");
    EXPECT_EQ(out.year, 2007);
    EXPECT_EQ(out.features, 0x0A);
    EXPECT_EQ(out.max_h_size_cm, 102);
    EXPECT_EQ(out.gamma, 2560u);
    EXPECT_EQ(out.white_y, 337u);
    EXPECT_TRUE(out.est_640x480_60 && out.est_800x600_60 && out.est_1152x870_75);
    EXPECT_EQ(out.manufacturer_mask, 0u);
    EXPECT_EQ(out.standard_timings[0].raw_code, 0xC0D1u);
    EXPECT_TRUE(out.cea.underscan && out.cea.basic_audio && !out.cea.ycbcr_444);
    EXPECT_EQ(out.cea.native_modes, 2u);
    EXPECT_EQ(out.cea.detailed_timing_count, 2u);
    EXPECT_EQ(out.cea.detailed_timings[1].pixel_clock, 7425u);

    // Without a CEA extension nothing of the sink's cea record is read.
    sink.has_cea = 0;
    add_video(sink, {16});
    add_vendor(sink, CEA_OUI_HDMI, hex("12 00"));
    edid_build_repeater(&sink, &out, 5);
    EXPECT_TRUE(out.has_cea && out.cea.basic_audio && !out.cea.underscan);
    EXPECT_EQ(out.cea.native_modes, 0u);
    EXPECT_EQ(out.cea.detailed_timing_count, 0u);
    EXPECT_EQ(out.cea.data_block_count, 3u);
    EXPECT_EQ(hdmi_address(out, 0), hex("50 00 80"));
}

} // namespace
