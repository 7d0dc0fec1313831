// SPDX-License-Identifier: MIT
// Typed codecs of the CTA-861 audio blocks (cta_audio.h): the fields of real
// and composed blocks as edid-decode reads the same bytes, the bytes they
// are written back as (the rows of data/cta_rows.txt), and the names of
// reserved codes.
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
    check_rows<CeaAudioDataBlock>("audio", facts);
    // clang-format on
}

TEST(CtaAudio, Speakers)
{
    check_rows<CeaSpeakerAllocationDataBlock>(
        "speaker_allocation", [](const CeaSpeakerAllocationDataBlock &s) {
            return Facts{speakers(s.speakers)}("trailing", s.trailing_size).text;
        });
    // Composed: 8 speakers, a display at (1.0, -1.0, 0.25) of a room of
    // 80x64x32 dm; the speakers alone; the size cut short.
    check_rows<CeaRoomConfiguration>("room_configuration", [](const CeaRoomConfiguration &r) {
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
    check_rows<CeaSpeakerLocation>("speaker_location", [](const CeaSpeakerLocation &l) {
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
    check_rows<CeaVendorAudio>("vendor_audio", [](const CeaVendorAudio &v) {
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
    check_rows<CeaHdmiAudio>("hdmi_audio", [](const CeaHdmiAudio &a) {
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
