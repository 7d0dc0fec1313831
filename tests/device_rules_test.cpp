// SPDX-License-Identifier: MIT
// The rules of edid_device_build's video-keeping repeater, one table of
// small synthetic sinks per rule of <edid/device_edid.h>, each case fed to
// the rule's stage (device/stages.h) and to edid_device_build: the cases
// where a wrong comparison, a missing 4:2:0 halving, a wrong fallback
// order or a stale renumbering changes the bytes.  Real sinks are judged
// whole by keep_video_check.py (device.cmake).
#include <set>

#include "device_util.h"

namespace {

using namespace device_test;

// ---- 1. What the sink offers -------------------------------------------------

TEST(DeviceRules, WhatEachSinkBlockIs)
{
    const std::string REPLACED = "replaced by the device's",
                      AUDIO = "describes audio, which the device renders",
                      UNKNOWN = "not known to hold true below the device";
    const struct {
        const char *block;
        Role role;
        std::string why; // of a block left out
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
    const Built b = build(&sink, device);
    ASSERT_EQ(items.block_count, std::size(rows));
    for (uint32_t i = 0; i < std::size(rows); ++i) {
        const auto &r = rows[i];
        EXPECT_EQ(items.blocks[i].role, r.role) << r.block;
        EXPECT_TRUE(r.why.empty() ? r.role == ROLE_HDMI || b.has(r.block)
                                  : b.says(" #" + std::to_string(i + 1) + ": " + r.why))
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
    EXPECT_EQ(build(&sink).lines, (Lines{"monitor name descriptor: replaced by the device's",
                                         "serial number descriptor: no base block slot left"}));
}

// ---- 2. The device's link limits ---------------------------------------------

// A link carries a format up to its clock (a 4:2:0-only one at half),
// a standard timing up to the highest clock its size and rate allow
// (1920x1080@60: 191.6 MHz), a detailed timing up to its own.
TEST(DeviceRules, WhatTheLinkCarries)
{
    const std::string ABOVE = ": above the device's link limits";
    const struct {
        uint32_t tmds_mhz;
        const char *blocks;
        std::string slots;
        uint8_t standard[2], est_1280x1024_75;
        Lines lines;
    } rows[] = {
        {148, "41 10", "", {1, 1}, 0, {"VIC 16" + ABOVE}}, // 148.5 MHz
        {149, "41 10", "", {1, 1}, 0, {}},
        {300, "41 61", "", {1, 1}, 0, {"VIC 97" + ABOVE}}, // 594 MHz
        {297, "E2 0E 61", "", {1, 1}, 0, {}},              // 4:2:0 only
        {296, "E2 0E 61", "", {1, 1}, 0, {"VIC 97" + ABOVE}},
        {191, "", "", {0xD1, 0xC0}, 0, {"standard timing 1920x1080@60" + ABOVE}},
        {192, "", "", {0xD1, 0xC0}, 0, {}},
        {134, "", "", {1, 1}, 1, {"established timing 1280x1024@75" + ABOVE}},
        {135, "", "", {1, 1}, 1, {}},
        {296, "6B 03 0C 00 10 00 80 44 20 00 20 01", "", {1, 1}, 0, {"HDMI VIC 1" + ABOVE}},
        {593, "", P2160, {1, 1}, 0, {"base block detailed timing 3840x2160" + ABOVE}},
        {594, "", P2160, {1, 1}, 0, {}},
    };
    for (const auto &r : rows) {
        EdidInfo sink = sink_of(r.blocks, "", r.slots);
        edid_decode_standard_timing(r.standard, &sink.standard_timings[0]);
        sink.est_1280x1024_75 = r.est_1280x1024_75;
        const LinkLimits &link = Stages(sink, device_with(r.tmds_mhz)).link;
        EXPECT_EQ(link.link_khz, r.tmds_mhz * 1000);
        const bool all = link.kept[0] & link.standard_timings & link.hdmi_vics & link.timings & 1 &&
                         link.established_timings >> 15 & 1;
        EXPECT_EQ(all, r.lines.empty()) << r.blocks << " at " << r.tmds_mhz;
        EXPECT_EQ(build(&sink, device_with(r.tmds_mhz)).lines, r.lines) << r.blocks;
    }
}

// The link: the lower of the device's TMDS clock and the sink's HDMI
// block's, raised to what the first HDMI Forum block carries under the
// device's TMDS character rate and FRL rate, capped in its turn.
TEST(DeviceRules, TheCappedLink)
{
    const std::string HDMI_340 = "67 03 0C 00 10 00 80 44 |", F600_FRL6 = "67 D8 5D C4 01 78 00 63";
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
        EXPECT_TRUE(r.forum.empty() || build(&sink, device).has(r.forum)) << r.blocks;
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
    const std::pair<char, std::string> names[] = {{'V', V}, {'V', V2}, {'C', C}, {'C', "E2 00 CF"},
                                                  {'X', X}, {'F', F},  {'S', S}};
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(r.sink);
        std::string order;
        for (const std::string &b : build(&sink).blocks) {
            char name = b.compare(3, 8, "03 0C 00") == 0 ? 'H' : 'A';
            for (const auto &[n, block] : names) name = b == block ? n : name;
            order += name;
        }
        EXPECT_EQ(order, r.order) << r.sink;
    }
    // 8-channel audio: the speaker allocation the rules add, then the THX block.
    EdidDevice device = device_with();
    device.thx = 1;
    device.audio = {4, {0x23, 0x0F, 0x07, 0x07}};
    const EdidInfo sink = sink_of(V + "|" + C);
    const Built b = build(&sink, device);
    EXPECT_EQ(Lines(b.blocks.begin() + 2, b.blocks.end()),
              (Lines{"23 0F 07 07", "83 4F 00 00", "6A FA 12 00 00 01 54 48 58 10 03", C}));
}

// The input's address one level below the sink's (data/device_rows.txt).
TEST(DeviceRules, PhysicalAddressOfTheInput)
{
    const EdidDevice device = device_with();
    for (const auto &row : table("device_rows.txt", "physical_address")) {
        const std::string &hdmi = row.at(0);
        const uint16_t sink_address = uint16_t(std::stoul(row.at(1), nullptr, 16));
        const uint32_t port = uint32_t(std::stoul(row.at(2), nullptr, 0));
        const uint16_t input = uint16_t(std::stoul(row.at(3), nullptr, 16));
        const EdidInfo sink = sink_of("64 FA 12 00 40 |" + hdmi); // another OUI
        EXPECT_EQ(edid_sink_physical_address(&sink), sink_address) << hdmi;
        EXPECT_EQ(edid_physical_address_below(sink_address, port), input) << hdmi;
        EdidInfo out;
        ASSERT_EQ(edid_device_build(&device, &sink, port, &out, nullptr), EDID_DEVICE_OK);
        const uint8_t *block = out.cea.data_blocks[1].body.vendor.payload; // after the capability
        EXPECT_EQ(block[0] << 8 | block[1], input) << hdmi;
    }
}

// The HDMI block: the sink's fields, its latencies only with the device's
// (data/device_rows.txt).
TEST(DeviceRules, HdmiBlockFields)
{
    for (const auto &row : table("device_rows.txt", "hdmi_block")) {
        const std::string &hdmi = row.at(0);
        const bool latency_left_out = row.at(4) == "yes";
        EdidDevice device = device_with();
        device.video_latency_ms = std::stoi(row.at(2));
        device.audio_latency_ms = std::stoi(row.at(3));
        const EdidInfo sink = sink_of("41 10 | E2 00 C0 |" + hdmi);
        EXPECT_EQ(Stages(sink, device).part.hdmi.latency_left_out, latency_left_out) << hdmi;
        const Built b = build(&sink, device);
        EXPECT_EQ(b.blocks[2].substr(12), row.at(1)) << hdmi;
        EXPECT_EQ(b.lines.size(), latency_left_out ? 1u : 0u) << hdmi;
    }
}

// ---- 4. What fits --------------------------------------------------------------

// 123 bytes: CEA timings that repeat a listed timing (the last first), the
// other CEA timings (the last first), then the least valuable block (the
// later of a kind first).  The audio side: `bytes` bytes of vendor-specific
// audio blocks.
TEST(DeviceRules, WhatGivesWayForSpace)
{
    // 51 bytes of blocks, the device's HDMI block (7) and 54 of CEA timings.
    const EdidInfo sink =
        sink_of("42 05 10 | E2 00 C0 | E2 20 00 | E2 22 00 | F3 01 46 D0 00" + repeat(" 00", 15) +
                    "| EA 2A" + repeat(" 00", 9) + "| E3 05 C0 00 | E3 06 05 01",
                I1080 + P720 + P1080, P1080 + P1360);
    const Lines order = {"CEA detailed timing 1920x1080: repeats a base block detailed timing",
                         "CEA detailed timing 1920x1080i: repeats VIC 5",
                         "CEA detailed timing 1280x720: no space left in the CEA block",
                         "InfoFrame data block #3: no space left in the CEA block",
                         "DisplayID type X timing data block #6: no space left in the CEA block"};
    const struct {
        uint32_t bytes;
        size_t left_out; // the first of the order above
    } rows[] = {{11, 0}, {12, 1}, {30, 2}, {48, 3}, {66, 4}, {69, 5}, {77, 5}};
    for (const auto &r : rows) {
        EdidDevice device = device_with();
        device.audio.size = 0;
        for (uint32_t n, bytes = r.bytes; bytes > 0; bytes -= n) {
            n = bytes >= 34 ? 32 : bytes > 32 ? bytes - 2 : bytes;
            Bytes block = {uint8_t(0xE0 | (n - 1)), CEA_EXT_VENDOR_AUDIO};
            block.resize(n);
            ASSERT_EQ(edid_device_audio_add_block(&device.audio, block.data(), n), 0) << r.bytes;
        }
        const Fit &fit = Stages(sink, device).fit;
        EXPECT_EQ(fit.timing_count + fit.space_count, r.left_out) << r.bytes;
        EXPECT_EQ(build(&sink, device).lines, Lines(order.begin(), order.begin() + r.left_out))
            << r.bytes;
    }
}

// 61 data blocks: the least valuable of the sink's make room for the
// device's four (video capability, HDMI, speakers, audio).
TEST(DeviceRules, WhatGivesWayForSlots)
{
    const EdidInfo sink = sink_of("E1 20" + repeat(" 41 10", 30) + repeat(" E1 22", 30));
    const Stages s(sink, device_with());
    ASSERT_EQ(s.fit.slot_count, 4u);
    EXPECT_EQ(std::vector<int>(s.fit.order, s.fit.order + 4), (std::vector<int>{0, 60, 59, 58}));
    const Built b = build(&sink);
    EXPECT_EQ(Lines(b.lines.begin(), b.lines.begin() + 2),
              (Lines{"InfoFrame data block #1: no space left in the CEA block",
                     "DisplayID type VII timing data block #61: no space left in the CEA block"}));
}

// The order of kinds, least valuable first, the later of a kind first:
// vendor blocks (FreeSync) and InfoFrame, other video (DisplayID),
// vendor-specific video (HDR10+), format preference, colorimetry, HDR
// static metadata, 4:2:0, the HDMI Forum blocks, video capability, video.
TEST(DeviceRules, LeastValuableFirst)
{
    const EdidInfo sink = sink_of("41 10 | E2 00 C0 | E2 0E 10 | E3 06 05 01 | E3 05 C0 00 |"
                                  "E2 0D 01 | E5 01 8B 84 90 01 | E1 22 | E1 20 | 63 1A 00 00 |"
                                  "67 D8 5D C4 01 00 00 03");
    Stages s(sink, device_with());
    s.part.bytes = CEA_SPACE; // the device's blocks leave no room
    const Fit fit = fit_cea_block(sink, s.items, s.link, s.part);
    EXPECT_EQ(std::vector<int>(fit.order, fit.order + fit.space_count),
              (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 10, 1, 0}));
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
        std::string written; // or "" when left out
    } rows[] = {
        {"44 61 10 60 04 | E2 0F 0A", 300, 1, "E2 0F 03"}, // 16 and 4 move up
        {"42 61 10 | 42 60 04 | E2 0F 0A", 300, 2, "E2 0F 03"},
        {"44 61 10 60 04 | E2 0F 05", 300, 1, ""},        // marks only formats left out
        {"44 61 10 60 04 | E1 0F", 300, 1, "E1 0F"},      // marks all
        {"44 61 10 60 04 | E2 0F FA", NO, 1, "E2 0F FA"}, // nothing moved
        // Detailed timings 1080p60, 1360x768, 1080i60, 720p60.
        {"41 04 | E4 0D 82 84 61", NO, 1, "E4 0D 82 84 61"},
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
        EXPECT_EQ(s.r.left_out >> r.at & 1, r.written.empty()) << r.blocks;
        EXPECT_TRUE(r.written.empty() || hex_of(ren.bytes, ren.size) == r.written.substr(3));
        const Built b = build(&sink, device);
        EXPECT_TRUE(r.written.empty() ? b.says(" #" + std::to_string(r.at + 1) + ": numbers video")
                                      : b.has(r.written))
            << r.blocks;
    }
    // The HDMI block's 3D fields number short video descriptors too.
    const EdidInfo sink = sink_of("42 10 61 | 6C 03 0C 00 10 00 80 44 20 80 02 00 01");
    EXPECT_TRUE(build(&sink).has("6C 03 0C 00 11 00 80 44 20 80 02 00 01"));
    const Built b = build(&sink, device_with(300));
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
        const Built b = build(&sink, device_with(r.tmds_mhz));
        EXPECT_EQ(b.out.cea.native_modes, r.native_count) << r.video;
        EXPECT_EQ(b.blocks[0], r.written_video) << r.video;
    }
}

