// SPDX-License-Identifier: MIT
// The rules of edid_device_build's video-keeping repeater, one table of
// small synthetic sinks per rule of <edid/device_edid.h>, each case fed to
// the rule's stage (device/stages.h) and to edid_device_build: the cases
// where a wrong comparison, a missing 4:2:0 halving, a wrong fallback
// order or a stale renumbering changes the bytes.  Real sinks are judged
// whole by keep_video_check.py (device.cmake).
#include <string.h>

#include <algorithm>

#include "cea_util.h"
#include "device/stages.h"
#include "test_util.h"

namespace {

using namespace test_util;
using namespace edid_device;
using Lines = std::vector<std::string>;

// Detailed timings: 1080p60 (148.5 MHz), 1080i60, 720p60, 2160p60 (594
// MHz), 1360x768p60 (85.5 MHz).
const std::string P1080 = "02 3A 80 18 71 38 2D 40 58 2C 45 00 40 84 63 00 00 1E ";
const std::string I1080 = "01 1D 80 18 71 1C 16 20 58 2C 25 00 40 84 63 00 00 9E ";
const std::string P720 = "01 1D 00 72 51 D0 1E 20 6E 28 55 00 40 84 63 00 00 1E ";
const std::string P2160 = "08 E8 00 30 F2 70 5A 80 B0 58 8A 00 40 84 63 00 00 1E ";
const std::string P1360 = "66 21 50 B0 51 00 1B 30 40 70 36 00 40 84 63 00 00 1E ";

// A sink: a base block with the descriptor slots `slots` (then dummy
// descriptors), 640x480@60 its only other timing; a CEA block with
// capability byte `flags`, the data blocks `blocks` ('|' may stand
// between them) and the detailed timings `timings`.
EdidInfo sink_of(std::string blocks, const std::string &timings = "", const std::string &slots = "",
                 uint8_t flags = 0)
{
    Bytes e = hex("00 FF FF FF FF FF FF 00 52 D3 01 00 00 00 00 00 01 1E 01 03 80 50 2D 78 0A "
                  "09 B5 A0 57 47 98 27 11 48 4C 20 00 00" +
                  cea_test::repeat(" 01", 16) + slots);
    const Bytes dummy = hex("00 00 00 10" + cea_test::repeat(" 00", 14));
    while (e.size() + dummy.size() <= 126) e.insert(e.end(), dummy.begin(), dummy.end());
    e.resize(EDID_BLOCK_SIZE);
    e[126] = 1;
    fix_checksum(e.data());
    std::replace(blocks.begin(), blocks.end(), '|', ' ');
    Bytes b = hex(blocks), t = hex(timings), cea = {CEA_EXTENSION_TAG, CEA_REVISION, 0, flags};
    cea[2] = uint8_t(4 + b.size());
    cea.insert(cea.end(), b.begin(), b.end());
    cea.insert(cea.end(), t.begin(), t.end());
    cea.resize(EDID_BLOCK_SIZE);
    fix_checksum(cea.data());
    e.insert(e.end(), cea.begin(), cea.end());
    EdidInfo sink;
    EXPECT_EQ(edid_decode_sink(e.data(), e.size(), &sink), EDID_DECODE_OK);
    return sink;
}

EdidDevice device_with(uint32_t tmds_mhz = DEVICE_NO_LIMIT,
                       uint32_t character_mhz = DEVICE_NO_LIMIT, uint32_t frl = DEVICE_NO_LIMIT)
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

// edid_device_build's EDID: its CEA data blocks in hex and its left-out
// lines, less "left out ".
struct Built {
    EdidInfo out;
    Lines blocks, lines;
    bool has(const std::string &b) const
    {
        return std::find(blocks.begin(), blocks.end(), b) != blocks.end();
    }
};

Built build(const EdidInfo &sink, const EdidDevice &device = device_with())
{
    Built b;
    EdidLeftOut left;
    EXPECT_EQ(edid_device_build(&device, &sink, 1, &b.out, &left), EDID_DEVICE_OK);
    uint8_t bytes[2 * EDID_BLOCK_SIZE];
    edid_encode(&b.out, bytes);
    const uint8_t *cea = bytes + EDID_BLOCK_SIZE;
    for (unsigned at = 4; at < cea[2]; at += 1 + (cea[at] & 0x1F))
        b.blocks.push_back(hex_of(cea + at, 1 + (cea[at] & 0x1F)));
    char line[EDID_LEFT_OUT_LINE];
    for (uint32_t i = 0; i < left.count && i < EDID_LEFT_OUT_MAX; ++i) {
        edid_left_out_line(&sink, &left.items[i], line, sizeof line);
        b.lines.push_back(line + strlen("left out "));
    }
    return b;
}

// ---- 1. What the sink offers -------------------------------------------------

TEST(DeviceRules, WhatEachSinkBlockIs)
{
    const char *REPLACED = "replaced by the device's",
               *AUDIO = "describes audio, which the "
                        "device renders",
               *UNKNOWN = "not known to hold true below the device";
    const struct {
        const char *block;
        Role role;
        const char *why; // of a block left out
    } rows[] = {
        {"41 10", ROLE_KEPT, ""},
        {"23 09 07 07", ROLE_LEFT_OUT, REPLACED},
        {"65 03 0C 00 12 00", ROLE_HDMI, ""},
        {"67 D8 5D C4 01 00 00 03", ROLE_AFTER_HDMI, ""},
        {"E2 00 C0", ROLE_KEPT, ""},
        {"83 01 00 00", ROLE_LEFT_OUT, REPLACED},
        {"E2 12 00", ROLE_LEFT_OUT, AUDIO},
        {"E2 78 03", ROLE_LEFT_OUT, "the device's EDID has one extension"},
        {"64 11 22 33 44", ROLE_LEFT_OUT, UNKNOWN},
        {"63 1A 00 00", ROLE_KEPT, ""},
        {"67 D8 5D C4 01 00 00 03", ROLE_LEFT_OUT, "a second block of its kind"},
        {"E2 0B 00", ROLE_KEPT, ""}, // a code reserved for video
        {"E2 25 00", ROLE_LEFT_OUT, UNKNOWN},
        {"C1 AA", ROLE_LEFT_OUT, UNKNOWN},
        {"E4 79 00 00 01", ROLE_AFTER_HDMI, ""},
        {"E2 13 00", ROLE_PRESENTED, ""}, // the device's audio side holds it as it stands
        {"E2 13 01", ROLE_LEFT_OUT, AUDIO},
    };
    std::string blocks;
    for (const auto &r : rows) blocks += std::string(r.block) + "|";
    const EdidInfo sink = sink_of(blocks);
    EdidDevice device = device_with();
    ASSERT_EQ(edid_device_audio_add_block(&device.audio, hex("E2 13 00").data(), 3), 0);
    const SinkItems items = classify_sink(sink, device.audio);
    const Built b = build(sink, device);
    ASSERT_EQ(items.block_count, std::size(rows));
    for (uint32_t i = 0; i < std::size(rows); ++i) {
        const auto &r = rows[i];
        EXPECT_EQ(items.blocks[i].role, r.role) << r.block;
        const std::string end = " #" + std::to_string(i + 1) + ": " + r.why;
        const bool listed =
            std::count_if(b.lines.begin(), b.lines.end(), [&](const std::string &l) {
                return l.size() > end.size() &&
                       l.compare(l.size() - end.size(), end.size(), end) == 0;
            });
        EXPECT_TRUE(*r.why ? listed : !listed && (r.role == ROLE_HDMI || b.has(r.block)))
            << r.block;
    }
    EXPECT_EQ(b.blocks[1], "66 03 0C 00 12 10 80"); // the HDMI block where the sink's stood
}

// The first range limits stays, the name gives way, the rest find no
// slot; a slot of pixel clock 0 is never a timing.
TEST(DeviceRules, SinkDescriptors)
{
    const EdidInfo sink = sink_of("41 10", "",
                                  "00 00 00 00 00 12 34 56 00 00 00 00 00 00 00 00 00 00 "
                                  "00 00 00 FC 00 54 56 0A 20 20 20 20 20 20 20 20 20 20 "
                                  "00 00 00 FD 00 18 4B 0F 5A 1E 00 0A 20 20 20 20 20 20 "
                                  "00 00 00 FF 00 31 32 0A 20 20 20 20 20 20 20 20 20 20");
    const SinkItems items = classify_sink(sink, device_with().audio);
    EXPECT_EQ(items.timing_count, 0u);
    EXPECT_EQ(items.range_limits, 2);
    EXPECT_EQ(build(sink).lines, (Lines{"monitor name descriptor: replaced by the device's",
                                        "serial number descriptor: no base block slot left"}));
}

// ---- 2. The device's link limits ---------------------------------------------

// A link carries a format up to its clock (a 4:2:0-only one at half),
// a standard timing up to the highest clock its size and rate allow
// (1920x1080@60: 191.6 MHz).
TEST(DeviceRules, WhatTheLinkCarries)
{
    const std::string ABOVE = ": above the device's link limits";
    const struct {
        uint32_t tmds_mhz;
        const char *blocks;
        uint8_t standard[2], est_1280x1024_75;
        Lines lines;
    } rows[] = {
        {148, "41 10", {1, 1}, 0, {"VIC 16" + ABOVE}}, // 148.5 MHz
        {149, "41 10", {1, 1}, 0, {}},
        {300, "41 61", {1, 1}, 0, {"VIC 97" + ABOVE}}, // 594 MHz
        {297, "E2 0E 61", {1, 1}, 0, {}},              // 4:2:0 only
        {296, "E2 0E 61", {1, 1}, 0, {"VIC 97" + ABOVE}},
        {191, "", {0xD1, 0xC0}, 0, {"standard timing 1920x1080@60" + ABOVE}},
        {192, "", {0xD1, 0xC0}, 0, {}},
        {134, "", {1, 1}, 1, {"established timing 1280x1024@75" + ABOVE}},
        {135, "", {1, 1}, 1, {}},
        {296, "6B 03 0C 00 10 00 80 44 20 00 20 01", {1, 1}, 0, {"HDMI VIC 1" + ABOVE}}, // 2160p30
    };
    for (const auto &r : rows) {
        EdidInfo sink = sink_of(r.blocks);
        edid_decode_standard_timing(r.standard, &sink.standard_timings[0]);
        sink.est_1280x1024_75 = r.est_1280x1024_75;
        const LinkLimits &link = Stages(sink, device_with(r.tmds_mhz)).link;
        EXPECT_EQ(link.link_khz, r.tmds_mhz * 1000);
        const bool all = link.kept[0] & link.standard_timings & link.hdmi_vics & 1 &&
                         link.established_timings >> 15 & 1;
        EXPECT_EQ(all, r.lines.empty()) << r.blocks << " at " << r.tmds_mhz;
        EXPECT_EQ(build(sink, device_with(r.tmds_mhz)).lines, r.lines) << r.blocks;
    }
    // Detailed timings by their clock (2160p60, 594 MHz).
    const EdidInfo sink = sink_of("", "", P2160);
    EXPECT_FALSE(Stages(sink, device_with(593)).link.timings & 1);
    EXPECT_EQ(build(sink, device_with(593)).lines,
              Lines{"base block detailed timing 3840x2160" + ABOVE});
}

// The link: the lower of the device's TMDS clock and the sink's HDMI
// block's, raised to what the first HDMI Forum block carries under the
// device's TMDS character rate and FRL rate, capped in its turn.
TEST(DeviceRules, TheCappedLink)
{
    const std::string HDMI_340 = "67 03 0C 00 10 00 80 44 |", F600_FRL6 = "67 D8 5D C4 01 78 00 63";
    const uint32_t NO = DEVICE_NO_LIMIT;
    const struct {
        uint32_t tmds, character, frl;
        std::string blocks;
        uint32_t link_khz;
        std::string forum; // as written
    } rows[] = {
        {300, NO, NO, "", 300000, ""},
        {600, NO, NO, "67 03 0C 00 10 00 80 3C", 300000, ""},
        {600, 600, NO, HDMI_340 + F600_FRL6, 1777777, F600_FRL6}, // what FRL 6 carries
        {NO, 400, NO, HDMI_340 + F600_FRL6, 400000, "67 D8 5D C4 01 50 00 13"}, // FRL 1 at 300
        {NO, NO, 3, HDMI_340 + F600_FRL6, 888888, "67 D8 5D C4 01 78 00 33"},
        {NO, NO, 3, HDMI_340 + "6D D8 5D C4 01 78 00 63 00 00 00 80 64 05", 888888,
         "6D D8 5D C4 01 78 00 33 00 00 00 80 34 05"}, // compressed video at FRL 3 too
        {NO, 340, NO, "E7 79 00 00 01 78 00 63", 0, "E7 79 00 00 01 00 00 03"}, // the sink's own
    };
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of("41 10 |" + r.blocks);
        const EdidDevice device = device_with(r.tmds, r.character, r.frl);
        EXPECT_EQ(Stages(sink, device).link.link_khz, r.link_khz) << r.blocks;
        EXPECT_TRUE(r.forum.empty() || build(sink, device).has(r.forum)) << r.blocks;
    }
}

