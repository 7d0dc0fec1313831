// SPDX-License-Identifier: MIT
// Typed codecs of the picture blocks (cta_colour.h): the fields of real
// blocks (data/real) and of composed ones, each as edid-decode prints the
// same bytes; the luminance codes in cd/m^2 as edid-decode converts them.
// Round trips, cut blocks and reports: cta_typed_test.cpp.
#include "cta_typed.h"

#include "edid/cta_codec.h"

using namespace cta_typed;

namespace {

std::string n(int value)
{
    return std::to_string(value);
}

// Video capability in edid-decode's words: QY, QS and the scan codes of PT,
// IT and CE (0 no data or not supported, 1 always overscanned, 2 always
// underscanned, 3 both).
TEST(VideoCapability, FieldsAsEdidDecodeReadsThem)
{
    const struct {
        const char *wire, *facts;
    } rows[] = {
        {"E2 00 4B", "QS 0 2 3"},    // tv-samsung-sam7074
        {"E2 00 D5", "QY QS 1 1 1"}, // hdmi-uhd-hdr-edid14
        {"E2 00 C0", "QY QS 0 0 0"}, // monitor-c27q165
        {"E2 00 FF", "QY QS 3 3 3"}, // tv-roku-65r6ax
        {"E2 00 4F", "QS 0 3 3"},    // tv-samsung-qbq90
    };
    for (const auto &row : rows) {
        const CeaVideoCapability c = decode(cea_decode_video_capability, row.wire);
        std::string s = names(c.quantization_ycc, "QY", c.quantization_rgb, "QS");
        add(s, n(c.scan_pt) + " " + n(c.scan_it) + " " + n(c.scan_ce));
        EXPECT_EQ(s, row.facts) << row.wire;
    }
}

TEST(Colorimetry, FieldsAsEdidDecodeReadsThem)
{
    const struct {
        const char *wire, *names;
    } rows[] = {
        {"E3 05 FF 01", // tv-roku-65r6ax
         "xvYCC601 xvYCC709 sYCC601 opYCC601 opRGB BT2020cYCC BT2020YCC BT2020RGB MD0"},
        {"E3 05 E3 01", "xvYCC601 xvYCC709 BT2020cYCC BT2020YCC BT2020RGB MD0"}, // c27q165
        {"E3 05 C0 00", "BT2020YCC BT2020RGB"},                                  // lg-oled55b6v
        {"E3 05 00 F0", "Default sRGB ICtCp ST2113RGB"},                         // composed
        {"E3 05 00 80", "ST2113RGB"},
        {"E3 05 02 0F", "xvYCC709 MD0 MD1 MD2 MD3"},
    };
    for (const auto &row : rows) {
        const CeaColorimetry c = decode(cea_decode_colorimetry, row.wire);
        EXPECT_TRUE(c.has_colorimetry && c.has_metadata);
        EXPECT_EQ(names(c.xv_ycc_601, "xvYCC601", c.xv_ycc_709, "xvYCC709", c.s_ycc_601, "sYCC601",
                        c.op_ycc_601, "opYCC601", c.op_rgb, "opRGB", c.bt2020_cycc, "BT2020cYCC",
                        c.bt2020_ycc, "BT2020YCC", c.bt2020_rgb, "BT2020RGB", c.gamut_metadata & 1,
                        "MD0", c.gamut_metadata & 2, "MD1", c.gamut_metadata & 4, "MD2",
                        c.gamut_metadata & 8, "MD3", c.default_rgb, "Default", c.s_rgb, "sRGB",
                        c.ictcp, "ICtCp", c.st2113_rgb, "ST2113RGB"),
                  row.names)
            << row.wire;
    }
}

// EOTFs, static metadata types and the luminance codes held.
TEST(HdrStaticMetadata, FieldsAsEdidDecodeReadsThem)
{
    const struct {
        const char *wire, *facts;
    } rows[] = {
        {"E6 06 05 01 5A 53 44", "SDR PQ 01 90 83 68"},     // avr-pioneer
        {"E3 06 0D 01", "SDR PQ HLG 01"},                   // tv-lg-oled55b6v
        {"E6 06 07 01 62 62 2F", "SDR HDR PQ 01 98 98 47"}, // monitor-c27q165
        {"E6 06 07 01 60 00 20", "SDR HDR PQ 01 96 0 32"},  // tv-roku-65r6ax
        {"E4 06 08 01 60", "HLG 01 96"},                    // composed
    };
    for (const auto &row : rows) {
        const CeaHdrStaticMetadata h = decode(cea_decode_hdr_static_metadata, row.wire);
        std::string s = names(h.eotf_sdr, "SDR", h.eotf_hdr, "HDR", h.eotf_pq, "PQ", h.eotf_hlg,
                              "HLG", h.eotf_other, "other");
        if (h.has_metadata_types) add(s, hex_of(&h.metadata_types, 1));
        if (h.has_max_luminance) add(s, n(h.max_luminance_code));
        if (h.has_max_frame_average_luminance) add(s, n(h.max_frame_average_luminance_code));
        if (h.has_min_luminance) add(s, n(h.min_luminance_code));
        EXPECT_EQ(s, row.facts) << row.wire;
    }
}

// Luminance codes as edid-decode converts them (HDR static metadata and
// FreeSync blocks of data/real), in thousandths of a cd/m^2.
TEST(HdrStaticMetadata, LuminanceCodes)
{
    const struct {
        uint32_t max_code, min_code;
        uint64_t max_millicd, min_millicd;
    } rows[] = {
        {0, 0, 50000, 0},      {90, 68, 351250, 250}, {83, 0, 301833, 0}, {105, 79, 486099, 467},
        {98, 47, 417710, 142}, {102, 0, 455515, 0},   {75, 0, 253810, 0}, {96, 32, 400000, 63},
        {168, 7, 1902731, 14}, {114, 15, 590730, 20}, {79, 3, 276782, 0},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(edid_cta_codec::max_luminance_millicd(row.max_code), row.max_millicd)
            << row.max_code;
        EXPECT_EQ(edid_cta_codec::min_luminance_millicd(row.max_code, row.min_code),
                  row.min_millicd)
            << row.max_code << " " << row.min_code;
    }
}

// Composed: edid-decode reads type 1 version 1, type 4 version 1, type 2
// version 3 with SL-HDR1, SL-HDR2 and SL-HDR3, and type 3.  An entry
// longer than the block ends the list; its bytes are kept.
TEST(HdrDynamicMetadata, Types)
{
    const struct {
        const char *wire, *facts;
    } rows[] = {
        {"F0 07 03 01 00 01 03 04 00 01 03 02 00 73 02 03 00", "1:01 4:01 2:73 3:"},
        {"E7 07 03 01 00 01 05 04", "1:01 + 05 04"},
    };
    for (const auto &row : rows) {
        const CeaHdrDynamicMetadata h = decode(cea_decode_hdr_dynamic_metadata, row.wire);
        std::string s;
        for (unsigned i = 0; i < h.count; ++i)
            add(s, n(h.types[i].type) + ":" + hex_of(h.types[i].support, h.types[i].support_size));
        if (h.trailing_size) add(s, "+ " + hex_of(h.trailing, h.trailing_size));
        EXPECT_EQ(s, row.facts) << row.wire;
    }
}

// Dolby Vision in edid-decode's words: version, DM version code, form,
// flags, interface, target minimum and maximum codes, the chromaticity
// codes (red, green, blue, and white for version 0) and the bytes after the
// layout.  Chromaticity codes are on the version's scale: x 4096 (v0), x 256
// (v1 long form), compact codes from their offsets (red x 0.67578125 =
// (160 + 13) / 256).
std::string facts(const CeaVendorVideo &v)
{
    const CeaDolbyVision &d = v.dolby;
    std::string s = "v" + n(d.version) + " dm" + n(d.dm_version) + (d.compact ? " compact" : "");
    add(s, names(d.yuv422_12bit, "YUV422-12", d.supports_2160p60, "2160p60", d.global_dimming,
                 "GlobalDimming", d.backlight_control, "Backlight", d.colorimetry_p3, "P3-D65",
                 d.yuv444_12bit, "444-12", d.yuv444_10bit, "444-10"));
    add(s, "if" + n(d.interface) + " " + n(d.target_min_code) + "-" + n(d.target_max_code));
    add(s, n(d.red_x) + "," + n(d.red_y) + " " + n(d.green_x) + "," + n(d.green_y) + " " +
               n(d.blue_x) + "," + n(d.blue_y));
    if (d.version == 0) add(s, n(d.white_x) + "," + n(d.white_y));
    if (v.size) add(s, "+ " + hex_of(v.payload, v.size));
    return s;
}

TEST(VendorVideo, DolbyVision)
{
    const struct {
        const char *wire, *facts;
    } rows[] = {
        // tv-lg-oled55b6v: version 1, DM 3.x, only standard, 0.000992 and 700 cd/m^2
        {"EE 01 46 D0 00 24 18 09 00 AD 52 44 A9 23 0C",
         "v1 dm1 P3-D65 if0 4-12 173,82 68,169 35,12"},
        // tv-roku-65r6ax: version 2, DM 5.x, standard + low latency, PQ 200 and 2705
        {"EB 01 46 D0 00 4D 52 52 68 68 6F 76",
         "v2 dm3 compact YUV422-12 if2 10-10 13,14 52,52 7,6"},
        // tv-lg-block-map-displayid: version 2, DM 4.x, PQ 0 and 3095
        {"EB 01 46 D0 00 48 02 86 82 5C 6D 8E", "v2 dm2 compact if2 0-16 13,17 65,46 5,6"},
        // composed: version 0, DM 3.2, PQ 4086 and 2402, four bytes after
        {"F9 01 46 D0 00 07 A5 AB 51 2C 4A A6 A1 26 0A 40 4F 54 62 FF 96 32 00 00 00 00",
         "v0 dm50 YUV422-12 2160p60 GlobalDimming if0 4086-2402 2746,1301 1186,2668 618,161 "
         "1268,1344 + 00 00 00 00"},
        // composed: version 1 compact, DM 4.x, 0.12555 and 1950 cd/m^2
        {"EB 01 46 D0 00 2B 4B 5B 9E 5C 8B AE",
         "v1 dm2 compact YUV422-12 2160p60 GlobalDimming P3-D65 if0 45-37 21,26 46,69 4,7"},
    };
    for (const auto &row : rows) {
        const CeaVendorVideo v = decode(cea_decode_vendor_video, row.wire);
        EXPECT_TRUE(v.oui == CEA_OUI_DOLBY && v.layout == CEA_VENDOR_VIDEO_DOLBY) << row.wire;
        EXPECT_EQ(facts(v), row.facts) << row.wire;
    }
}

TEST(VendorVideo, Hdr10PlusAndOthers)
{
    // tv-roku-65r6ax: "Application Version: 1".
    CeaVendorVideo v = decode(cea_decode_vendor_video, "E5 01 8B 84 90 01");
    EXPECT_EQ(v.layout, CEA_VENDOR_VIDEO_HDR10_PLUS);
    EXPECT_EQ(v.hdr10_plus.application_version, 1);
    // tv-samsung-qbq90, 0x95: the application version is bits 1..0 (1), the
    // full-frame peak luminance index bits 3..2 (1), the peak luminance
    // index bits 7..4 (9).  The installed edid-decode, older than these
    // fields, reads the whole byte as the version (149).
    v = decode(cea_decode_vendor_video, "E5 01 8B 84 90 95");
    EXPECT_EQ(Bytes({v.hdr10_plus.application_version, v.hdr10_plus.full_frame_peak_luminance_index,
                     v.hdr10_plus.peak_luminance_index}),
              Bytes({1, 1, 9}));
    // Another OUI, a Dolby Vision version with no layout, an OUI cut short:
    // the bytes after the OUI alone.
    for (const char *wire : {"E6 01 11 22 33 44 55", "E6 01 46 D0 00 60 55", "E3 01 46 D0"}) {
        v = decode(cea_decode_vendor_video, wire);
        EXPECT_EQ(v.layout, CEA_VENDOR_VIDEO_BYTES) << wire;
        EXPECT_EQ(v.size, std::max(0, hex(wire)[0] - 0xE4)) << wire;
    }
}

} // namespace
