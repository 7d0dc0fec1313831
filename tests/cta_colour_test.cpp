// SPDX-License-Identifier: MIT
// Typed codecs of the picture blocks (cta_colour.h): the fields of real
// and composed blocks, each as edid-decode prints the same bytes (the rows
// of data/cta_rows.txt); the
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
    check_rows<CeaVideoCapability>("video_capability", [](const CeaVideoCapability &c) {
        return Facts{}
            .flag("QY", c.quantization_ycc)
            .flag("QS", c.quantization_rgb)
            .add(n(c.scan_pt) + " " + n(c.scan_it) + " " + n(c.scan_ce))
            .text;
    });
    check_rows<CeaHdrStaticMetadata>("hdr_static_metadata", [](const CeaHdrStaticMetadata &h) {
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
    check_rows<CeaHdrDynamicMetadata>("hdr_dynamic_metadata", [](const CeaHdrDynamicMetadata &h) {
        Facts f;
        for (unsigned i = 0; i < h.count; ++i)
            f.add(n(h.types[i].type) + ":" +
                  test_util::hex_of(h.types[i].support, h.types[i].support_size));
        return f.add(h.trailing_size ? "+ " + test_util::hex_of(h.trailing, h.trailing_size) : "")
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
    check_rows<CeaVendorVideo>("vendor_video", [](const CeaVendorVideo &v) { return facts(v); });
}

} // namespace