// ---- 3. What the device adds, and where --------------------------------------

TEST(DeviceRules, WhereTheDeviceBlocksGo)
{
    // V video, H the device's HDMI block, F and S the HDMI Forum blocks, C
    // video capability (the sink's or the device's), X colorimetry, A the
    // device's audio side (speakers, audio).
    const std::string V = "41 10", V2 = "41 04", H = "65 03 0C 00 10 00", C = "E2 00 C0",
                      X = "E3 05 C0 00", F = "67 D8 5D C4 01 00 00 33", S = "E4 79 00 00 01";
    const struct {
        std::string sink;
        const char *order;
    } rows[] = {
        {V + "|" + H + "|" + C, "VHAAC"},              // in the sink's HDMI block's place
        {C + "|" + V + "|" + X + "|" + V2, "CVXVHAA"}, // after the last video block
        {X + "|" + C, "HAAXC"},                        // first: no video block
        // The HDMI Forum blocks in the sink's order; with no limit set
        // their rates stand, even FRL 3 without a TMDS character rate for it.
        {V + "|" + S + "|" + H + "|" + F, "VCHSFAA"},
    };
    const std::vector<std::pair<char, std::string>> names = {
        {'V', V}, {'V', V2}, {'C', C}, {'C', "E2 00 CF"}, {'X', X}, {'F', F}, {'S', S}};
    for (const auto &r : rows) {
        std::string order;
        for (const std::string &b : build(sink_of(r.sink)).blocks) {
            char name = b.compare(3, 8, "03 0C 00") == 0 ? 'H' : 'A';
            for (const auto &[n, block] : names) name = b == block ? n : name;
            order += name;
        }
        EXPECT_EQ(order, r.order) << r.sink;
    }
    // 8-channel audio: the speaker allocation the rules add, then the THX block.
    EdidDevice device = device_with();
    device.thx = 1;
    device.audio.size = 0;
    ASSERT_EQ(edid_device_audio_add_block(&device.audio, hex("23 0F 07 07").data(), 4), 0);
    const Built b = build(sink_of(V + "|" + C), device);
    EXPECT_EQ(Lines(b.blocks.begin() + 2, b.blocks.begin() + 5),
              (Lines{"23 0F 07 07", "83 4F 00 00", "6A FA 12 00 00 01 54 48 58 10 03"}));
}

