// SPDX-License-Identifier: MIT
// Typed codecs of the CTA-861 video data blocks (cta_video.h): the fields of
// real and composed blocks as edid-decode reads the same bytes, the round
// trip, blocks cut short, records that need more than a data block holds;
// and, for both typed headers, the round trip of every block of real EDIDs
// and the report of the composed ones (golden file cta_blocks.out).
// Composed blocks are those of tests/data/cta_video_blocks.hex and
// cta_displayid_blocks.hex; the expected facts are written from what
// edid-decode prints for those files.
#include <filesystem>
#include <fstream>
#include <map>

#include "cta_typed_util.h"

using namespace cta_typed;

namespace {

// "97 1* 0*": VICs, native ones starred; the reserved bytes 0 and 128 as 0.
std::string vics(const CeaVideoDataBlock &v)
{
    Facts f;
    for (uint32_t i = 0; i < v.count; ++i)
        f.add(std::to_string(v.svds[i].vic) + (v.svds[i].native ? "*" : ""));
    return f.text;
}

// A short video reference in edid-decode's words.
std::string svr(CeaSvr s)
{
    switch (s.kind) {
    case CEA_SVR_VIC: return "VIC " + std::to_string(s.number);
    case CEA_SVR_DETAILED_TIMING: return "DTD " + std::to_string(s.number);
    case CEA_SVR_DISPLAYID_TIMING: return "VTDB " + std::to_string(s.number);
    case CEA_SVR_RID_RATE: return "RID@" + std::to_string(cea_rid_rate_hz(s.number));
    case CEA_SVR_TYPE_VIII: return "T8VTDB";
    default: return "reserved " + std::to_string(s.number);
    }
}

TEST(CtaVideo, ShortVideoDescriptors)
{
    check_rows(VIDEO,
               {
                   // Onkyo TX-NR555: VIC 226 is reserved ("Unknown").
                   {"4B 01 02 03 04 05 3F 20 5D 5E 5F E2", "1 2 3 4 5 63 32 93 94 95 226", ""},
                   // Fujitsu LSL3260W: bytes 129-192 are native VICs 1-64.
                   {"49 90 9F 85 94 84 93 83 92 01", "16* 31* 5* 20* 4* 19* 3* 18* 1", ""},
                   // C27Q165: reserved bytes 0 among the VICs.
                   {"4E 90 05 1F 14 04 03 07 00 06 12 00 00 00 00",
                    "16* 5 31 20 4 3 7 0 6 18 0 0 0 0", ""},
                   {"40", "", ""},
               },
               vics);
    check_rows(YCBCR420_VIDEO,
               {
                   {"E2 0E 61", "97", ""}, // Onkyo TX-NR555
                   // Composed: byte 128 reserved, 129 native VIC 1, 193 and 219
                   // above 127, 220 reserved.
                   {"E8 0E 61 60 80 81 C1 DB DC", "97 96 0* 1* 193 219 220", ""},
                   {"E0", "", "E1 0E"}, // no extended tag: written with it
               },
               vics);
}

// The capability map's marks over the VICs of the video data block, as
// edid-decode lists the VICs that take 4:2:0.
TEST(CtaVideo, Ycbcr420CapabilityMapMarksVics)
{
    const struct {
        std::string video, map, vics;
    } rows[] = {
        // LG OLED55B6V: bits 0, 1, 19, 20.
        {"58 61 60 10 1F 04 13 05 14 03 02 12 20 21 22 15 01 5D 5E 5F 65 66 62 63 64",
         "E4 0F 03 00 18", "97 96 101 102"},
        // Roku 65R6AX: bits 15, 16, 19, 20.
        {"5B 05 84 03 01 12 13 14 16 07 90 1F 20 22 5D 5F 60 61 62 64 65 66 5E 63 02 06 11 15",
         "E5 0F 00 80 19 00", "96 97 101 102"},
        // Samsung QBQ90: the first eight.
        {"5A 61 60 65 66 75 76 DA DB 10 1F 04 13 05 14 20 21 22 40 3F 5D 5E 5F 62 64 03 12",
         "E2 0F FF", "97 96 101 102 117 118 218 219"},
        // Composed: an empty map marks every descriptor.
        {"42 10 04", "E1 0F", "16 4"},
    };
    for (const auto &row : rows) {
        const CeaVideoDataBlock video = decode(VIDEO, row.video);
        const CeaYcbcr420CapabilityMap map = decode(MAP, row.map);
        Facts f;
        for (uint32_t i = 0; i < video.count; ++i)
            if (cea_ycbcr420_capable(&map, i)) f.add(std::to_string(video.svds[i].vic));
        EXPECT_EQ(f.text, row.vics) << row.map;
        EXPECT_EQ(cea_ycbcr420_capable(&map, 8 * map.size), map.size == 0) << "past the map";
        EXPECT_EQ(encode(MAP, map), norm(row.map));
    }
}

TEST(CtaVideo, ShortVideoReferences)
{
    const auto refs = [](const CeaVideoFormatPreference &p) {
        std::string s;
        for (uint32_t i = 0; i < p.count; ++i) s += (i ? ", " : "") + svr(p.svrs[i]);
        return s;
    };
    check_rows(PREFERENCE,
               {
                   {"E8 0D 61 10 81 91 A6 FE 00",
                    "VIC 97, VIC 16, DTD 1, VTDB 1, RID@60, T8VTDB, reserved 0", ""},
                   // Composed: the ends of each range, edid-decode's reading.
                   {"EE 0D 7F 80 90 A0 A1 AF B0 C0 C1 DB DC FD FF",
                    "VIC 127, reserved 128, DTD 16, VTDB 16, RID@24, RID@480, reserved 176, "
                    "reserved 192, VIC 193, VIC 219, VIC 220, VIC 253, reserved 255",
                    ""},
               },
               refs);
    const auto native = [](const CeaNativeVideoResolution &n) {
        return (Facts{svr(n.native)})
            .flag("flags", n.has_flags)
            .flag("mm", n.image_size_in_mm)
            .flag("valid", n.image_size_valid)
            .flag("size", n.has_image_size)("width", n.image_width)("height", n.image_height)(
                "trailing", n.trailing_size)
            .text;
    };
    check_rows(
        NATIVE,
        {
            {"E7 08 61 81 BA 04 A8 02", "VIC 97 flags mm valid size width=1210 height=680", ""},
            {"E7 08 81 01 41 2F 8F 1A", "DTD 1 flags valid size width=12097 height=6799", ""},
            {"E2 08 01", "VIC 1", ""},
            // Cut in the image size: the two bytes kept after the flags.
            {"E5 08 01 81 BA 04", "VIC 1 flags mm valid trailing=2", ""},
            {"E0", "reserved 0", "E2 08 00"},
        },
        native);
}

TEST(CtaVideo, InfoFrame)
{
    const auto facts = [](const CeaInfoFrameBlock &b) {
        Facts f;
        f("vsifs", b.max_vsifs)("processing", b.processing_size);
        for (uint32_t i = 0; i < b.count; ++i) {
            const CeaShortInfoFrame &d = b.descriptors[i];
            f.add("type=" + std::to_string(d.type));
            if (d.oui) f.add("oui=" + oui_text(d.oui));
            f("payload", d.payload_size);
        }
        return f("trailing", b.trailing_size).text;
    };
    check_rows(INFOFRAME,
               {
                   {"E4 20 00 00 03", "type=3", ""}, // Roku 65R6AX
                   {"F4 20 40 01 AA BB 02 21 46 D0 00 01 07 E4 01 02 03 04 05 06 07",
                    "vsifs=1 processing=2 type=2 type=1 oui=00-D0-46 payload=1 type=7 type=4 "
                    "payload=7",
                    ""},
                   // A descriptor cut short (seven bytes announced, one there)
                   // is kept; so is a vendor one without its whole OUI.
                   {"E6 20 00 00 02 E4 01", "type=2 trailing=2", ""},
                   {"E5 20 00 00 01 46", "trailing=2", ""},
                   // A processing descriptor cut short: its bytes read as 0.
                   {"E3 20 60 00", "processing=3", "E6 20 60 00 00 00 00"},
               },
               facts);
}

TEST(CtaVideo, DisplayIdTimings)
{
    const auto vii = [](const CeaDisplayIdTimingVii &b) {
        const CeaDisplayIdDetailedTiming &t = b.timing;
        return (Facts{})("rev", b.revision)
            .flag("timing", b.has_timing)("khz", t.pixel_clock_khz)("aspect", t.aspect_ratio)
            .flag("interlaced", t.interlaced)
            .flag("ycbcr420", t.ycbcr420)("h", t.h_active)("hblank", t.h_blank)(
                "hfront", t.h_front_porch)("hsync", t.h_sync_width)
            .flag("hpos", t.hsync_positive)("v", t.v_active)("vblank", t.v_blank)(
                "vfront", t.v_front_porch)("vsync", t.v_sync_width)
            .flag("vpos", t.vsync_positive)("trailing", b.trailing_size)
            .text;
    };
    const std::string t7 = "02 7F 0F 09 04 FF 0E 2F 02 AF 80 57 00 6F 08 59 00 07 80 09 00";
    check_rows(TYPE_VII,
               {
                   // 3840x2160 59.98 Hz 593.792 MHz 16:9; Hfront 176 Hsync 88
                   // Hback 296 P; Vfront 8 Vsync 10 Vback 72 P.
                   {"F6 22 " + t7,
                    "rev=2 timing khz=593792 aspect=4 h=3840 hblank=560 hfront=176 hsync=88 hpos "
                    "v=2160 vblank=90 vfront=8 vsync=10 vpos",
                    ""},
                   {"E4 22 02 7F 0F", "rev=2 trailing=2", ""}, // cut in the clock
               },
               vii);
    const auto viii = [](const CeaDisplayIdTimingViii &b) {
        Facts f;
        f("rev", b.revision).flag("two-byte", b.two_byte_codes).flag("ycbcr420", b.ycbcr420);
        f("type", b.code_type);
        for (uint32_t i = 0; i < b.count; ++i) f.add(oui_text(b.codes[i]).substr(6));
        return f("trailing", b.trailing_size).text;
    };
    check_rows(TYPE_VIII,
               {
                   {"E6 23 01 01 04 10 52", "rev=1 01 04 10 52", ""}, // DMT IDs
                   {"E6 23 29 52 00 10 00", "rev=1 two-byte ycbcr420 52 10", ""},
                   {"E5 23 29 52 00 10", "rev=1 two-byte ycbcr420 52 trailing=1", ""}, // odd byte
               },
               viii);
    const auto x = [](const CeaDisplayIdTimingX &b) {
        Facts f;
        f("rev", b.revision)("extra", b.extra_bytes);
        for (uint32_t i = 0; i < b.count; ++i) {
            const CeaDisplayIdFormulaTiming &t = b.timings[i];
            f.add(std::to_string(t.h_active) + "x" + std::to_string(t.v_active) + "@" +
                  std::to_string(t.refresh_hz));
            f("formula", t.formula).flag("vr_hb", t.vr_hb)("delta", t.hblank_delta);
            f.flag("early_vsync", t.early_vsync)
                .flag("ycbcr420", t.ycbcr420)("stereo", t.stereo_3d);
        }
        return f("trailing", b.trailing_size).text;
    };
    check_rows(TYPE_X,
               {
                   {"F4 2A 00 00 FF 0E 6F 08 3B 01 7F 07 37 04 77 12 7F 07 37 04 3B",
                    "3840x2160@60 1920x1080@120 formula=1 1920x1080@60 formula=2 vr_hb", ""},
                   {"F7 2A 10 02 FF 0E 6F 08 3B 00 03 FF 0E 6F 08 77 01 13 FF 0E 6F 08 3B 10",
                    "extra=1 3840x2160@60 formula=2 3840x2160@376 formula=3 3840x2160@60 formula=3 "
                    "vr_hb delta=4",
                    ""},
                   // Composed: YCbCr 4:2:0 (bit 7) and stereo (bits 6..5).
                   {"EE 2A 00 80 7F 07 37 04 3B 20 7F 07 37 04 3B",
                    "1920x1080@60 ycbcr420 1920x1080@60 stereo=1", ""},
                   // Descriptors of 8 bytes are not decoded: kept whole.
                   {"EA 2A 20 00 FF 0E 6F 08 3B 00 00", "extra=2 trailing=8", ""},
               },
               x);
}

// Records whose fields need more than the 31 payload bytes are refused;
// those that need 31 exactly are written.
TEST(CtaVideo, EncoderRefusesWhatDoesNotFit)
{
    CeaVideoDataBlock v{};
    v.count = CEA_MAX_VIDEO_DESCRIPTORS;
    EXPECT_EQ(encode(VIDEO, v).substr(0, 5), "5F 00");
    EXPECT_EQ(encode(YCBCR420_VIDEO, v), "refused"); // extended tag + 31
    v.count = CEA_MAX_VIDEO_DESCRIPTORS - 1;
    EXPECT_NE(encode(YCBCR420_VIDEO, v), "refused");

    CeaInfoFrameBlock info{};
    info.count = 3;
    for (uint32_t i = 0; i < info.count; ++i)
        info.descriptors[i] = CeaShortInfoFrame{7, CEA_INFOFRAME_VENDOR, CEA_OUI_DOLBY, {}};
    EXPECT_EQ(encode(INFOFRAME, info), "refused"); // 3 + 3 x 11 bytes
    info.count = 2;
    info.trailing_size = 6; // 3 + 22 + 6 = 31
    EXPECT_NE(encode(INFOFRAME, info), "refused");

    CeaDisplayIdTimingX x{};
    x.extra_bytes = 1;
    x.count = CEA_MAX_TYPE_X_TIMINGS;
    x.trailing_size = 2; // 2 + 28 + 2
    EXPECT_EQ(encode(TYPE_X, x), "refused");
    x.trailing_size = 1;
    EXPECT_NE(encode(TYPE_X, x), "refused");
}

// ---- Both typed headers over whole EDIDs ----

// Every block of a typed kind in the real EDIDs and the composed ones is
// written back byte for byte; the blocks of each kind are counted, so that
// a walk that misses some shows.
TEST(CtaTyped, RealBlocksRoundTrip)
{
    std::vector<std::string> files = {"cta_video_blocks.hex", "cta_displayid_blocks.hex",
                                      "cta_audio_blocks.hex"};
    for (const auto &e : std::filesystem::directory_iterator(EDID_TEST_DATA_DIR "/real"))
        if (e.path().extension() == ".bin") files.push_back("real/" + e.path().filename().string());
    std::map<std::string, int> blocks;
    for (const std::string &file : files) {
        for_each_data_block(read_dump(file), [&](const uint8_t *header) {
            std::string report, bytes;
            if (!typed(header, &report, &bytes)) return;
            ++blocks[cea_kind_name(cea_block_kind(header))];
            EXPECT_EQ(bytes, hex_of(header, 1 + (header[0] & 0x1F))) << file;
        });
    }
    Facts counts;
    for (const auto &[kind, n] : blocks) counts(kind.c_str(), n);
    EXPECT_EQ(counts.text,
              "audio=14 displayid_timing_vii=1 displayid_timing_viii=2 "
              "displayid_timing_x=2 hdmi_audio=2 infoframe=2 native_video_resolution=2 "
              "room_configuration=1 speaker_allocation=11 speaker_location=1 "
              "vendor_audio=3 video=15 video_format_preference=1 "
              "ycbcr420_capability_map=9 ycbcr420_video=2");
}

// The report of every typed block of the composed EDIDs and of two real
// ones, each under its kind's title, as tests/data/cta_blocks.out holds it.
TEST(CtaTyped, Report)
{
    std::string text;
    for (const char *file :
         {"cta_video_blocks.hex", "cta_displayid_blocks.hex", "cta_audio_blocks.hex",
          "real/avr-denon-x2300w-below-lg-oled55b6v.bin", "real/tv-roku-65r6ax.bin"}) {
        text += std::string("== ") + file + "\n";
        for_each_data_block(read_dump(file), [&](const uint8_t *header) {
            std::string report, bytes;
            if (typed(header, &report, &bytes))
                text += std::string(cea_kind_title(cea_block_kind(header))) + "\n" + report;
        });
    }
    const std::string golden = EDID_TEST_DATA_DIR "/cta_blocks.out";
    if (getenv("EDID_UPDATE_GOLDEN")) std::ofstream(golden) << text;
    std::ifstream in(golden);
    const std::string expected((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    EXPECT_EQ(text, expected);
}

} // namespace
