// SPDX-License-Identifier: MIT
// Typed codecs of the link capability blocks (cta_hdmi.h): the fields of
// real blocks (data/real) and of composed ones (data/cta_link_colour_blocks.hex
// and a few more), each as edid-decode prints the same bytes; the bytes
// that short and contradictory blocks are written back as.  The address,
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
    check_rows<CeaHdmiBlock>(
        {// tv-lg-oled55b6v, tv-sony, tv-lg-block-map-displayid
         {"6E 03 0C 00 10 00 B8 3C 20 00 80 01 02 03 04",
          "1.0.0.0 Supports_AI DC_36bit DC_30bit DC_Y444 300 MHz VIC1 VIC2 VIC3 VIC4"},
         {"6E 03 0C 00 20 00 B8 3C 2F 00 80 01 02 03 04",
          "2.0.0.0 Supports_AI DC_36bit DC_30bit DC_Y444 300 MHz Graphics Photo Cinema Game VIC1 "
          "VIC2 VIC3 VIC4"},
         {"6E 03 0C 00 10 00 B8 44 2C 00 80 01 02 03 04",
          "1.0.0.0 Supports_AI DC_36bit DC_30bit DC_Y444 340 MHz Cinema Game VIC1 VIC2 VIC3 VIC4"},
         // monitor-c27q165 and tv-samsung-sam7074: no byte 4
         {"67 03 0C 00 20 00 78 88", "2.0.0.0 DC_48bit DC_36bit DC_30bit DC_Y444 680 MHz"},
         {"67 03 0C 00 20 00 B8 2D", "2.0.0.0 Supports_AI DC_36bit DC_30bit DC_Y444 225 MHz"},
         // composed: every flag, the reserved bits and the interlaced latency
         // bit without the first written as 0; the address alone
         {"68 03 0C 00 12 34 FF 00 4F", "1.2.3.4 Supports_AI DC_48bit DC_36bit DC_30bit DC_Y444 "
                                        "DVI_Dual 0 MHz Graphics Photo Cinema Game",
          "68 03 0C 00 12 34 F9 00 0F"},
         {"65 03 0C 00 30 00", "3.0.0.0"},
         // composed (cta_link_colour_blocks.hex): latency codes 11, 21, 41 and
         // 255 ("audio not supported"); 3D present, the 3D mask present,
         // image size as aspect ratio; side-by-side (half), top-and-bottom
         // and frame packing for the VICs of the mask 1 and 2; VIC 1
         // side-by-side with horizontal sub-sampling (detail 1), VIC 2
         // top-and-bottom
         {"77 03 0C 00 10 00 80 3C E3 0B 15 29 FF C8 47 01 03 01 41 00 03 08 10 16",
          "1.0.0.0 Supports_AI 300 MHz Graphics Photo latency 11,21 interlaced 41,255 3D multi=2 "
          "size=1 VIC1 VIC3 all=321 mask=3 0:8:1 1:6:0"},
         // Lengths that disagree with the flags: the parts held, the presence
         // bits of parts cut off cleared, their bytes kept after the layout.
         {"69 03 0C 00 10 00 80 3C A0 05", "1.0.0.0 Supports_AI 300 MHz trailing=1",
          "69 03 0C 00 10 00 80 3C 00 05"},
         {"6B 03 0C 00 10 00 80 3C 40 05 07 00", "1.0.0.0 Supports_AI 300 MHz trailing=3",
          "6B 03 0C 00 10 00 80 3C 00 05 07 00"},
         {"6C 03 0C 00 10 00 80 3C 20 00 80 01 02", "1.0.0.0 Supports_AI 300 MHz VIC1 VIC2",
          "6C 03 0C 00 10 00 80 3C 20 00 40 01 02"},
         {"6B 03 0C 00 10 00 80 3C 20 A0 01 41", "1.0.0.0 Supports_AI 300 MHz 3D trailing=1",
          "6B 03 0C 00 10 00 80 3C 20 80 00 41"},
         {"6B 03 0C 00 10 00 80 3C 20 80 01 08", "1.0.0.0 Supports_AI 300 MHz 3D trailing=1",
          "6B 03 0C 00 10 00 80 3C 20 80 00 08"},
         {"6A 03 0C 00 10 00 80 3C 00 AA BB", "1.0.0.0 Supports_AI 300 MHz trailing=2"}},
        facts);
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
    check_rows<CeaHdmiForumBlock>(
        {// tv-lg-oled55b6v, hdmi-uhd-hdr-edid14, tv-roku-65r6ax
         {"67 D8 5D C4 01 78 80 03", "1 600 MHz FRL 0 SCDC 12-bit-420 10-bit-420"},
         {"67 D8 5D C4 01 78 88 01", "1 600 MHz FRL 0 SCDC <=340Mcsc 10-bit-420"},
         {"67 D8 5D C4 01 78 80 0F", "1 600 MHz FRL 0 SCDC UHD-VIC 16-bit-420 12-bit-420 10-bit-420"},
         // tv-lg-block-map-displayid: 12 Gbit/s on 4 lanes (6); DSC: up to 4
         // slices at 340 MHz (3), 6 Gbit/s on 4 lanes (3)
         {"6D D8 5D C4 01 78 80 6B 43 28 90 D3 33 05",
          "1 600 MHz FRL 6 SCDC UHD-VIC 12-bit-420 10-bit-420 ALLM FAPA DSC1.2a DSC-420 12bpc "
          "10bpc VRR 40-144 slices 3 FRL 3 chunk 6144"},
         // tv-samsung-qbq90: DSC up to 8 slices at 340 MHz (4)
         {"6D D8 5D C4 01 78 80 6B 02 30 78 C1 34 05",
          "1 600 MHz FRL 6 SCDC UHD-VIC 12-bit-420 10-bit-420 ALLM DSC1.2a DSC-420 10bpc VRR "
          "48-120 slices 4 FRL 3 chunk 6144"},
         // monitor-msi-meg342c: the VRR bytes are zeros
         {"6A D8 5D C4 01 78 80 63 00 00 00", "1 600 MHz FRL 6 SCDC 12-bit-420 10-bit-420 VRR 0-0"},
         // composed sink capability block: 10 Gbit/s on 4 lanes (5), 16
         // slices at 400 MHz (7)
         {"ED 79 00 00 01 78 FA 5C 9C 58 2C AC 57 0F",
          "1 600 MHz FRL 5 SCDC RR Cable CCBPCI <=340Mcsc 3D-Dual UHD-VIC 16-bit-420 CinemaVRR "
          "NegativeMvrr FVA DSC1.2a AnyBpp 16bpc VRR 24-300 slices 7 FRL 5 chunk 16384"}},
        [](const CeaHdmiForumBlock &f) { return facts(f); });
}