// The input's address one level below the sink's (0xABCD for A.B.C.D).
TEST(DeviceRules, PhysicalAddressOfTheInput)
{
    const struct {
        const char *hdmi; // the sink's HDMI blocks
        uint16_t sink;
        uint32_t port;
        uint16_t input;
    } rows[] = {
        {"", 0x0000, 5, 0x5000},
        {"65 03 0C 00 12 00", 0x1200, 0x15, 0x1250}, // the port's low 4 bits
        {"65 03 0C 00 12 30", 0x1230, 5, 0x1235},
        {"65 03 0C 00 12 34", 0x1234, 5, 0xFFFF},                     // no room one level down
        {"65 03 0C 00 12 04", 0x1204, 5, 0x1250},                     // C set, D cleared
        {"65 03 0C 00 03 04", 0x0304, 5, 0x5004},                     // A set, B cleared
        {"65 03 0C 00 12 34", 0x1234, 0, 0x1234},                     // port 0 passes it on
        {"65 03 0C 00 10 00 | 65 03 0C 00 20 00", 0x2000, 5, 0x2500}, // the last counts
        {"64 03 0C 00 12", 0x1200, 5, 0x1250},                        // size 1: C.D = 0.0
    };
    const EdidDevice device = device_with();
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(std::string("64 FA 12 00 40 |") + r.hdmi); // another OUI
        EXPECT_EQ(edid_sink_physical_address(&sink), r.sink) << r.hdmi;
        EXPECT_EQ(edid_physical_address_below(r.sink, r.port), r.input) << r.hdmi;
        EdidInfo out;
        ASSERT_EQ(edid_device_build(&device, &sink, r.port, &out, nullptr), EDID_DEVICE_OK);
        const uint8_t *hdmi = out.cea.data_blocks[1].body.vendor.payload; // after the capability
        EXPECT_EQ(hdmi[0] << 8 | hdmi[1], r.input) << r.hdmi;
    }
}

