// SPDX-License-Identifier: MIT
// Typed codecs of the picture blocks (cta_colour.h): the fields of real
// blocks (data/real) and of composed ones (data/cta_link_colour_blocks.hex
// and a few more), each as edid-decode prints the same bytes; the
// luminance codes in cd/m^2 as edid-decode converts them.  The EOTFs and
// colorimetry names of every block of data/ are held against edid-decode's
// by json_check.py.
#include "cta_typed.h"

#include "edid/cta_codec.h"

using namespace cta_typed;

namespace {

std::string n(int value)
{
    return std::to_string(value);
}

// Video capability: QY, QS and the scan codes of PT, IT and CE (0 no data
// or not supported, 1 always overscanned, 2 always underscanned, 3 both).
// HDR static metadata: EOTFs, metadata types and the luminance codes held.
TEST(VideoCapabilityAndHdr, FieldsAsEdidDecodeReadsThem)
{
    check_rows<CeaVideoCapability>(
        {{"E2 00 4B", "QS 0 2 3"},     // tv-samsung-sam7074
         {"E2 00 D5", "QY QS 1 1 1"},  // hdmi-uhd-hdr-edid14
         {"E2 00 C0", "QY QS 0 0 0"}}, // monitor-c27q165
        [](const CeaVideoCapability &c) {
            return Facts{}
                .flag("QY", c.quantization_ycc)
                .flag("QS", c.quantization_rgb)
                .add(n(c.scan_pt) + " " + n(c.scan_it) + " " + n(c.scan_ce))
                .text;
        });
    check_rows<CeaHdrStaticMetadata>(
        {{"E6 06 05 01 5A 53 44", "SDR PQ types=1 max=90 average=83 min=68"}, // avr-pioneer
         {"E3 06 0D 01", "SDR PQ HLG types=1"},                               // tv-lg-oled55b6v
         {"E6 06 07 01 62 62 2F", "SDR HDR PQ types=1 max=98 average=98 min=47"}, // c27q165
         {"E6 06 07 01 60 00 20", "SDR HDR PQ types=1 max=96 min=32"},            // roku-65r6ax
         {"E4 06 08 01 60", "HLG types=1 max=96"}},                               // composed
        [](const CeaHdrStaticMetadata &h) {
            return Facts{}
                .flag("SDR", h.eotf_sdr)
                .flag("HDR", h.eotf_hdr)
                .flag("PQ", h.eotf_pq)
                .flag("HLG", h.eotf_hlg)("other", h.eotf_other)("types", h.metadata_types)(
                    "max", h.max_luminance_code)("average", h.max_frame_average_luminance_code)(
                    "min", h.min_luminance_code)
                .text;
        });
}

// Luminance codes as edid-decode converts them (HDR static metadata and
// FreeSync blocks of data/real), in thousandths of a cd/m^2.
TEST(VideoCapabilityAndHdr, LuminanceCodes)
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
    check_rows<CeaHdrDynamicMetadata>(
        {{"F0 07 03 01 00 01 03 04 00 01 03 02 00 73 02 03 00", "1:01 4:01 2:73 3:"},
         {"E7 07 03 01 00 01 05 04", "1:01 + 05 04"}},
        [](const CeaHdrDynamicMetadata &h) {
            Facts f;
            for (unsigned i = 0; i < h.count; ++i)
                f.add(n(h.types[i].type) + ":" +
                      test_util::hex_of(h.types[i].support, h.types[i].support_size));
            return f.add(h.trailing_size ? "+ " + test_util::hex_of(h.trailing, h.trailing_size)
                                         : "")
                .text;
        });
}