// ---- 6. Descriptors and range limits ---------------------------------------------

// With no detailed timing of the sink left: 1920x1080p60, then
// 1280x720p60 when listed and carried, then 640x480p60.
TEST(DeviceRules, PreferredTimingFallback)
{
    const struct {
        const char *video;
        uint32_t tmds_mhz, vic, pixel_clock;
    } rows[] = {{"42 10 04", NO, 16, 14850}, {"42 04 10", NO, 16, 14850}, {"41 04", NO, 4, 7425},
                {"41 05", NO, 1, 2518},      {"42 10 04", 100, 4, 7425},  {"41 10", 100, 1, 2518}};
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(r.video);
        EXPECT_EQ(preferred_fallback(sink.cea, r.tmds_mhz == NO ? 0 : r.tmds_mhz * 1000), r.vic);
        const EdidDescriptor &slot = build(&sink, device_with(r.tmds_mhz)).out.descriptors[0];
        EXPECT_EQ(slot.body.timing.pixel_clock, r.pixel_clock) << r.video;
    }
}

// Range limits hold every timing listed, a 4:2:0 format at half its line
// rate too (1080p24: 27 kHz), and the sink's own; the link caps the clock.
TEST(DeviceRules, RangeLimits)
{
    const std::string WIDE = "00 00 00 FD 00 18 4B 0F 5A 1E 00 0A 20 20 20 20 20 20 ",
                      NARROW = "00 00 00 FD 00 3A 3E 1E 28 08 00 0A 20 20 20 20 20 20 ";
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
        {"41 20", NARROW, NO, {24, 62, 27, 40, 80}},
        {"41 10", WIDE, 160, {24, 75, 15, 90, 160}},
    };
    for (const auto &r : rows) {
        const EdidInfo sink = sink_of(r.blocks, "", r.slots);
        const EdidRangeLimits *own =
            r.slots.empty() ? nullptr : &sink.descriptors[0].body.range_limits;
        for (const EdidRangeLimits &l :
             {range_limits(sink, own, r.tmds_mhz == NO ? 0 : r.tmds_mhz * 1000),
              build(&sink, device_with(r.tmds_mhz)).out.descriptors[2].body.range_limits})
            EXPECT_EQ(std::vector<uint32_t>({l.min_v_hz, l.max_v_hz, l.min_h_khz, l.max_h_khz,
                                             l.max_pixel_clock_mhz}),
                      r.limits)
                << r.blocks;
    }
}