// The HDMI block: the sink's fields, its latencies only with the device's.
TEST(DeviceRules, HdmiBlockFields)
{
    const struct {
        const char *sink; // payload after the OUI
        int video_ms, audio_ms;
        const char *device;
        bool latency_left_out;
    } rows[] = {
        {"10 00", -1, -1, "11 00 80", false},
        {"10 00 FF", -1, -1, "11 00 F8", false}, // deep colour flags only
        {"10 00 B8 3C 8F 0B 0B", -1, -1, "11 00 B8 3C 0F", true},
        {"10 00 B8 3C 80 0B 0B", 30, 40, "11 00 B8 3C 80 1A 15", false}, // 20 + 30 ms, 40 ms
        {"10 00 B8 3C C0 0B 0B 0C 0C", 30, 40, "11 00 B8 3C C0 1A 15 1B 15", false},
        {"10 00 B8 3C 80 00 0B", 30, 40, "11 00 B8 3C 00", true}, // the sink's not known
        {"10 00 B8 3C 80 0B", 30, 40, "11 00 B8 3C 00", false},   // the pair cut short
        {"10 00 B8 3C A0 0B 0B E0 81 01 02 03 04 05", 30, -1, "11 00 B8 3C 20 E0 81 01 02 03 04 05",
         true},
    };
    for (const auto &r : rows) {
        EdidDevice device = device_with();
        device.video_latency_ms = r.video_ms;
        device.audio_latency_ms = r.audio_ms;
        const EdidInfo sink = sink_of("41 10 | E2 00 C0 |" +
                                      hex_of(Bytes{uint8_t(0x63 + hex(r.sink).size())}.data(), 1) +
                                      " 03 0C 00 " + r.sink);
        EXPECT_EQ(Stages(sink, device).part.hdmi.latency_left_out, r.latency_left_out) << r.sink;
        const Built b = build(sink, device);
        EXPECT_EQ(b.blocks[2].substr(12), r.device) << r.sink;
        EXPECT_EQ(b.lines.size(), r.latency_left_out ? 1u : 0u) << r.sink;
    }
}

