// SPDX-License-Identifier: MIT
// Typed codecs of the link capability blocks (cta_hdmi.h): the fields of
// real blocks (data/real) and of composed ones, each as edid-decode prints
// the same bytes; what short and contradictory blocks decode to; the
// encoder's refusal.  Round trips, cut blocks and the reports of every
// typed kind: cta_typed_test.cpp.
#include "cta_typed.h"

using namespace cta_typed;

namespace {

// The facts of an HDMI block in edid-decode's words: address, flags,
// maximum TMDS clock (when held), content types, HDMI VICs.
std::string facts(const CeaHdmiBlock &h)
{
    const uint32_t a = h.physical_address;
    std::string s = std::to_string(a >> 12) + "." + std::to_string(a >> 8 & 15) + "." +
                    std::to_string(a >> 4 & 15) + "." + std::to_string(a & 15);
    add(s, names(h.supports_ai, "Supports_AI", h.dc_48bit, "DC_48bit", h.dc_36bit, "DC_36bit",
                 h.dc_30bit, "DC_30bit", h.dc_y444, "DC_Y444", h.dvi_dual, "DVI_Dual"));
    if (h.has_max_tmds) add(s, std::to_string(h.max_tmds_mhz) + " MHz");
    add(s, names(h.content_graphics, "Graphics", h.content_photo, "Photo", h.content_cinema,
                 "Cinema", h.content_game, "Game"));
    for (unsigned i = 0; i < h.hdmi_vic_count; ++i) add(s, "VIC" + std::to_string(h.hdmi_vics[i]));
    return s;
}

TEST(HdmiBlock, FieldsAsEdidDecodeReadsThem)
{
    const struct {
        const char *wire, *facts;
    } rows[] = {
        // tv-lg-oled55b6v, tv-sony, tv-lg-block-map-displayid
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
        // composed: every flag; the address alone
        {"68 03 0C 00 12 34 FF 00 4F",
         "1.2.3.4 Supports_AI DC_48bit DC_36bit DC_30bit DC_Y444 DVI_Dual 0 MHz Graphics Photo "
         "Cinema Game"},
        {"65 03 0C 00 30 00", "3.0.0.0"},
    };
    for (const auto &row : rows) {
        const CeaHdmiBlock h = decode(cea_decode_hdmi_block, row.wire);
        EXPECT_EQ(facts(h), row.facts) << row.wire;
        EXPECT_TRUE(h.has_address && h.trailing_size == 0) << row.wire;
    }
}

// Latencies and 3D, composed: edid-decode reads 1.0.0.0, Supports_AI,
// 300 MHz, graphics and photo, the latency codes 11, 21, 41 and 255 ("audio
// not supported"), 3D present, the 3D mask present, image size as aspect
// ratio, HDMI VICs 1 and 3, side-by-side (half), top-and-bottom and frame
// packing for the masked VICs 1 and 2, and VIC 1 side-by-side with
// horizontal sub-sampling (detail 1), VIC 2 top-and-bottom.  The HDMI
// layout gives (code - 1) * 2 ms: 20, 40 and 80 ms (the installed
// edid-decode prints 23, 43 and 83).
TEST(HdmiBlock, LatenciesAnd3d)
{
    const CeaHdmiBlock h = decode(cea_decode_hdmi_block, "77 03 0C 00 10 00 80 3C E3 0B 15 29 FF "
                                                         "C8 47 01 03 01 41 00 03 08 10 16");
    EXPECT_EQ(facts(h), "1.0.0.0 Supports_AI 300 MHz Graphics Photo VIC1 VIC3");
    EXPECT_TRUE(h.latency_present && h.interlaced_latency_present && h.hdmi_video_present);
    EXPECT_EQ(Bytes({h.video_latency_code, h.audio_latency_code, h.interlaced_video_latency_code,
                     h.interlaced_audio_latency_code}),
              Bytes({11, 21, 41, CEA_HDMI_LATENCY_NONE}));
    EXPECT_EQ(Bytes({h.present_3d, h.multi_3d, h.image_size}), Bytes({1, 2, 1}));
    EXPECT_EQ(h.structure_all_3d, 1 << CEA_3D_SIDE_BY_SIDE_HALF | 1 << CEA_3D_TOP_AND_BOTTOM |
                                      1 << CEA_3D_FRAME_PACKING);
    EXPECT_EQ(h.mask_3d, 0x0003);
    ASSERT_EQ(h.entry_count_3d, 2);
    EXPECT_EQ(Bytes({h.entries_3d[0].vic_order, h.entries_3d[0].structure, h.entries_3d[0].detail,
                     h.entries_3d[1].vic_order, h.entries_3d[1].structure}),
              Bytes({0, CEA_3D_SIDE_BY_SIDE_HALF, 1, 1, CEA_3D_TOP_AND_BOTTOM}));
    const std::string report = run(hex("77 03 0C 00 10 00 80 3C E3 0B 15 29 FF C8 47 01 03 01 41 "
                                       "00 03 08 10 16"))
                                   .report;
    EXPECT_NE(report.find("   Video latency: 20 ms\n   Audio latency: 40 ms\n"), std::string::npos);
}

// Blocks whose lengths disagree with their flags: what is held, and the
// bytes written back (the presence bits of parts cut off cleared, their
// bytes kept after the layout).
TEST(HdmiBlock, ContradictoryLengths)
{
    const struct {
        const char *what, *wire, *written;
    } rows[] = {
        {"latency announced, one byte there", "69 03 0C 00 10 00 80 3C A0 05",
         "69 03 0C 00 10 00 80 3C 00 05"},
        {"interlaced pair without the first: not read", "6B 03 0C 00 10 00 80 3C 40 05 07 00",
         "6B 03 0C 00 10 00 80 3C 00 05 07 00"},
        {"four HDMI VICs announced, two there", "6C 03 0C 00 10 00 80 3C 20 00 80 01 02",
         "6C 03 0C 00 10 00 80 3C 20 00 40 01 02"},
        {"3D_Structure_ALL announced, 3D length 1", "6B 03 0C 00 10 00 80 3C 20 A0 01 41",
         "6B 03 0C 00 10 00 80 3C 20 80 00 41"},
        {"entry cut before its 3D_Detail byte", "6B 03 0C 00 10 00 80 3C 20 80 01 08",
         "6B 03 0C 00 10 00 80 3C 20 80 00 08"},
        {"bytes after the layout kept", "6A 03 0C 00 10 00 80 3C 00 AA BB",
         "6A 03 0C 00 10 00 80 3C 00 AA BB"},
        {"reserved bits written as 0", "6B 03 0C 00 10 00 86 3C 10 20 07 00",
         "6B 03 0C 00 10 00 80 3C 00 20 07 00"},
    };
    for (const auto &row : rows) {
        const Bytes written = run(hex(row.wire)).encoded;
        EXPECT_EQ(hex_of(written.data(), written.size()), row.written) << row.what;
    }
}

// The facts of the HDMI Forum fields in edid-decode's words (abridged):
// TMDS character rate, FRL code, flags, and the VRR range, DSC slices code,
// DSC FRL code and chunk bytes where held.
std::string facts(const CeaHdmiForumBlock &f)
{
    std::string s = std::to_string(f.version) + " " +
                    std::to_string(f.max_tmds_character_rate_mhz) + " MHz FRL " +
                    std::to_string(f.max_frl_rate);
    add(s, names(f.scdc_present, "SCDC", f.rr_capable, "RR", f.cable_status, "Cable", f.ccbpci,
                 "CCBPCI", f.lte_340mcsc_scramble, "<=340Mcsc", f.independent_view_3d,
                 "3D-Independent", f.dual_view_3d, "3D-Dual", f.osd_disparity_3d, "3D-OSD",
                 f.uhd_vic, "UHD-VIC", f.dc_48bit_420, "16-bit-420", f.dc_36bit_420, "12-bit-420",
                 f.dc_30bit_420, "10-bit-420", f.m_delta, "Mdelta", f.cinema_vrr, "CinemaVRR",
                 f.cnmvrr, "NegativeMvrr", f.fva, "FVA", f.allm, "ALLM", f.fapa_start_location,
                 "FAPA", f.dsc_1p2, "DSC1.2a", f.dsc_native_420, "DSC-420", f.dsc_all_bpp, "AnyBpp",
                 f.dsc_16bpc, "16bpc", f.dsc_12bpc, "12bpc", f.dsc_10bpc, "10bpc"));
    if (f.has_vrr)
        add(s, "VRR " + std::to_string(f.vrr_min_hz) + "-" + std::to_string(f.vrr_max_hz));
    if (f.has_dsc)
        add(s, "slices " + std::to_string(f.dsc_max_slices) + " FRL " +
                   std::to_string(f.dsc_max_frl_rate) + " chunk " +
                   std::to_string(1024 * (1 + f.dsc_total_chunk_code)));
    return s;
}

TEST(HdmiForum, FieldsAsEdidDecodeReadsThem)
{
    const struct {
        const char *wire, *facts;
    } rows[] = {
        // tv-lg-oled55b6v, hdmi-uhd-hdr-edid14, tv-roku-65r6ax
        {"67 D8 5D C4 01 78 80 03", "1 600 MHz FRL 0 SCDC 12-bit-420 10-bit-420"},
        {"67 D8 5D C4 01 78 88 01", "1 600 MHz FRL 0 SCDC <=340Mcsc 10-bit-420"},
        {"67 D8 5D C4 01 78 80 0F",
         "1 600 MHz FRL 0 SCDC UHD-VIC 16-bit-420 12-bit-420 10-bit-420"},
        // tv-lg-block-map-displayid: 12 Gbit/s on 4 lanes (6); DSC: up to 4
        // slices at 340 MHz (3), 6 Gbit/s on 4 lanes (3)
        {"6D D8 5D C4 01 78 80 6B 43 28 90 D3 33 05",
         "1 600 MHz FRL 6 SCDC UHD-VIC 12-bit-420 10-bit-420 ALLM FAPA DSC1.2a DSC-420 12bpc "
         "10bpc VRR 40-144 slices 3 FRL 3 chunk 6144"},
        // tv-samsung-qbq90: DSC up to 8 slices at 340 MHz (4)
        {"6D D8 5D C4 01 78 80 6B 02 30 78 C1 34 05",
         "1 600 MHz FRL 6 SCDC UHD-VIC 12-bit-420 10-bit-420 ALLM DSC1.2a DSC-420 10bpc VRR 48-120 "
         "slices 4 FRL 3 chunk 6144"},
        // monitor-msi-meg342c: the VRR bytes are zeros
        {"6A D8 5D C4 01 78 80 63 00 00 00", "1 600 MHz FRL 6 SCDC 12-bit-420 10-bit-420 VRR 0-0"},
        // composed sink capability block: 10 Gbit/s on 4 lanes (5), 16 slices
        // at 400 MHz (7)
        {"ED 79 00 00 01 78 FA 5C 9C 58 2C AC 57 0F",
         "1 600 MHz FRL 5 SCDC RR Cable CCBPCI <=340Mcsc 3D-Dual UHD-VIC 16-bit-420 CinemaVRR "
         "NegativeMvrr FVA DSC1.2a AnyBpp 16bpc VRR 24-300 slices 7 FRL 5 chunk 16384"},
    };
    for (const auto &row : rows) {
        const bool scdb =
            cea_block_kind(hex(row.wire).data()) == CEA_KIND_HDMI_FORUM_SINK_CAPABILITY;
        const CeaHdmiForumBlock f = scdb ? decode(cea_decode_hdmi_forum_sink_capability, row.wire)
                                         : decode(cea_decode_hdmi_forum_block, row.wire);
        EXPECT_EQ(facts(f), row.facts) << row.wire;
        EXPECT_TRUE(f.has_rates && f.trailing_size == 0) << row.wire;
    }
}

TEST(EdidOverride, ExtensionCount)
{
    // tv-samsung-qbq90: "EDID Extension Block Count: 3".
    const CeaEdidOverride e = decode(cea_decode_edid_override, "E2 78 03");
    EXPECT_TRUE(e.has_count);
    EXPECT_EQ(e.extension_count, 3);
    EXPECT_FALSE(decode(cea_decode_edid_override, "E1 78").has_count);
}

// FreeSync blocks in edid-decode's words: version, refresh rates, flags,
// then the luminance codes with and without local dimming, and the bytes
// after them.
std::string facts(const CeaAmdBlock &a)
{
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
    if (a.trailing_size) out += " + " + hex_of(a.trailing, a.trailing_size);
    return out;
}

TEST(AmdBlock, FieldsAsEdidDecodeReadsThem)
{
    const struct {
        const char *wire, *facts;
    } rows[] = {
        // monitor-c27q165, tv-lg-block-map-displayid (bytes 8-9 not luminances
        // there), tv-samsung-qbq90, monitor-msi-meg342c (five bytes after)
        {"68 1A 00 00 01 01 30 90 E6", "1.1 48-144 Hz E6"},
        {"6D 1A 00 00 02 01 28 90 00 00 00 00 00 00", "2.1 40-144 Hz 00 00 0 0 0 0"},
        {"6D 1A 00 00 02 0B 30 78 00 04 A8 07 72 0F", "2.11 48-120 Hz 00 04 168 7 114 15"},
        {"72 1A 00 00 03 03 30 AF E6 84 66 02 4F 03 AF 00 00 00 00",
         "3.3 48-175 Hz E6 84 102 2 79 3 + AF 00 00 00 00"},
        // composed: 9 bytes, the luminance part cut short
        {"6C 1A 00 00 02 0B 30 78 00 00 A8 07 72", "2.11 48-120 Hz 00 + 00 A8 07 72"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(facts(decode(cea_decode_amd_block, row.wire)), row.facts) << row.wire;
}

// Records whose fields need more than the 31 payload bytes of a data block.
TEST(TypedEncoders, RefuseMoreThan31Bytes)
{
    CeaHdmiBlock h{};
    h.has_content_types = h.hdmi_video_present = 1;
    h.hdmi_vic_count = CEA_HDMI_MAX_VICS;
    h.entry_count_3d = 9; // 3 + 5 + 2 + 7 + 9 * 2 = 35
    for (auto &e : h.entries_3d) e.structure = CEA_3D_SIDE_BY_SIDE_HALF;
    Bytes out(64, 0xEE);
    EXPECT_EQ(cea_encode_hdmi_block(&h, out.data()), 0u);
    EXPECT_EQ(out, Bytes(64, 0xEE));
    h.entry_count_3d = 7; // 31
    EXPECT_EQ(cea_encode_hdmi_block(&h, out.data()), 32u);
    EXPECT_EQ(out[0], 0x7F);

    CeaAmdBlock a{};
    a.trailing_size = 29; // 3 + 29
    out.assign(64, 0xEE);
    EXPECT_EQ(cea_encode_amd_block(&a, out.data()), 0u);
    EXPECT_EQ(out, Bytes(64, 0xEE));
}

} // namespace
