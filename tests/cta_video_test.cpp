// SPDX-License-Identifier: MIT
// Typed codecs of the CTA-861 video blocks (cta_video.h): the fields of real
// and composed blocks as edid-decode reads the same bytes, and the bytes
// they are written back as (the rows of data/cta_rows.txt); the VICs of video and 4:2:0 video blocks are held against edid-decode's
// for every EDID of data/ by json_check.py.
#include "cta_typed.h"

using namespace cta_typed;

namespace {

// A short video reference in edid-decode's words.
std::string svr(CeaSvr s)
{
    const std::string n = std::to_string(s.number);
    switch (s.kind) {
    case CEA_SVR_VIC: return "VIC " + n;
    case CEA_SVR_DETAILED_TIMING: return "DTD " + n;
    case CEA_SVR_DISPLAYID_TIMING: return "VTDB " + n;
    case CEA_SVR_RID_RATE: return "RID@" + std::to_string(cea_rid_rate_hz(s.number));
    case CEA_SVR_TYPE_VIII: return "T8VTDB";
    default: return "reserved " + n;
    }
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
        // Composed: an empty map marks every descriptor.
        {"42 10 04", "E1 0F", "16 4"},
    };
    for (const auto &row : rows) {
        CeaVideoDataBlock video;
        CeaYcbcr420CapabilityMap map;
        cea_decode_video_data_block(hex(row.video).data(), &video);
        cea_decode_ycbcr420_capability_map(hex(row.map).data(), &map);
        Facts f;
        for (uint32_t i = 0; i < video.count; ++i)
            if (cea_ycbcr420_capable(&map, i)) f.add(std::to_string(video.svds[i].vic));
        EXPECT_EQ(f.text, row.vics) << row.map;
        EXPECT_EQ(cea_ycbcr420_capable(&map, 8 * map.size), map.size == 0) << "past the map";
    }
}

TEST(CtaVideo, ShortVideoReferences)
{
    check_rows<CeaVideoFormatPreference>("video_format_preference",
                                         [](const CeaVideoFormatPreference &p) {
                                             std::string s;
                                             for (uint32_t i = 0; i < p.count; ++i)
                                                 s += (i ? ", " : "") + svr(p.svrs[i]);
                                             return s;
                                         });
    check_rows<CeaNativeVideoResolution>(
        "native_video_resolution", [](const CeaNativeVideoResolution &n) {
            return Facts{svr(n.native)}
                .flag("flags", n.has_flags)
                .flag("mm", n.image_size_in_mm)
                .flag("valid", n.image_size_valid)("width", n.image_width)(
                    "height", n.image_height)("trailing", n.trailing_size)
                .text;
        });
}

TEST(CtaVideo, InfoFrame)
{
    check_rows<CeaInfoFrameBlock>("infoframe", [](const CeaInfoFrameBlock &b) {
        Facts f;
        f("vsifs", b.max_vsifs)("processing", b.processing_size);
        for (uint32_t i = 0; i < b.count; ++i) {
            const CeaShortInfoFrame &d = b.descriptors[i];
            f("type", d.type).add(d.oui ? "oui=" + oui_text(d.oui) : "")("payload", d.payload_size);
        }
        return f("trailing", b.trailing_size).text;
    });
}

TEST(CtaVideo, DisplayIdTimings)
{
    // 3840x2160 59.98 Hz 593.792 MHz 16:9; Hfront 176 Hsync 88 Hback 296 P;
    // Vfront 8 Vsync 10 Vback 72 P; and the block cut in the clock.
    check_rows<CeaDisplayIdTimingVii>("displayid_timing_vii", [](const CeaDisplayIdTimingVii &b) {
        const CeaDisplayIdDetailedTiming &t = b.timing;
        return Facts{}("rev", b.revision)("khz", t.pixel_clock_khz)("aspect", t.aspect_ratio)
            .flag("interlaced", t.interlaced)
            .flag("ycbcr420", t.ycbcr420)("h", t.h_active)("hblank", t.h_blank)(
                "hfront", t.h_front_porch)("hsync", t.h_sync_width)
            .flag("hpos", t.hsync_positive)("v", t.v_active)("vblank", t.v_blank)(
                "vfront", t.v_front_porch)("vsync", t.v_sync_width)
            .flag("vpos", t.vsync_positive)("trailing", b.trailing_size)
            .text;
    });
    check_rows<CeaDisplayIdTimingViii>(
        "displayid_timing_viii", [](const CeaDisplayIdTimingViii &b) {
            Facts f;
            f("rev", b.revision).flag("two-byte", b.two_byte_codes).flag("ycbcr420", b.ycbcr420);
            f("type", b.code_type);
            for (uint32_t i = 0; i < b.count; ++i) f.add(oui_text(b.codes[i]).substr(6));
            return f("trailing", b.trailing_size).text;
        });
    check_rows<CeaDisplayIdTimingX>("displayid_timing_x", [](const CeaDisplayIdTimingX &b) {
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
    });
}

} // namespace