// ---- 4. What fits --------------------------------------------------------------

// An audio side of `bytes` bytes of vendor-specific audio blocks.
EdidDevice device_with_audio(uint32_t bytes)
{
    EdidDevice d = device_with();
    d.audio.size = 0;
    for (uint32_t n; bytes > 0; bytes -= n) {
        n = bytes >= 34 ? 32 : bytes > 32 ? bytes - 2 : bytes;
        Bytes block = {uint8_t(0xE0 | (n - 1)), CEA_EXT_VENDOR_AUDIO};
        block.resize(n);
        EXPECT_EQ(edid_device_audio_add_block(&d.audio, block.data(), n), EDID_DEVICE_OK);
    }
    return d;
}

// 123 bytes: CEA timings that repeat a listed timing (the last first), the
// other CEA timings (the last first), then the least valuable block (the
// later of a kind first).
TEST(DeviceRules, WhatGivesWayForSpace)
{
    // 51 bytes of blocks, the device's HDMI block (7) and 54 of CEA timings.
    const EdidInfo sink = sink_of("42 05 10 | E2 00 C0 | E2 20 00 | E2 22 00 | F3 01 46 D0 00" +
                                      cea_test::repeat(" 00", 15) + "| EA 2A" +
                                      cea_test::repeat(" 00", 9) + "| E3 05 C0 00 | E3 06 05 01",
                                  I1080 + P720 + P1080, P1080 + P1360);
    const Lines order = {"CEA detailed timing 1920x1080: repeats a base block detailed timing",
                         "CEA detailed timing 1920x1080i: repeats VIC 5",
                         "CEA detailed timing 1280x720: no space left in the CEA block",
                         "InfoFrame data block #3: no space left in the CEA block",
                         "DisplayID type X timing data block #6: no space left in the CEA block"};
    const struct {
        uint32_t audio_bytes;
        size_t left_out; // the first of the order above
    } rows[] = {{11, 0}, {12, 1}, {30, 2}, {48, 3}, {66, 4}, {69, 5}, {77, 5}};
    for (const auto &r : rows) {
        const EdidDevice device = device_with_audio(r.audio_bytes);
        const Fit &fit = Stages(sink, device).fit;
        EXPECT_EQ(fit.timing_count + fit.space_count, r.left_out) << r.audio_bytes;
        EXPECT_EQ(build(sink, device).lines, Lines(order.begin(), order.begin() + r.left_out))
            << r.audio_bytes;
    }
}

