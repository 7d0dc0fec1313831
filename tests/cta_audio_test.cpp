// SPDX-License-Identifier: MIT
// Typed codecs of the CTA-861 audio blocks (cta_audio.h): the fields of real
// and composed blocks as edid-decode reads the same bytes, the bytes they
// are written back as, and the names of reserved codes.  Composed blocks
// are those of data/cta_audio_blocks.hex and a few more.
#include "cta_typed.h"

using namespace cta_typed;

namespace {

// The names of the bits set in mask, bit 0 first, joined by sep.
std::string bits(uint32_t mask, std::initializer_list<const char *> names, const char *sep = ",")
{
    std::string s;
    uint32_t bit = 0;
    for (const char *name : names)
        if (mask >> bit++ & 1) s += (s.empty() ? "" : sep) + std::string(name);
    return s;
}

std::string rates(uint32_t mask)
{
    return bits(mask, {"32", "44.1", "48", "88.2", "96", "176.4", "192"});
}

std::string speakers(uint32_t mask)
{
    Facts f;
    for (uint32_t bit = 0; bit < 24; ++bit)
        if (mask >> bit & 1) f.add(cea_speaker_name(bit));
    return f.text;
}

std::string sad_facts(const CeaSad &s)
{
    Facts f;
    f.add(cea_audio_format_name(s.format, s.ext_type))("ch", s.channels);
    f.add("rates=" + rates(s.rates));
    if (s.sample_sizes) f.add("sizes=" + bits(s.sample_sizes, {"16", "20", "24"}));
    f("kbps", s.max_bitrate_kbps).flag("joc", s.joint_object_coding);
    f.flag("acmod28", s.joint_object_coding_acmod28).flag("pcm", s.mat_pcm);
    f.flag("no_hash", s.mat_hash_not_required)("profile", s.wma_pro_profile);
    f.flag("1024", s.frame_length_1024).flag("960", s.frame_length_960).flag("22.2", s.aac_22_2);
    f.flag("mps", s.mps_explicit)("level", s.mpeg_h_level).flag("lc", s.mpeg_h_low_complexity);
    return f("options", s.options).text;
}

TEST(CtaAudio, ShortAudioDescriptors)
{
    const auto facts = [](const CeaAudioDataBlock &b) {
        std::string s;
        for (uint32_t i = 0; i < b.count; ++i) s += (i ? "; " : "") + sad_facts(b.sads[i]);
        return b.trailing_size ? s + "; trailing=" + std::to_string(b.trailing_size) : s;
    };
    const std::string all = "rates=32,44.1,48,88.2,96,176.4,192 ";
    const std::string hd = "rates=44.1,48,88.2,96,176.4,192 ";
    // clang-format off
    check_rows<CeaAudioDataBlock>({
        // Denon AVR-X2300W.
        {"35 0F 7F 07 3D 1E C0 15 07 50 5F 7E 03 57 06 03 67 7E 03 5F 7E 01",
         "lpcm ch=8 " + all + "sizes=16,20,24; dts ch=6 rates=44.1,48,88.2,96 kbps=1536; "
         "ac-3 ch=6 rates=32,44.1,48 kbps=640; dts-hd ch=8 " + hd + "options=3; "
         "e-ac-3 ch=8 rates=44.1,48 joc acmod28; mat ch=8 " + hd + "pcm no_hash; "
         "dts-hd ch=8 " + hd + "options=1"},
        // Onkyo TX-NR555: one-bit audio; MAT with the hash required.
        {"3B 09 7F 07 0F 7F 07 17 07 50 3F 06 C0 4D 02 00 57 06 01 5F 7E 03 5F 7E 01 67 7F 01",
         "lpcm ch=2 " + all + "sizes=16,20,24; lpcm ch=8 " + all + "sizes=16,20,24; "
         "ac-3 ch=8 rates=32,44.1,48 kbps=640; dts ch=8 rates=44.1,48 kbps=1536; "
         "one-bit-audio ch=6 rates=44.1; e-ac-3 ch=8 rates=44.1,48 joc; "
         "dts-hd ch=8 " + hd + "options=3; dts-hd ch=8 " + hd + "options=1; "
         "mat ch=8 " + all + "pcm"},
        // LG block map TV: MAT byte 2 = 07, bit 2 kept beside the two flags.
        {"32 09 57 07 15 07 50 57 07 01 3D 1E C0 5F 7E 07 67 04 07",
         "lpcm ch=2 rates=32,44.1,48,96,192 sizes=16,20,24; ac-3 ch=6 rates=32,44.1,48 kbps=640; "
         "e-ac-3 ch=8 rates=32,44.1,48 joc; dts ch=6 rates=44.1,48,88.2,96 kbps=1536; "
         "dts-hd ch=8 " + hd + "options=7; mat ch=8 rates=48 pcm no_hash options=4"},
        // Composed: the types of format 15; L-PCM 3D audio counts channels
        // in five bits; MPEG-H states a level instead.
        {"3E 79 07 24 79 07 2A 7D 1F 37 7F 07 38 7F 07 45 7F 07 53 79 07 5B 78 06 61 "
         "FF 87 6D FB 07 6F",
         "mpeg-4-he-aac ch=2 rates=32,44.1,48 1024; mpeg-4-he-aac-v2 ch=2 rates=32,44.1,48 960; "
         "mpeg-4-aac-lc ch=6 rates=32,44.1,48,88.2,96 1024 960 22.2; dra ch=8 rates=32,44.1,48; "
         "mpeg-4-he-aac-mpeg-surround ch=8 rates=32,44.1,48 1024 mps; "
         "mpeg-4-aac-lc-mpeg-surround ch=8 rates=32,44.1,48 960 mps; "
         "mpeg-h-3d-audio rates=32,44.1,48 level=1 lc options=2; ac-4 rates=44.1,48 options=1; "
         "lpcm-3d ch=32 rates=32,44.1,48 sizes=16,24; lpcm-3d ch=12 rates=32,44.1,48 sizes=16,20,24"},
        // Composed: the other formats.
        {"3B 78 07 72 7B 07 78 71 06 03 2D 04 30 21 02 28 19 01 20 31 06 18 41 02 30 69 08 10",
         "auro-cx rates=32,44.1,48 options=2; mpeg-d-usac ch=4 rates=32,44.1,48; "
         "wma-pro ch=2 rates=44.1,48 profile=3; mpeg-2 ch=6 rates=48 kbps=384; "
         "mp3 ch=2 rates=44.1 kbps=320; mpeg-1 ch=2 rates=32 kbps=256; "
         "aac-lc ch=2 rates=44.1,48 kbps=192; atrac ch=2 rates=44.1 kbps=384; "
         "dst ch=2 rates=88.2 options=16"},
        // WMA Pro byte 2 = FF: profile 7, the reserved bits kept; byte 0
        // bit 7 (reserved) written as 0; two bytes that make no descriptor
        // kept.
        {"25 F1 06 FF AA BB", "wma-pro ch=2 rates=44.1,48 profile=7 options=248; trailing=2",
         "25 71 06 FF AA BB"},
    }, facts);
    // clang-format on
}

TEST(CtaAudio, Speakers)
{
    check_rows<CeaSpeakerAllocationDataBlock>(
        {{"83 5F 00 00", "FL/FR LFE1 FC BL/BR BC RLC/RRC"}, // Denon AVR-X2300W
         {"83 C9 0B 02", "FL/FR BL/BR RLC/RRC FLw/FRw TpFL/TpFR TpC LS/RS BtFC"},
         {"83 FF FF 1F", "FL/FR LFE1 FC BL/BR BC FLc/FRc RLC/RRC FLw/FRw TpFL/TpFR TpC TpFC LS/RS "
                         "LFE2 TpBC SiL/SiR TpSiL/TpSiR TpBL/TpBR BtFC BtFL/BtFR TpLS/TpRS LSd/RSd"},
         {"81 0F", "FL/FR LFE1 FC BL/BR", "83 0F 00 00"}, // written with three bytes
         {"85 01 00 00 AA BB", "FL/FR trailing=2"}},
        [](const CeaSpeakerAllocationDataBlock &s) {
            return Facts{speakers(s.speakers)}("trailing", s.trailing_size).text;
        });
    // Composed: 8 speakers, a display at (1.0, -1.0, 0.25) of a room of
    // 80x64x32 dm; the speakers alone; the size cut short.
    check_rows<CeaRoomConfiguration>(
        {{"EB 13 E7 0F 00 00 50 40 20 40 C0 10",
          "display count=8 sld FL/FR LFE1 FC BL/BR x=80 y=64 z=32 dx=64 dy=-64 dz=16"},
         {"E5 13 00 03 00 00", "FL/FR LFE1"},
         {"E7 13 40 01 00 00 50 40", "count=1 FL/FR trailing=2"}},
        [](const CeaRoomConfiguration &r) {
            return Facts{}
                .flag("display", r.display)("count", r.speaker_count)
                .flag("sld", r.sld)
                .add(speakers(r.speakers))("x", r.x_max_dm)("y", r.y_max_dm)("z", r.z_max_dm)(
                    "dx", r.display_x_64ths)("dy", r.display_y_64ths)("dz", r.display_z_64ths)(
                    "trailing", r.trailing_size)
                .text;
        });
    // Composed: FL at (1.0, -1.0, 0.5), FR, LFE1 not active; coordinates
    // announced and the block ending; a reserved speaker.
    check_rows<CeaSpeakerLocation>(
        {{"EA 14 60 00 40 C0 20 21 01 02 03", "ch=0 active FL x=64 y=-64 z=32 ch=1 active FR ch=2 LFE1"},
         {"E5 14 21 01 60 00", "ch=1 active FR trailing=2"},
         {"E3 14 3F 1F", "ch=31 active reserved"}},
        [](const CeaSpeakerLocation &l) {
            Facts f;
            for (uint32_t i = 0; i < l.count; ++i) {
                const CeaSpeakerLocationDescriptor &d = l.descriptors[i];
                f.add("ch=" + std::to_string(d.channel)).flag("active", d.active);
                f.add(cea_speaker_id_name(d.speaker_id));
                if (d.has_coordinates)
                    f.add("x=" + std::to_string(d.x_64ths) + " y=" + std::to_string(d.y_64ths) +
                          " z=" + std::to_string(d.z_64ths));
            }
            return f("trailing", l.trailing_size).text;
        });
}

TEST(CtaAudio, VendorAndHdmiAudio)
{
    check_rows<CeaVendorAudio>(
        {{"E6 11 46 D0 00 70 00", "00-D0-46 dolby version=1 center surround height"},
         {"E6 11 46 D0 00 87 01", "00-D0-46 dolby version=8 headphones mat48"},
         {"E6 11 12 34 56 01 02", "56-34-12 payload=2"},
         // Dolby's first byte alone: kept as payload, not decoded.
         {"E5 11 46 D0 00 70", "00-D0-46 payload=1"},
         // Shorter than the OUI: written with all three bytes.
         {"E3 11 46 D0", "00-D0-46", "E4 11 46 D0 00"}},
        [](const CeaVendorAudio &v) {
            return Facts{oui_text(v.oui)}
                .flag("dolby", v.has_dolby_fields)("version", v.dolby_version)
                .flag("center", v.dolby_center_zone)
                .flag("surround", v.dolby_surround_zone)
                .flag("height", v.dolby_height_zone)
                .flag("headphones", v.dolby_headphone_only)
                .flag("mat48", v.dolby_mat_pcm_48khz_only)("payload", v.payload_size)
                .text;
        });
    // Composed: 4 streams, non-mixed, L-PCM 8 and MAT 16 channels in 3D,
    // 20 speakers for 22.2 channels; 2 streams and a multi-stream L-PCM
    // descriptor; two 3D descriptors announced, one and a half there.
    check_rows<CeaHdmiAudio>(
        {{"EF 12 07 02 01 07 7F 07 0C 0F 1F 00 FF FF 0F 20",
          "streams=4 non-mixed 3d=2 lpcm:8:32,44.1,48,88.2,96,176.4,192:7 "
          "mat:16:32,44.1,48,88.2,96:0 speakers=1048575 type=2"},
         {"E6 12 01 00 09 07 07", "streams=2 ms=lpcm ch=2 rates=32,44.1,48 sizes=16,20,24"},
         {"E9 12 00 02 01 07 7F 07 0C 0F", "streams=1 3d=2 trailing=6"}},
        [](const CeaHdmiAudio &a) {
            Facts f;
            f("streams", a.max_streams).flag("non-mixed", a.ms_non_mixed)("3d", a.count_3d);
            for (uint32_t i = 0; a.has_3d && i < a.count_3d; ++i) {
                const CeaHdmi3dAudioDescriptor &d = a.descriptors_3d[i];
                f.add(std::string(cea_audio_format_name(d.format, 0)) + ":" +
                      std::to_string(d.channels) + ":" + rates(d.rates) + ":" +
                      std::to_string(d.detail));
            }
            f("speakers", a.speakers_3d)("type", a.channel_allocation_type);
            for (uint32_t i = 0; i < a.ms_count; ++i) f.add("ms=" + sad_facts(a.ms_sads[i]));
            return f("trailing", a.trailing_size).text;
        });
}

// The rows above name every format, type and speaker; reserved codes name
// none.
TEST(CtaAudio, ReservedNames)
{
    for (uint32_t type : {0u, 3u, 9u, 16u, 31u})
        EXPECT_STREQ(cea_audio_format_name(CEA_AUDIO_EXTENDED, type), "reserved") << type;
    EXPECT_STREQ(cea_audio_format_name(CEA_AUDIO_UNKNOWN, CEA_AUDIO_EXT_AC4), "reserved");
    EXPECT_STREQ(cea_speaker_name(21), "reserved");
    EXPECT_STREQ(cea_speaker_id_name(28), "reserved");
}

} // namespace
