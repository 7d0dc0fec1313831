// The device's EDID builders: the physical address of an input, what the
// repeater keeps of a sink's EDID and where it stops.  The bytes of whole
// EDIDs are checked end to end by the edid_build tests (device.cmake).
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/device_edid.h"
#include "test_util.h"

namespace {

using test_util::Bytes;
using test_util::hex;

// Sets the THX switch for one test.
struct Thx {
    explicit Thx(bool on) { cea_thx_block_enabled = on; }
    ~Thx() { cea_thx_block_enabled = 0; }
};

TEST(DefaultEdid, LeavesNothingOfAPreviousRecord)
{
    EdidInfo info, clean = {};
    memset(&info, 0xA5, sizeof info);
    edid_build_default(&info, 1);
    edid_build_default(&clean, 1);
    EXPECT_EQ(memcmp(&info, &clean, sizeof info), 0);
}

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
    std::copy(payload.begin(), payload.end(), vendor->payload);
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
        {{}, 0x13, "30 00"},
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
        if (c.hdmi_blocks.empty()) { // the default EDID: as below 0.0.0.0
            edid_build_default(&out, c.port);
            EXPECT_EQ(hdmi_address(out, 0), hex(std::string(c.expect) + " 80")) << "default, port " << c.port;
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
        EXPECT_EQ(out.cea.data_blocks[60].tag, thx ? CEA_TAG_VENDOR : CEA_TAG_AUDIO);
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

TEST(RepeaterEdid, SinkWithoutCeaExtension)
{
    EdidInfo sink = tv(), out;
    sink.has_cea = 0; // what the cea record holds is not read
    sink.cea.underscan = 1;
    sink.cea.detailed_timing_count = 1;
    add_video(sink, {16});
    add_vendor(sink, CEA_OUI_HDMI, hex("12 00"));
    edid_build_repeater(&sink, &out, 5);
    EXPECT_TRUE(out.has_cea && out.cea.basic_audio && !out.cea.underscan);
    EXPECT_EQ(out.cea.detailed_timing_count, 0u);
    EXPECT_EQ(out.cea.data_block_count, 3u);
    EXPECT_EQ(hdmi_address(out, 0), hex("50 00 80"));
}

} // namespace