// 61 data blocks: the least valuable of the sink's make room for the
// device's four (video capability, HDMI, speakers, audio).
TEST(DeviceRules, WhatGivesWayForSlots)
{
    const EdidInfo sink =
        sink_of("E1 20" + cea_test::repeat(" 41 10", 30) + cea_test::repeat(" E1 22", 30));
    const Stages s(sink, device_with());
    ASSERT_EQ(s.fit.slot_count, 4u);
    EXPECT_EQ(std::vector<int>(s.fit.order, s.fit.order + 4), (std::vector<int>{0, 60, 59, 58}));
    const Built b = build(sink);
    EXPECT_EQ(Lines(b.lines.begin(), b.lines.begin() + 2),
              (Lines{"InfoFrame data block #1: no space left in the CEA block",
                     "DisplayID type VII timing data block #61: no space left in the CEA block"}));
}

// ---- 5. Renumbering, the merged HDMI block -----------------------------------------

// The 4:2:0 capability map marks short video descriptors by position over
// all video blocks, its bits follow the ones that remain; a video format
// preference names detailed timings by number (129: the first), its names
// follow the timings that remain.  Either goes when it names nothing left.
TEST(DeviceRules, Renumbering)
{
    const struct {
        const char *blocks; // VICs 97 and 96 (594 MHz), 16 and 4
        uint32_t tmds_mhz;
        uint32_t at;         // the block renumbered
        const char *written; // or "" when left out
    } rows[] = {
        {"44 61 10 60 04 | E2 0F 0A", 300, 1, "E2 0F 03"}, // 16 and 4 move up
        {"42 61 10 | 42 60 04 | E2 0F 0A", 300, 2, "E2 0F 03"},
        {"44 61 10 60 04 | E2 0F 05", 300, 1, ""},   // marks only formats left out
        {"44 61 10 60 04 | E1 0F", 300, 1, "E1 0F"}, // marks all
        {"44 61 10 60 04 | E2 0F FA", DEVICE_NO_LIMIT, 1, "E2 0F FA"}, // nothing moved
        // Detailed timings 1080p60, 1360x768, 1080i60, 720p60.
        {"41 04 | E4 0D 82 84 61", DEVICE_NO_LIMIT, 1, "E4 0D 82 84 61"},
        {"41 04 | E4 0D 82 84 61", 100, 1, "E3 0D 81 83"}, // 1080p60 and VIC 97 above the link
        {"41 04 | E3 0D 81 61", 100, 1, ""},
    };
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(r.blocks, I1080 + P720, P1080 + P1360);
        const EdidDevice device = device_with(r.tmds_mhz);
        const Stages s(sink, device);
        const CeaRawBlock &raw = sink.cea.data_blocks[r.at].body.raw;
        const CeaRawBlock ren = raw.bytes[0] == CEA_EXT_YCBCR420_CAPABILITY_MAP
                                    ? renumbered_map(raw, s.r)
                                    : renumbered_preference(raw, s.items, s.fit, s.link.kept[r.at]);
        Bytes written = {uint8_t(CEA_TAG_EXTENDED << 5 | ren.size)};
        written.insert(written.end(), ren.bytes, ren.bytes + ren.size);
        EXPECT_EQ(s.r.left_out >> r.at & 1, !*r.written) << r.blocks;
        EXPECT_TRUE(!*r.written || hex_of(written.data(), written.size()) == r.written) << r.blocks;
        const Built b = build(sink, device);
        EXPECT_TRUE(*r.written ? b.has(r.written)
                               : b.lines.back().find(" #" + std::to_string(r.at + 1) +
                                                     ": numbers video codes") != std::string::npos)
            << r.blocks;
    }
    // The HDMI block's 3D fields number short video descriptors too.
    const EdidInfo sink = sink_of("42 10 61 | 6C 03 0C 00 10 00 80 44 20 80 02 00 01");
    EXPECT_TRUE(build(sink).has("6C 03 0C 00 11 00 80 44 20 80 02 00 01"));
    const Built b = build(sink, device_with(300));
    EXPECT_TRUE(b.has("6A 03 0C 00 11 00 80 3C 20 00 00")); // and TMDS 300 MHz
    EXPECT_EQ(b.lines.back(),
              "3D fields of the HDMI block: numbers video codes that were left out");
}

