// SPDX-License-Identifier: MIT
// The video-keeping builders: which sink blocks are kept or left out and
// why, the device's HDMI block, the space priority, the device's link
// limits, EDID 1.4 sinks.  Whole EDIDs of real sinks are judged end to end
// by keep_video_check.py (device.cmake).
#include <string.h>

#include <algorithm>

#include "cea_util.h"
#include "test_util.h"
#include "tools/dump_file.h"
#include <edid/device_edid.h>

namespace {

using namespace test_util;

// The LG OLED55B6V's EDID (tests/data/real), its CEA block's data blocks and
// detailed timings replaced by `blocks` and `timings` (hex; '|' may stand
// between blocks) when given, its range limits and name descriptors by the
// detailed timings `base` when given.
Bytes lg(const char *blocks = nullptr, const std::string &timings = "",
         const std::string &base = "")
{
    static DumpFile dump;
    EXPECT_EQ(dump_file_read(EDID_TEST_DATA_DIR "/real/tv-lg-oled55b6v.bin", &dump), DUMP_FILE_OK);
    Bytes edid(dump.bytes, dump.bytes + 2 * EDID_BLOCK_SIZE);
    Bytes slots = hex(base);
    memcpy(&edid[90], slots.data(), std::min<size_t>(slots.size(), 36));
    edid[127] = uint8_t(edid[127] - edid_checksum(edid.data()));
    if (blocks) {
        std::string text = blocks;
        for (char &c : text) c = c == '|' ? ' ' : c;
        Bytes b = hex(text), t = hex(timings);
        b.insert(b.end(), t.begin(), t.end());
        EXPECT_LE(b.size(), 123u);
        uint8_t *cea = &edid[EDID_BLOCK_SIZE];
        memset(cea + 4, 0, EDID_BLOCK_SIZE - 4);
        memcpy(cea + 4, b.data(), std::min<size_t>(b.size(), 123));
        cea[2] = uint8_t(4 + b.size() - t.size());
        cea[127] = uint8_t(cea[127] - edid_checksum(cea));
    }
    return edid;
}

struct Built {
    EdidInfo out;
    EdidLeftOut left;
    Bytes bytes;                             // base block and CEA block
    std::vector<std::string> blocks;         // the CEA block's data blocks, in hex
    std::vector<std::vector<int>> left_rows; // {what, why, index, code}
};

Built build(const Bytes &edid, uint32_t port = 3)
{
    EdidInfo sink;
    EXPECT_EQ(edid_decode_sink(edid.data(), edid.size(), &sink), EDID_DECODE_OK);
    static Built b;
    edid_build_repeater_video(&sink, &b.out, port, &b.left);
    b.bytes.assign(2 * EDID_BLOCK_SIZE, 0);
    edid_encode(&b.out, b.bytes.data());
    EXPECT_EQ(edid_checksum(&b.bytes[EDID_BLOCK_SIZE]), 0);
    b.blocks.clear();
    const uint8_t *cea = &b.bytes[EDID_BLOCK_SIZE];
    for (unsigned at = 4; at < cea[2]; at += 1 + (cea[at] & 0x1F))
        b.blocks.push_back(hex_of(cea + at, 1 + (cea[at] & 0x1F)));
    b.left_rows.clear();
    for (uint32_t i = 0; i < b.left.count; ++i)
        b.left_rows.push_back({b.left.items[i].what, b.left.items[i].why, b.left.items[i].index,
                               b.left.items[i].code});
    return b;
}

enum { BLOCK = EDID_LEFT_OUT_DATA_BLOCK, NAME_REPLACED = EDID_BECAUSE_REPLACED };
const std::vector<int> LG_NAME = {EDID_LEFT_OUT_DESCRIPTOR, EDID_BECAUSE_REPLACED, 3, 0};

TEST(VideoRepeater, KeepsVideoBlocksWholeAndNamesWhatItLeavesOut)
{
    Built b = build(lg(
        "41 10 | 23 09 07 07 | 83 01 00 00 | 6B 03 0C 00 12 00 B8 3C 20 00 20 01 |"
        "67 D8 5D C4 01 78 80 03 | E2 00 C0 | E3 05 C0 00 | E3 06 05 01 | E5 01 46 D0 00 AA |"
        "E4 11 46 D0 00 | E2 13 00 | E2 78 03 | E2 33 00 | 64 11 22 33 44 | 63 1A 00 00 | C1 AA |"
        "E2 0F 01 | 67 D8 5D C4 01 78 80 03 | A2 01 02"));
    const std::vector<std::string> kept = {
        "41 10",                               // video
        "6B 03 0C 00 12 30 B8 3C 20 00 20 01", // the device's HDMI block at 1.2.3.0, the sink's fields
        "67 D8 5D C4 01 78 80 03",             // HDMI Forum, right after it
        "83 2F 00 00",                         // the device's speakers and audio
        "2F 3D 07 B0 15 07 50 09 07 07 39 07 B0 11 07 50",
        "E2 00 C0",
        "E3 05 C0 00",
        "E3 06 05 01",
        "E5 01 46 D0 00 AA", // capability, colour, HDR, Dolby Vision
        "63 1A 00 00",
        "E2 0F 01",
        "A2 01 02", // FreeSync, 4:2:0 map, VESA transfer characteristic
    };
    EXPECT_EQ(b.blocks, kept);
    const std::vector<std::vector<int>> left = {
        {BLOCK, EDID_BECAUSE_REPLACED, 1, 0},       {BLOCK, EDID_BECAUSE_REPLACED, 2, 0},
        {BLOCK, EDID_BECAUSE_AUDIO, 9, 0},          {BLOCK, EDID_BECAUSE_AUDIO, 10, 0},
        {BLOCK, EDID_BECAUSE_ONE_EXTENSION, 11, 0}, {BLOCK, EDID_BECAUSE_UNKNOWN, 12, 0},
        {BLOCK, EDID_BECAUSE_UNKNOWN, 13, 0},       {BLOCK, EDID_BECAUSE_UNKNOWN, 15, 0},
        {BLOCK, EDID_BECAUSE_DUPLICATE, 17, 0},     LG_NAME,
    };
    EXPECT_EQ(b.left_rows, left);
}

TEST(VideoRepeater, HdmiBlockFields)
{
    // The sink's HDMI block payload after the OUI; the device's latencies;
    // the device's block for input 1 below it; whether latencies are left out.
    const struct {
        const char *sink;
        int video_ms, audio_ms;
        const char *device;
        bool latency_left_out;
    } cases[] = {
        {"10 00", -1, -1, "11 00 80", false},
        {"10 00 FF", -1, -1, "11 00 F8", false},       // deep colour flags only
        {"10 00 B8 3C", -1, -1, "11 00 B8 3C", false}, // TMDS clock
        {"10 00 B8 3C 8F 0B 0B", -1, -1, "11 00 B8 3C 0F",
         true}, // content types kept, latencies not
        {"10 00 B8 3C 80 0B 0B", 30, 40, "11 00 B8 3C 80 1A 15", false}, // 20 + 30 ms, 40 ms
        {"10 00 B8 3C C0 0B 0B 0C 0C", 30, 40, "11 00 B8 3C C0 1A 15 1B 15", false},
        {"10 00 B8 3C 80 00 0B", 30, 40, "11 00 B8 3C 00",
         true}, // the sink's video latency unknown
        // The latency pair cut short by the block's end: none.
        {"10 00 B8 3C 80 0B", 30, 40, "11 00 B8 3C 00", false},
        {"10 00 B8 3C A0 0B 0B E0 81 01 02 03 04 05", -1, -1, "11 00 B8 3C 20 E0 81 01 02 03 04 05",
         true},
    };
    for (const auto &c : cases) {
        device_video_latency_ms = c.video_ms;
        device_audio_latency_ms = c.audio_ms;
        const std::string sink = "41 10 | " +
                                 hex_of(Bytes{uint8_t(0x63 + hex(c.sink).size())}.data(), 1) +
                                 " 03 0C 00 " + c.sink;
        Built b = build(lg(sink.c_str()), 1);
        std::string hdmi;
        for (const std::string &block : b.blocks)
            if (block.compare(3, 8, "03 0C 00") == 0) hdmi = block.substr(12);
        EXPECT_EQ(hdmi, c.device) << c.sink;
        const std::vector<int> latency = {EDID_LEFT_OUT_LATENCY, EDID_BECAUSE_LATENCY_UNKNOWN, 0,
                                          0};
        EXPECT_EQ(b.left_rows.front() == latency, c.latency_left_out) << c.sink;
    }
    device_video_latency_ms = device_audio_latency_ms = DEVICE_LATENCY_UNKNOWN;
}

// 1920x1080p60 (VIC 16), 1360x768 at 60 Hz, 1920x1080i60 (VIC 5), 1280x1024p60.
const std::string DTDS = "02 3A 80 18 71 38 2D 40 58 2C 45 00 40 84 63 00 00 1E "
                         "66 21 50 B0 51 00 1B 30 40 70 36 00 40 84 63 00 00 1E "
                         "01 1D 80 18 71 1C 16 20 58 2C 25 00 40 84 63 00 00 9E "
                         "30 2A 00 98 51 00 2A 40 30 70 13 00 40 84 63 00 00 1E";

TEST(VideoRepeater, SpacePriority)
{
    auto timing = [](int what, int index, int why, int vic = 0) {
        return std::vector<int>{what, why, index, vic};
    };
    // VICs 1 to 31, a video capability block, an HDMI block too short for
    // fields: 41 bytes; the device's blocks that replace them take 62.
    const std::string video =
        "5F 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B "
        "1C 1D 1E 1F | E2 00 C0 | 65 03 0C 00 10 00 |";
    // Four timings: 134 bytes, the last that repeats a VIC goes.
    Built b = build(lg(video.c_str(), DTDS));
    EXPECT_EQ(b.left_rows,
              (std::vector<std::vector<int>>{
                  LG_NAME, timing(EDID_LEFT_OUT_CEA_TIMING, 2, EDID_BECAUSE_REPEATS_VIC, 5)}));
    EXPECT_EQ(b.out.cea.detailed_timing_count, 3u);

    // Two more base block timings (1360x768, 1280x1024) go to the CEA block
    // before its one (1920x1080i60): 180 bytes.  The repeating timing goes,
    // then the others, last first, then the least valuable block, the later
    // of two: InfoFrame before FreeSync.  The format preference that named
    // timings 1 and 3 names timing 1 only.
    b = build(lg(
        (video +
         "E3 05 C0 00 | F3 01 46 D0 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F | E3 06 05 01 |"
         "E4 0D 10 81 83 | 68 1A 00 00 01 01 30 90 E6 | E5 07 01 00 02 00 | E3 20 00 00 | E2 0F 01 "
         "|"
         "E8 01 8B 84 90 01 02 03 04")
            .c_str(),
        DTDS.substr(108, 54), DTDS.substr(54, 54) + DTDS.substr(162, 54)));
    EXPECT_EQ(b.left_rows, (std::vector<std::vector<int>>{
                               timing(EDID_LEFT_OUT_CEA_TIMING, 0, EDID_BECAUSE_REPEATS_VIC, 5),
                               timing(EDID_LEFT_OUT_BASE_TIMING, 3, EDID_BECAUSE_NO_SPACE),
                               timing(EDID_LEFT_OUT_BASE_TIMING, 2, EDID_BECAUSE_NO_SPACE),
                               timing(BLOCK, 9, EDID_BECAUSE_NO_SPACE)}));
    EXPECT_NE(std::find(b.blocks.begin(), b.blocks.end(), "E3 0D 10 81"), b.blocks.end());
}

// The device's link carries 300 MHz: the LG TV's 594 MHz formats go (four
// VICs, its first detailed timing), its 4:2:0 map, which named only them,
// goes too; the HDMI Forum block says no TMDS rate above 340 MHz; the 297
// MHz HDMI VICs stay; 1920x1080p60 becomes the preferred timing, not native.
TEST(VideoRepeater, DeviceLinkLimits)
{
    device_max_tmds_mhz = device_max_tmds_character_rate_mhz = 300;
    Built b = build(lg(), 1);
    device_max_tmds_mhz = device_max_tmds_character_rate_mhz = DEVICE_NO_LIMIT;
    auto vic = [](int code) {
        return std::vector<int>{EDID_LEFT_OUT_VIDEO_CODE, EDID_BECAUSE_ABOVE_LIMIT, 0, code};
    };
    EXPECT_EQ(b.left_rows, (std::vector<std::vector<int>>{
                               vic(97),
                               vic(96),
                               vic(101),
                               vic(102),
                               {BLOCK, EDID_BECAUSE_REPLACED, 1, 0},
                               LG_NAME,
                               {EDID_LEFT_OUT_BASE_TIMING, EDID_BECAUSE_ABOVE_LIMIT, 0, 0},
                               {BLOCK, EDID_BECAUSE_INDEXES_CHANGED, 7, 0}}));
    EXPECT_EQ(b.blocks[0], "54 10 1F 04 13 05 14 03 02 12 20 21 22 15 01 5D 5E 5F 62 63 64");
    EXPECT_EQ(b.blocks[1], "6E 03 0C 00 11 00 B8 3C 20 00 80 01 02 03 04");
    EXPECT_EQ(b.blocks[2], "67 D8 5D C4 01 00 80 03");
    EXPECT_EQ(b.out.descriptors[0].body.timing.pixel_clock, 14850u);
    EXPECT_EQ(b.out.cea.native_modes, 0u);
    EXPECT_EQ(b.out.descriptors[2].body.range_limits.max_pixel_clock_mhz, 300u);
}

// Range limits as EDID 1.4 states them (descriptor byte 4: +255 on the
// maximum or both vertical rates, bits 1..0, and horizontal, bits 3..2)
// decoded for EDID 1.3, which states 255 at most.
TEST(SinkDecode, AcceptsEdid14AndConvertsRangeOffsets)
{
    const struct {
        uint8_t revision, offsets;
        int result;
        uint32_t min_v, max_v, min_h, max_h;
    } cases[] = {
        {4, 0x00, EDID_DECODE_OK, 58, 62, 30, 136},
        {4, 0x02, EDID_DECODE_OK, 58, 255, 30, 136},
        {4, 0x03, EDID_DECODE_OK, 255, 255, 30, 136},
        {4, 0x0E, EDID_DECODE_OK, 58, 255, 255, 255},
        {3, 0x00, EDID_DECODE_OK, 58, 62, 30, 136},
        {5, 0x00, EDID_DECODE_BAD_VERSION, 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        Bytes edid = lg();
        edid[19] = c.revision;
        edid[90 + 4] = c.offsets;
        edid[127] = uint8_t(edid[127] - edid_checksum(edid.data()));
        EdidInfo sink = {};
        ASSERT_EQ(edid_decode_sink(edid.data(), edid.size(), &sink), c.result) << int(c.revision);
        const EdidRangeLimits &r = sink.descriptors[2].body.range_limits;
        EXPECT_EQ(std::vector<uint32_t>({r.min_v_hz, r.max_v_hz, r.min_h_khz, r.max_h_khz}),
                  std::vector<uint32_t>({c.min_v, c.max_v, c.min_h, c.max_h}));
        if (c.revision == 4) {
            EXPECT_EQ(edid_decode_bounded(edid.data(), edid.size(), &sink),
                      EDID_DECODE_BAD_VERSION);
        }
    }
}

// The base block: the sink's first two timings (with its second gone, the
// CEA block's moves up), range limits widened to every timing listed (the
// LG TV lists 24 Hz and 15.625 kHz formats below its own limits of 58 Hz
// and 30 kHz), the sink's sRGB bit; dummy descriptors in unused slots.
TEST(VideoRepeater, BaseBlockDescriptors)
{
    Bytes edid = lg();
    edid[24] |= 0x04;                                   // sRGB
    memcpy(&edid[72], hex("00 00 00 10 00").data(), 5); // a dummy instead of its second timing
    edid[127] = uint8_t(edid[127] - edid_checksum(edid.data()));
    Built b = build(edid);
    EXPECT_EQ(b.out.descriptors[1].body.timing.h_active, 1360u);
    EXPECT_EQ(b.out.cea.detailed_timing_count, 0u);
    const EdidRangeLimits &r = b.out.descriptors[2].body.range_limits;
    EXPECT_EQ(std::vector<uint32_t>(
                  {r.min_v_hz, r.max_v_hz, r.min_h_khz, r.max_h_khz, r.max_pixel_clock_mhz}),
              std::vector<uint32_t>({24, 71, 15, 136, 600}));
    EXPECT_EQ(b.out.features, 0x0E);
    edid_build_default_video(&b.out, 1);
    std::vector<uint32_t> types;
    for (const EdidDescriptor &d : b.out.descriptors) types.push_back(d.type);
    EXPECT_EQ(types, (std::vector<uint32_t>{EDID_DESC_TIMING, 0x10, EDID_DESC_RANGE_LIMITS,
                                            EDID_DESC_NAME}));
}

} // namespace

namespace {

// The HDMI Forum vendor block and sink capability block follow the
// device's HDMI block directly, in the sink's order; a second of a kind is
// left out.  With no limit set, the device passes their rates on as they
// stand, even an FRL rate above what their TMDS character rate goes with.
TEST(VideoRepeater, HdmiForumBlocksFollowTheHdmiBlock)
{
    const std::string vsdb = "67 D8 5D C4 01 00 80 30", scdb = "E7 79 00 00 01 00 80 30";
    const struct {
        std::string sink;
        std::vector<std::string> after_hdmi;
    } cases[] = {
        {"41 10 | 65 03 0C 00 10 00 | 83 01 00 00 |" + vsdb + "| 23 09 07 07 |" + scdb,
         {vsdb, scdb}},
        {"41 10 |" + scdb + "| 65 03 0C 00 10 00 |" + vsdb + "|" + scdb, {scdb, vsdb}},
    };
    for (const auto &c : cases) {
        Built b = build(lg(c.sink.c_str()), 1);
        ASSERT_GE(b.blocks.size(), 4u);
        EXPECT_EQ(b.blocks[2], "66 03 0C 00 11 00 80");
        EXPECT_EQ(std::vector<std::string>(b.blocks.begin() + 3, b.blocks.begin() + 5),
                  c.after_hdmi);
    }
    const std::vector<int> second_scdb = {BLOCK, EDID_BECAUSE_DUPLICATE, 4, 0};
    EXPECT_EQ(build(lg(cases[1].sink.c_str()), 1).left_rows.front(), second_scdb);
    // A device limit caps both kinds the same way: FRL 3 needs 600 MHz.
    device_max_frl_rate = 6;
    Built b = build(lg(cases[0].sink.c_str()), 1);
    device_max_frl_rate = DEVICE_NO_LIMIT;
    EXPECT_EQ(b.blocks[3], "67 D8 5D C4 01 00 80 00");
    EXPECT_EQ(b.blocks[4], "E7 79 00 00 01 00 80 00");
}

// The lines that the library writes for what was left out.
TEST(LeftOut, LinesForPeople)
{
    Bytes edid = lg();
    EdidInfo sink;
    ASSERT_EQ(edid_decode_sink(edid.data(), edid.size(), &sink), EDID_DECODE_OK);
    // The MSI's two extensions: the CEA block, then a DisplayID block, left out.
    const Bytes msi = read_dump("real/monitor-msi-meg342c-cea-then-displayid.bin");
    EdidLeftOut ext = {};
    edid_left_out_extensions(msi.data(), msi.size(), &ext);
    EXPECT_EQ(ext.count, 1u);
    const struct {
        EdidLeftOutItem item;
        const char *line;
    } cases[] = {
        {{BLOCK, EDID_BECAUSE_REPLACED, 1, 0},
         "left out audio data block #2: replaced by the device's"},
        {{BLOCK, EDID_BECAUSE_NO_SPACE, 8, 0},
         "left out vendor-specific video data block #9: no space left in the CEA block"},
        {{EDID_LEFT_OUT_CEA_TIMING, EDID_BECAUSE_REPEATS_VIC, 0, 16},
         "left out CEA detailed timing 1360x768: repeats VIC 16"},
        {{EDID_LEFT_OUT_ESTABLISHED_TIMING, EDID_BECAUSE_ABOVE_LIMIT, 16, 0},
         "left out established timing 1152x870@75: above the device's link limits"},
        {{EDID_LEFT_OUT_STANDARD_TIMING, EDID_BECAUSE_ABOVE_LIMIT, 0, 0},
         "left out standard timing 640x480@60: above the device's link limits"},
        {ext.items[0],
         "left out extension block 2 (tag 0x70): the device's EDID has one extension"},
    };
    char line[EDID_LEFT_OUT_LINE];
    for (const auto &c : cases) {
        EXPECT_EQ(edid_left_out_line(&sink, &c.item, line, sizeof line), strlen(c.line));
        EXPECT_STREQ(line, c.line);
    }
    // Cut to the room given, NUL-ended, the whole length returned.
    EXPECT_EQ(edid_left_out_line(&sink, &cases[0].item, line, 12), strlen(cases[0].line));
    EXPECT_STREQ(line, "left out au");
    // More items than the summary holds.
    static EdidLeftOut many;
    many.count = EDID_LEFT_OUT_MAX + 2;
    for (EdidLeftOutItem &item : many.items) item = cases[0].item;
    const std::string text = printed([&] { edid_print_left_out(&sink, &many); });
    EXPECT_EQ(text.substr(text.rfind("left out", text.size() - 2)), "left out 2 more items\n");
}

// The device's audio side: a sink's audio blocks that it presents as they
// stand are not named as left out; a large one is kept whole and the
// sink's video blocks give way to it by rank.
TEST(VideoRepeater, DeviceAudioSide)
{
    const Bytes edid = lg();
    EdidInfo sink;
    ASSERT_EQ(edid_decode_sink(edid.data(), edid.size(), &sink), EDID_DECODE_OK);
    EdidDevice device;
    edid_device_init(&device);
    ASSERT_EQ(edid_device_audio_from_edid(edid.data(), edid.size(), &device.audio), EDID_DEVICE_OK);
    static EdidInfo out;
    static EdidLeftOut left;
    ASSERT_EQ(edid_device_build_repeater(&device, &sink, &out, 1, &left), EDID_DEVICE_OK);
    EXPECT_EQ(left.count, 1u); // the monitor name only
    EXPECT_EQ(left.items[0].what, EDID_LEFT_OUT_DESCRIPTOR);
    device.audio.blocks[9] = CEA_AUDIO_DEPTH_16; // its audio block's last byte: no longer the same
    ASSERT_EQ(edid_device_build_repeater(&device, &sink, &out, 1, &left), EDID_DEVICE_OK);
    EXPECT_EQ(left.count, 2u);

    device.audio.size = 0;
    const Bytes vendor_audio = hex("FF 11 46 D0 00" + cea_test::repeat("00", 27));
    for (int i = 0; i < 2; ++i) edid_device_audio_add_block(&device.audio, vendor_audio.data(), 32);
    ASSERT_EQ(edid_device_build_repeater(&device, &sink, &out, 1, &left), EDID_DEVICE_OK);
    std::vector<std::vector<int>> rows;
    for (uint32_t i = 0; i < left.count; ++i)
        rows.push_back({left.items[i].what, left.items[i].why, left.items[i].index});
    // The CEA timing, then Dolby Vision, colorimetry and HDR static metadata, by rank.
    const std::vector<std::vector<int>> expect = {
        {BLOCK, EDID_BECAUSE_REPLACED, 1},
        {EDID_LEFT_OUT_DESCRIPTOR, EDID_BECAUSE_REPLACED, 3},
        {EDID_LEFT_OUT_CEA_TIMING, EDID_BECAUSE_NO_SPACE, 0},
        {BLOCK, EDID_BECAUSE_NO_SPACE, 8},
        {BLOCK, EDID_BECAUSE_NO_SPACE, 5},
        {BLOCK, EDID_BECAUSE_NO_SPACE, 6},
    };
    EXPECT_EQ(rows, expect);
    uint8_t bytes[2 * EDID_BLOCK_SIZE];
    edid_encode(&out, bytes);
    const std::string cea = hex_of(bytes + EDID_BLOCK_SIZE, EDID_BLOCK_SIZE);
    EXPECT_NE(cea.find(hex_of(device.audio.blocks, 64)), std::string::npos) << cea;
}

} // namespace