// Dolby Vision in edid-decode's words: version, DM version code, form,
// flags, interface, target minimum and maximum codes, the chromaticity
// codes (red, green, blue, and white for version 0); HDR10+ as application
// version, full-frame and peak luminance indexes; the bytes after them, or
// after the OUI for other layouts.  Chromaticity codes are on the
// version's scale: x 4096 (v0), x 256 (v1 long form), compact codes from
// their offsets (red x 0.67578125 = (160 + 13) / 256).
std::string facts(const CeaVendorVideo &v)
{
    const CeaDolbyVision &d = v.dolby;
    Facts f{oui_text(v.oui)};
    if (v.layout == CEA_VENDOR_VIDEO_HDR10_PLUS)
        f.add("hdr10+ " + n(v.hdr10_plus.application_version) + " " +
              n(v.hdr10_plus.full_frame_peak_luminance_index) + " " +
              n(v.hdr10_plus.peak_luminance_index));
    if (v.layout == CEA_VENDOR_VIDEO_DOLBY) {
        f.add("v" + n(d.version) + " dm" + n(d.dm_version)).flag("compact", d.compact);
        f.flag("YUV422-12", d.yuv422_12bit).flag("2160p60", d.supports_2160p60);
        f.flag("GlobalDimming", d.global_dimming).flag("Backlight", d.backlight_control);
        f.flag("P3-D65", d.colorimetry_p3).flag("444-12", d.yuv444_12bit);
        f.flag("444-10", d.yuv444_10bit);
        f.add("if" + n(d.interface) + " " + n(d.target_min_code) + "-" + n(d.target_max_code));
        f.add(n(d.red_x) + "," + n(d.red_y) + " " + n(d.green_x) + "," + n(d.green_y) + " " +
              n(d.blue_x) + "," + n(d.blue_y));
        if (d.version == 0) f.add(n(d.white_x) + "," + n(d.white_y));
    }
    return f.add(v.size ? "+ " + test_util::hex_of(v.payload, v.size) : "").text;
}

TEST(VendorVideo, DolbyVisionAndHdr10Plus)
{
    check_rows<CeaVendorVideo>(
        {// tv-lg-oled55b6v: version 1, DM 3.x, only standard, 0.000992 and
         // 700 cd/m^2
         {"EE 01 46 D0 00 24 18 09 00 AD 52 44 A9 23 0C",
          "00-D0-46 v1 dm1 P3-D65 if0 4-12 173,82 68,169 35,12"},
         // tv-roku-65r6ax: version 2, DM 5.x, standard + low latency, PQ 200
         // and 2705
         {"EB 01 46 D0 00 4D 52 52 68 68 6F 76",
          "00-D0-46 v2 dm3 compact YUV422-12 if2 10-10 13,14 52,52 7,6"},
         // tv-lg-block-map-displayid: version 2, DM 4.x, PQ 0 and 3095
         {"EB 01 46 D0 00 48 02 86 82 5C 6D 8E", "00-D0-46 v2 dm2 compact if2 0-16 13,17 65,46 5,6"},
         // composed: version 0, DM 3.2, PQ 4086 and 2402, four bytes after
         {"F9 01 46 D0 00 07 A5 AB 51 2C 4A A6 A1 26 0A 40 4F 54 62 FF 96 32 00 00 00 00",
          "00-D0-46 v0 dm50 YUV422-12 2160p60 GlobalDimming if0 4086-2402 2746,1301 1186,2668 "
          "618,161 1268,1344 + 00 00 00 00"},
         // composed: version 1 compact, DM 4.x, 0.12555 and 1950 cd/m^2
         {"EB 01 46 D0 00 2B 4B 5B 9E 5C 8B AE",
          "00-D0-46 v1 dm2 compact YUV422-12 2160p60 GlobalDimming P3-D65 if0 45-37 21,26 46,69 4,7"},
         // tv-roku-65r6ax: "Application Version: 1"
         {"E5 01 8B 84 90 01", "90-84-8B hdr10+ 1 0 0"},
         // tv-samsung-qbq90, 0x95: the application version is bits 1..0 (1),
         // the full-frame peak luminance index bits 3..2 (1), the peak
         // luminance index bits 7..4 (9); the installed edid-decode, older
         // than these fields, reads the whole byte as the version (149)
         {"E5 01 8B 84 90 95", "90-84-8B hdr10+ 1 1 9"},
         // another OUI, a Dolby Vision version with no layout, an OUI cut
         // short: the bytes after the OUI alone
         {"E6 01 11 22 33 44 55", "33-22-11 + 44 55"},
         {"E6 01 46 D0 00 60 55", "00-D0-46 + 60 55"},
         {"E3 01 46 D0", "00-D0-46", "E4 01 46 D0 00"}},
        [](const CeaVendorVideo &v) { return facts(v); });
}

} // namespace