// The native count follows the sink's native timings that still lead the
// list; below a capped link a native interlaced format needs a native
// progressive one beside it.
TEST(DeviceRules, NativeFormats)
{
    const struct {
        uint8_t native;
        std::string video, slots, cea_timings;
        uint32_t tmds_mhz, native_count;
        const char *written_video;
    } rows[] = {
        {2, "41 10", P2160 + P1080, P720, 300, 1, "41 10"},
        {1, "41 10", P2160 + P1080, "", 300, 0, "41 10"},
        {0, "42 90 85", "", "", 100, 0, "41 05"}, // 1080p60 above the link
        {0, "42 90 85", "", "", 150, 0, "42 90 85"},
        {1, "41 85", P720, "", 100, 1, "41 85"}, // a native 720p60 timing
    };
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(r.video, r.cea_timings, r.slots, r.native);
        EXPECT_EQ(Stages(sink, device_with(r.tmds_mhz)).r.native_modes, r.native_count);
        const Built b = build(sink, device_with(r.tmds_mhz));
        EXPECT_EQ(b.out.cea.native_modes, r.native_count) << r.video;
        EXPECT_EQ(b.blocks[0], r.written_video) << r.video;
    }
}

// ---- 6. Descriptors and range limits ---------------------------------------------

// With no detailed timing of the sink left: 1920x1080p60, then
// 1280x720p60 when listed and carried, then 640x480p60.
TEST(DeviceRules, PreferredTimingFallback)
{
    const uint32_t NO = DEVICE_NO_LIMIT;
    const struct {
        const char *video;
        uint32_t tmds_mhz, vic, pixel_clock;
    } rows[] = {{"42 10 04", NO, 16, 14850}, {"42 04 10", NO, 16, 14850}, {"41 04", NO, 4, 7425},
                {"41 05", NO, 1, 2518},      {"42 10 04", 100, 4, 7425},  {"41 10", 100, 1, 2518}};
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(r.video);
        EXPECT_EQ(preferred_fallback(sink.cea, r.tmds_mhz == NO ? 0 : r.tmds_mhz * 1000), r.vic);
        const EdidDescriptor &slot = build(sink, device_with(r.tmds_mhz)).out.descriptors[0];
        EXPECT_EQ(slot.body.timing.pixel_clock, r.pixel_clock) << r.video;
    }
}

