// SPDX-License-Identifier: MIT
// Typed codecs of the link capability blocks (cta_hdmi.h): the fields of
// and composed blocks, each as edid-decode prints the same bytes, and the
// bytes that short and contradictory blocks are written back as (the rows
// of data/cta_rows.txt).  The address,
// TMDS clock and rate and FRL rate of every block of data/ are held against
// edid-decode's by json_check.py.
#include "cta_typed.h"

using namespace cta_typed;

namespace {

// The facts of an HDMI block in edid-decode's words: address, flags,
// maximum TMDS clock (when held), content types, latency codes, the HDMI
// video fields (3D present, 3D_Multi_present, image size, HDMI VICs, the
// 3D structures and mask, 2D_VIC_order entries as order:structure:detail).
std::string facts(const CeaHdmiBlock &h)
{
    const uint32_t a = h.physical_address;
    Facts f{std::to_string(a >> 12) + "." + std::to_string(a >> 8 & 15) + "." +
            std::to_string(a >> 4 & 15) + "." + std::to_string(a & 15)};
    f.flag("Supports_AI", h.supports_ai).flag("DC_48bit", h.dc_48bit).flag("DC_36bit", h.dc_36bit);
    f.flag("DC_30bit", h.dc_30bit).flag("DC_Y444", h.dc_y444).flag("DVI_Dual", h.dvi_dual);
    f.add(h.has_max_tmds ? std::to_string(h.max_tmds_mhz) + " MHz" : "");
    f.flag("Graphics", h.content_graphics).flag("Photo", h.content_photo);
    f.flag("Cinema", h.content_cinema).flag("Game", h.content_game);
    if (h.latency_present)
        f.add("latency " + std::to_string(h.video_latency_code) + "," +
              std::to_string(h.audio_latency_code));
    if (h.interlaced_latency_present)
        f.add("interlaced " + std::to_string(h.interlaced_video_latency_code) + "," +
              std::to_string(h.interlaced_audio_latency_code));
    f.flag("3D", h.present_3d)("multi", h.multi_3d)("size", h.image_size);
    for (unsigned i = 0; i < h.hdmi_vic_count; ++i) f.add("VIC" + std::to_string(h.hdmi_vics[i]));
    f("all", h.structure_all_3d)("mask", h.mask_3d);
    for (unsigned i = 0; i < h.entry_count_3d; ++i)
        f.add(std::to_string(h.entries_3d[i].vic_order) + ":" +
              std::to_string(h.entries_3d[i].structure) + ":" +
              std::to_string(h.entries_3d[i].detail));
    return f("trailing", h.trailing_size).text;
}

TEST(HdmiBlock, FieldsAsEdidDecodeReadsThem)
{
    check_rows<CeaHdmiBlock>("hdmi", facts);
}

// The facts of the HDMI Forum fields in edid-decode's words (abridged):
// version, TMDS character rate, FRL code, flags, and the VRR range, DSC
// slices code, DSC FRL code and chunk bytes where held.
std::string facts(const CeaHdmiForumBlock &f)
{
    Facts s{std::to_string(f.version) + " " + std::to_string(f.max_tmds_character_rate_mhz) +
            " MHz FRL " + std::to_string(f.max_frl_rate)};
    s.flag("SCDC", f.scdc_present).flag("RR", f.rr_capable).flag("Cable", f.cable_status);
    s.flag("CCBPCI", f.ccbpci).flag("<=340Mcsc", f.lte_340mcsc_scramble);
    s.flag("3D-Independent", f.independent_view_3d).flag("3D-Dual", f.dual_view_3d);
    s.flag("3D-OSD", f.osd_disparity_3d).flag("UHD-VIC", f.uhd_vic);
    s.flag("16-bit-420", f.dc_48bit_420).flag("12-bit-420", f.dc_36bit_420);
    s.flag("10-bit-420", f.dc_30bit_420).flag("Mdelta", f.m_delta).flag("CinemaVRR", f.cinema_vrr);
    s.flag("NegativeMvrr", f.cnmvrr).flag("FVA", f.fva).flag("ALLM", f.allm);
    s.flag("FAPA", f.fapa_start_location).flag("DSC1.2a", f.dsc_1p2);
    s.flag("DSC-420", f.dsc_native_420).flag("AnyBpp", f.dsc_all_bpp).flag("16bpc", f.dsc_16bpc);
    s.flag("12bpc", f.dsc_12bpc).flag("10bpc", f.dsc_10bpc);
    if (f.has_vrr)
        s.add("VRR " + std::to_string(f.vrr_min_hz) + "-" + std::to_string(f.vrr_max_hz));
    if (f.has_dsc)
        s.add("slices " + std::to_string(f.dsc_max_slices) + " FRL " +
              std::to_string(f.dsc_max_frl_rate) + " chunk " +
              std::to_string(1024 * (1 + f.dsc_total_chunk_code)));
    return s("trailing", f.trailing_size).text;
}

TEST(HdmiForum, FieldsAsEdidDecodeReadsThem)
{
    check_rows<CeaHdmiForumBlock>("hdmi_forum",
                                  [](const CeaHdmiForumBlock &f) { return facts(f); });
}

// FreeSync blocks in edid-decode's words: version, refresh rates, flags,
// then the luminance codes with and without local dimming, and the bytes
// after them; the EDID extension override's count.
TEST(AmdAndOverride, FieldsAsEdidDecodeReadsThem)
{
    check_rows<CeaAmdBlock>("amd", [](const CeaAmdBlock &a) {
        char s[80];
        snprintf(s, sizeof s, "%u.%u %u-%u Hz %02X", a.version, a.version_minor, a.min_refresh_hz,
                 a.max_refresh_hz, a.flags_1);
        std::string out = s;
        if (a.has_luminance) {
            snprintf(s, sizeof s, " %02X %u %u %u %u", a.flags_2, a.max_luminance_code,
                     a.min_luminance_code, a.max_luminance_no_local_dimming_code,
                     a.min_luminance_no_local_dimming_code);
            out += s;
        }
        return a.trailing_size ? out + " + " + test_util::hex_of(a.trailing, a.trailing_size) : out;
    });
    // tv-samsung-qbq90: "EDID Extension Block Count: 3"; the count cut off.
    check_rows<CeaEdidOverride>("edid_override", [](const CeaEdidOverride &e) {
        return Facts{}.flag("held", e.has_count)("count", e.extension_count).text;
    });
}

} // namespace