// ---- The builder's interface ----------------------------------------------------

// One text for each result (0 to -3, -10 to -17), one for all unknown codes.
TEST(DeviceBuild, ResultTexts)
{
    std::set<std::string> texts;
    for (int r = -20; r <= 3; ++r) texts.insert(edid_device_result_text(r));
    EXPECT_EQ(texts.size(), 4u + 8u + 1u);
    EXPECT_STREQ(edid_device_result_text(EDID_DECODE_BAD_CHECKSUM), "bad base block checksum");
}

// The extensions the device's EDID does not carry: those that byte 126
// announces, not a block after them (the MSI's: CEA, then DisplayID).
TEST(DeviceBuild, LeftOutExtensions)
{
    Bytes msi = read_dump("real/monitor-msi-meg342c-cea-then-displayid.bin");
    EdidLeftOut left;
    for (uint8_t announced : {1, 2}) {
        msi[126] = announced;
        fix_checksum(msi.data());
        left.count = 0;
        edid_left_out_extensions(msi.data(), msi.size(), &left);
        ASSERT_EQ(left.count, announced - 1u);
    }
    EdidInfo sink;
    char line[EDID_LEFT_OUT_LINE];
    EXPECT_EQ(edid_left_out_line(&sink, &left.items[0], line, 9), 74u); // the whole line's length
    edid_left_out_line(&sink, &left.items[0], line, sizeof line);
    EXPECT_STREQ(line,
                 "left out extension block 2 (tag 0x70): the device's EDID has one extension");
}

} // namespace