// Range limits hold every timing listed, a 4:2:0 format at half its line
// rate too (1080p24: 27 kHz), and the sink's own; the link caps the clock.
TEST(DeviceRules, RangeLimits)
{
    const std::string WIDE = "00 00 00 FD 00 18 4B 0F 5A 1E 00 0A 20 20 20 20 20 20 ",
                      NARROW = "00 00 00 FD 00 3A 3E 1E 28 08 00 0A 20 20 20 20 20 20 ";
    const uint32_t NO = DEVICE_NO_LIMIT;
    const struct {
        const char *blocks;
        std::string slots;
        uint32_t tmds_mhz;
        std::vector<uint32_t> limits; // Hz, Hz, kHz, kHz, MHz
    } rows[] = {
        {"41 20", "", NO, {24, 60, 27, 32, 80}},
        {"E2 0E 20", "", NO, {24, 60, 13, 32, 80}},
        {"41 20 | E1 0F", "", NO, {24, 60, 13, 32, 80}},
        {"42 10 20 | E2 0F 01", "", NO, {24, 61, 27, 68, 150}},
        {"41 10", WIDE, NO, {24, 75, 15, 90, 300}},
        {"41 10", NARROW, NO, {58, 62, 30, 68, 150}},
        {"41 10", WIDE, 160, {24, 75, 15, 90, 160}},
    };
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(r.blocks, "", r.slots);
        const EdidRangeLimits *own =
            r.slots.empty() ? nullptr : &sink.descriptors[0].body.range_limits;
        for (const EdidRangeLimits &l :
             {range_limits(sink, own, r.tmds_mhz == NO ? 0 : r.tmds_mhz * 1000),
              build(sink, device_with(r.tmds_mhz)).out.descriptors[2].body.range_limits})
            EXPECT_EQ(std::vector<uint32_t>({l.min_v_hz, l.max_v_hz, l.min_h_khz, l.max_h_khz,
                                             l.max_pixel_clock_mhz}),
                      r.limits)
                << r.blocks;
    }
}

// ---- The builder's interface ----------------------------------------------------

TEST(DeviceBuild, ResultTexts)
{
    const int results[] = {
        EDID_DECODE_OK,          CEA_DECODE_NOT_CEA,          EDID_DECODE_BAD_CHECKSUM,
        EDID_DECODE_BAD_VERSION, EDID_DEVICE_AUDIO_TOO_LARGE, EDID_DEVICE_NOT_AUDIO,
        EDID_DEVICE_BAD_VENDOR,  EDID_DEVICE_BAD_FORMAT,      EDID_DEVICE_AUDIO_NO_BASIC,
        EDID_DEVICE_AUDIO_SHORT_BLOCK, EDID_DEVICE_AUDIO_REPEATED, EDID_DEVICE_AUDIO_UNPAIRED};
    Lines texts;
    for (int r : results) texts.push_back(edid_device_result_text(r));
    texts.push_back(edid_device_result_text(-99)); // unknown codes share one text
    EXPECT_EQ(texts.back(), edid_device_result_text(1));
    for (const std::string &t : texts) EXPECT_EQ(std::count(texts.begin(), texts.end(), t), 1) << t;
    EXPECT_EQ(texts[2], "bad base block checksum");
}

// The extensions the device's EDID does not carry: those that byte 126
// announces, not blocks after them.
TEST(DeviceBuild, LeftOutExtensions)
{
    Bytes msi = read_dump("real/monitor-msi-meg342c-cea-then-displayid.bin"); // CEA, DisplayID
    for (uint8_t announced : {2, 1}) {
        msi[126] = announced;
        fix_checksum(msi.data());
        EdidLeftOut left = {};
        edid_left_out_extensions(msi.data(), msi.size(), &left);
        ASSERT_EQ(left.count, announced - 1u);
        EdidInfo sink;
        char line[EDID_LEFT_OUT_LINE];
        const uint32_t length =
            left.count ? edid_left_out_line(&sink, &left.items[0], line, 9) : 74;
        EXPECT_EQ(length, 74u); // the whole line's, cut to the room given
        if (left.count) edid_left_out_line(&sink, &left.items[0], line, sizeof line);
        EXPECT_TRUE(!left.count || strcmp(line, "left out extension block 2 (tag 0x70): the "
                                                "device's EDID has one extension") == 0);
    }
}

} // namespace