// FreeSync blocks in edid-decode's words: version, refresh rates, flags,
// then the luminance codes with and without local dimming, and the bytes
// after them; the EDID extension override's count.
TEST(AmdAndOverride, FieldsAsEdidDecodeReadsThem)
{
    check_rows<CeaAmdBlock>(
        {// monitor-c27q165, tv-lg-block-map-displayid (bytes 8-9 not
         // luminances there), tv-samsung-qbq90, monitor-msi-meg342c
         {"68 1A 00 00 01 01 30 90 E6", "1.1 48-144 Hz E6"},
         {"6D 1A 00 00 02 01 28 90 00 00 00 00 00 00", "2.1 40-144 Hz 00 00 0 0 0 0"},
         {"6D 1A 00 00 02 0B 30 78 00 04 A8 07 72 0F", "2.11 48-120 Hz 00 04 168 7 114 15"},
         {"72 1A 00 00 03 03 30 AF E6 84 66 02 4F 03 AF 00 00 00 00",
          "3.3 48-175 Hz E6 84 102 2 79 3 + AF 00 00 00 00"},
         // composed: the luminance part cut short
         {"6C 1A 00 00 02 0B 30 78 00 00 A8 07 72", "2.11 48-120 Hz 00 + 00 A8 07 72"}},
        [](const CeaAmdBlock &a) {
            char s[80];
            snprintf(s, sizeof s, "%u.%u %u-%u Hz %02X", a.version, a.version_minor,
                     a.min_refresh_hz, a.max_refresh_hz, a.flags_1);
            std::string out = s;
            if (a.has_luminance) {
                snprintf(s, sizeof s, " %02X %u %u %u %u", a.flags_2, a.max_luminance_code,
                         a.min_luminance_code, a.max_luminance_no_local_dimming_code,
                         a.min_luminance_no_local_dimming_code);
                out += s;
            }
            return a.trailing_size ? out + " + " + test_util::hex_of(a.trailing, a.trailing_size)
                                   : out;
        });
    // tv-samsung-qbq90: "EDID Extension Block Count: 3"; the count cut off.
    check_rows<CeaEdidOverride>({{"E2 78 03", "held count=3"}, {"E1 78", ""}},
                                [](const CeaEdidOverride &e) {
                                    return Facts{}.flag("held", e.has_count)("count",
                                                                            e.extension_count)
                                        .text;
                                });
}

} // namespace
