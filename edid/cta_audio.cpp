// SPDX-License-Identifier: MIT
// cta_audio.cpp - CTA-861 data blocks that describe audio: short audio
// descriptors of every format and the audio data block (tag 1), speaker
// allocation (tag 4), vendor-specific audio (extended tag 0x11), HDMI audio
// (0x12), room configuration (0x13) and speaker location (0x14).
//
// Short audio descriptor (3 bytes):
//   byte 0  bits 6..3 format, 2..0 channels - 1 (L-PCM 3D audio: bit 7 is
//           bit 3 of channels - 1; MPEG-H 3D audio: the level; AC-4,
//           Auro-Cx: none)
//   byte 1  bits 6..0 rates 192 ... 32 kHz (L-PCM 3D audio: bit 7 is bit 4
//           of channels - 1)
//   byte 2  L-PCM: bits 2..0 sample sizes 24, 20, 16 bits; 2-8: maximum bit
//           rate / 8 kbit/s; 9, 11, 13: the format's value; E-AC-3: bit 1
//           JOC with ACMOD 28, bit 0 JOC; MAT: bit 1 no hash, bit 0 PCM;
//           WMA Pro: bits 2..0 profile; 15: bits 7..3 type, 2..0 by type
//           (AAC: bit 2 1024, bit 1 960 frame lengths, bit 0 22.2 or MPS;
//           MPEG-H: bit 0 low complexity profile; L-PCM 3D: sample sizes;
//           AC-4, Auro-Cx: value)
// Payloads after the extended tag:
//   vendor audio   0-2 OUI; Dolby: 3 bits 2..0 version - 1, 4 center, 5
//                  surround, 6 height zone, 7 headphone only; 4 bit 0 MAT
//                  PCM at 48 kHz only
//   HDMI audio     0 bit 2 non-mixed, 1..0 streams - 1; 1 bits 2..0 3D
//                  descriptors; 4 bytes each (0 bits 3..0 format, 1 bits
//                  4..0 channels - 1, 2 rates, 3 sample sizes or value); 3D
//                  speakers (0-2 mask, 3 bits 7..4 allocation type); SADs
//   room           0 bit 7 display, 6 speaker count given, 5 SLD, 4..0
//                  count - 1; 1-3 speakers; 4-6 size in dm; 7-9 display place
//   speaker place  per descriptor: 0 bit 6 coordinates, 5 active, 4..0
//                  channel; 1 bits 4..0 speaker ID; 2-4 x, y, z
#include <edid/cta_audio.h>

#include <stdio.h>
#include <string.h>

#include "bits.h"
#include "cta_codec.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_cta_codec;

namespace {

constexpr uint32_t SPEAKER_BYTES = 3;    // a speaker mask on the wire
constexpr uint32_t RATE_BITS = 7;        // byte 1 bits 6..0
constexpr uint32_t AUDIO_3D_SIZE = 4;    // HDMI 3D audio descriptor
constexpr uint32_t SPEAKERS_3D_SIZE = 4; // HDMI 3D speaker allocation
constexpr uint32_t HDMI_AUDIO_HEADER = 2;
constexpr uint32_t DOLBY_FIELDS = 2; // Dolby's bytes after the OUI
constexpr uint32_t ROOM_SPEAKERS = 1, ROOM_SIZE = 4, ROOM_DISPLAY = 7, ROOM_END = 10;
constexpr uint32_t LOCATION_SIZE = 2, LOCATION_WITH_COORDINATES = 5;
constexpr uint32_t MPEG_H_LEVELS = 5; // levels 1 to 5; 6 and 7 reserved
// E-AC-3 and MAT byte 2: bits 1..0 have names.
constexpr uint32_t NAMED_FLAGS = 0x03;

const char *const FORMAT_NAMES[] = {nullptr,  "lpcm",   "ac-3", "mpeg-1", "mp3",
                                    "mpeg-2", "aac-lc", "dts",  "atrac",  "one-bit-audio",
                                    "e-ac-3", "dts-hd", "mat",  "dst",    "wma-pro"};
constexpr uint32_t FORMATS = sizeof FORMAT_NAMES / sizeof FORMAT_NAMES[0];

// Format 15 types 4 to 15; 9 is reserved.
const char *const EXT_TYPE_NAMES[] = {"mpeg-4-he-aac",
                                      "mpeg-4-he-aac-v2",
                                      "mpeg-4-aac-lc",
                                      "dra",
                                      "mpeg-4-he-aac-mpeg-surround",
                                      nullptr,
                                      "mpeg-4-aac-lc-mpeg-surround",
                                      "mpeg-h-3d-audio",
                                      "ac-4",
                                      "lpcm-3d",
                                      "auro-cx",
                                      "mpeg-d-usac"};
constexpr uint32_t FIRST_EXT_TYPE = CEA_AUDIO_EXT_MPEG4_HE_AAC;
constexpr uint32_t EXT_TYPES = sizeof EXT_TYPE_NAMES / sizeof EXT_TYPE_NAMES[0];
static_assert(FIRST_EXT_TYPE + EXT_TYPES - 1 == CEA_AUDIO_EXT_MPEG_D_USAC);

constexpr uint32_t RATES_HZ[RATE_BITS] = {32000, 44100, 48000, 88200, 96000, 176400, 192000};

const char *const SPEAKER_NAMES[] = {
    "FL/FR",   "LFE1",        "FC",        "BL/BR", "BC",        "FLc/FRc",   "RLC/RRC",
    "FLw/FRw", "TpFL/TpFR",   "TpC",       "TpFC",  "LS/RS",     "LFE2",      "TpBC",
    "SiL/SiR", "TpSiL/TpSiR", "TpBL/TpBR", "BtFC",  "BtFL/BtFR", "TpLS/TpRS", "LSd/RSd"};
constexpr uint32_t SPEAKERS = sizeof SPEAKER_NAMES / sizeof SPEAKER_NAMES[0];
static_assert(1u << (SPEAKERS - 1) == CEA_SPEAKER_LSD_RSD);
constexpr uint32_t SPEAKER_MASK_BITS = 8 * SPEAKER_BYTES;

const char *const SPEAKER_ID_NAMES[] = {"FL",   "FR",   "FC",   "LFE1", "BL",    "BR",    "FLC",
                                        "FRC",  "BC",   "LFE2", "SiL",  "SiR",   "TpFL",  "TpFR",
                                        "TpFC", "TpC",  "TpBL", "TpBR", "TpSiL", "TpSiR", "TpBC",
                                        "BtFC", "BtFL", "BtFR", "FLW",  "FRW",   "LS",    "RS"};
constexpr uint32_t SPEAKER_IDS = sizeof SPEAKER_ID_NAMES / sizeof SPEAKER_ID_NAMES[0];

// HDMI 3D channel allocation types 1 to 3.
const char *const ALLOCATION_TYPES[] = {nullptr, "10.2 channels", "22.2 channels", "30.2 channels"};
constexpr uint32_t ALLOCATION_TYPE_COUNT = sizeof ALLOCATION_TYPES / sizeof ALLOCATION_TYPES[0];

// ---- Wire helpers ----

// A place (x, y, z) in signed 64ths of the room's size: a byte each.
void put_place(int8_t x, int8_t y, int8_t z, Writer *w)
{
    put(w, uint8_t(x));
    put(w, uint8_t(y));
    put(w, uint8_t(z));
}

// Types of format 15 that state no channel count.
constexpr bool states_channels(uint32_t format, uint32_t ext_type)
{
    return format != CEA_AUDIO_EXTENDED ||
           (ext_type != CEA_AUDIO_EXT_MPEG_H_3D && ext_type != CEA_AUDIO_EXT_AC4 &&
            ext_type != CEA_AUDIO_EXT_AURO_CX);
}

constexpr bool known_ext_type(uint32_t t)
{
    return t >= FIRST_EXT_TYPE && t < FIRST_EXT_TYPE + EXT_TYPES &&
           EXT_TYPE_NAMES[t - FIRST_EXT_TYPE] != nullptr;
}

// The AAC types, whose byte 2 bits 2..1 are the frame lengths.
constexpr bool aac_type(uint32_t t)
{
    return t == CEA_AUDIO_EXT_MPEG4_HE_AAC || t == CEA_AUDIO_EXT_MPEG4_HE_AAC_V2 ||
           t == CEA_AUDIO_EXT_MPEG4_AAC_LC || t == CEA_AUDIO_EXT_MPEG4_HE_AAC_MPS ||
           t == CEA_AUDIO_EXT_MPEG4_AAC_LC_MPS;
}

// The bits of byte 2 that a format's (and type's) fields name; options
// holds the others as they are.
constexpr uint32_t TYPE_BITS = 0xF8, DETAIL_BITS = 0x07;
constexpr uint32_t named_bits(uint32_t format, uint32_t ext_type)
{
    switch (format) {
    case CEA_AUDIO_LPCM:
    case CEA_AUDIO_WMA_PRO: return DETAIL_BITS;
    case CEA_AUDIO_EAC3:
    case CEA_AUDIO_MLP: return NAMED_FLAGS;
    case CEA_AUDIO_EXTENDED: break;
    default: return format >= CEA_AUDIO_AC3 && format <= CEA_AUDIO_ATRAC ? 0xFF : 0x00;
    }
    switch (ext_type) {
    case CEA_AUDIO_EXT_MPEG4_HE_AAC:
    case CEA_AUDIO_EXT_MPEG4_HE_AAC_V2: return TYPE_BITS | 0x06; // frame lengths
    case CEA_AUDIO_EXT_MPEG4_AAC_LC:
    case CEA_AUDIO_EXT_MPEG4_HE_AAC_MPS:
    case CEA_AUDIO_EXT_MPEG4_AAC_LC_MPS:
    case CEA_AUDIO_EXT_LPCM_3D: return TYPE_BITS | DETAIL_BITS;
    case CEA_AUDIO_EXT_MPEG_H_3D: return TYPE_BITS | 0x01;
    default: return TYPE_BITS; // DRA, AC-4, Auro-Cx, MPEG-D USAC, reserved types
    }
}

// Whether options is the format's own value rather than bits beside fields.
constexpr bool options_are_value(uint32_t format, uint32_t ext_type)
{
    if (format == CEA_AUDIO_EXTENDED)
        return ext_type == CEA_AUDIO_EXT_AC4 || ext_type == CEA_AUDIO_EXT_AURO_CX ||
               !known_ext_type(ext_type);
    return named_bits(format, ext_type) == 0;
}

// Byte 2 bits 2..0 of format 15, by type, into the named fields.
void decode_ext_detail(uint32_t low, CeaSad *sad)
{
    const uint32_t t = sad->ext_type;
    if (aac_type(t)) {
        sad->frame_length_1024 = uint8_t(get_bits(uint8_t(low), 2, 2));
        sad->frame_length_960 = uint8_t(get_bits(uint8_t(low), 1, 1));
        if (t == CEA_AUDIO_EXT_MPEG4_AAC_LC) sad->aac_22_2 = uint8_t(low & 1);
        if (t == CEA_AUDIO_EXT_MPEG4_HE_AAC_MPS || t == CEA_AUDIO_EXT_MPEG4_AAC_LC_MPS)
            sad->mps_explicit = uint8_t(low & 1);
    }
    if (t == CEA_AUDIO_EXT_MPEG_H_3D) sad->mpeg_h_low_complexity = uint8_t(low & 1);
    if (t == CEA_AUDIO_EXT_LPCM_3D) sad->sample_sizes = uint8_t(low);
}

uint32_t ext_detail(const CeaSad *sad)
{
    const uint32_t t = sad->ext_type;
    if (aac_type(t))
        return put_bits(sad->frame_length_1024, 2, 2) | put_bits(sad->frame_length_960, 1, 1) |
               put_bits(t == CEA_AUDIO_EXT_MPEG4_AAC_LC ? sad->aac_22_2 : 0, 0, 0) |
               put_bits(t == CEA_AUDIO_EXT_MPEG4_AAC_LC ? 0 : sad->mps_explicit, 0, 0);
    if (t == CEA_AUDIO_EXT_MPEG_H_3D) return put_bits(sad->mpeg_h_low_complexity, 0, 0);
    if (t == CEA_AUDIO_EXT_LPCM_3D) return put_bits(sad->sample_sizes, 2, 0);
    return 0;
}

// ---- Printing helpers ----

void print_speaker_mask(const char *name, uint32_t speakers)
{
    printf("   %s:", name);
    if ((speakers & ((1u << SPEAKER_MASK_BITS) - 1)) == 0) printf(" none");
    for (uint32_t bit = 0; bit < SPEAKER_MASK_BITS; ++bit) {
        if (!(speakers >> bit & 1)) continue;
        if (bit < SPEAKERS)
            printf(" %s", SPEAKER_NAMES[bit]);
        else
            printf(" reserved (bit %u)", unsigned(bit));
    }
    putchar('\n');
}

void print_rates(uint32_t rates)
{
    rates &= (1u << RATE_BITS) - 1;
    if (rates == 0) {
        printf(" no rates");
        return;
    }
    for (uint32_t bit = 0; bit < RATE_BITS; ++bit) {
        if (!(rates >> bit & 1)) continue;
        const uint32_t hz = RATES_HZ[bit];
        if (hz % 1000)
            printf(" %u.%u", unsigned(hz / 1000), unsigned(hz % 1000 / 100));
        else
            printf(" %u", unsigned(hz / 1000));
    }
    printf(" kHz");
}

void print_sample_sizes(uint32_t sizes)
{
    if ((sizes & 7) == 0) return;
    printf(", sample sizes");
    if (sizes & CEA_AUDIO_DEPTH_16) printf(" 16");
    if (sizes & CEA_AUDIO_DEPTH_20) printf(" 20");
    if (sizes & CEA_AUDIO_DEPTH_24) printf(" 24");
    printf(" bits");
}

// A signed 64th as a decimal fraction with three places: "-1.000", "0.016".
void print_64ths(int8_t value)
{
    const int32_t millionths = int32_t(value) * 15625; // 1/64 = 0.015625
    const uint32_t magnitude = uint32_t(millionths < 0 ? -millionths : millionths);
    const uint32_t thousandths = (magnitude + 500) / 1000;
    printf(" %s%u.%03u", millionths < 0 ? "-" : "", unsigned(thousandths / 1000),
           unsigned(thousandths % 1000));
}

// " x y z of the room's size", no line end.
void print_place(int8_t x, int8_t y, int8_t z)
{
    print_64ths(x);
    print_64ths(y);
    print_64ths(z);
    printf(" of the room's size");
}

void print_format_name(const CeaSad *sad)
{
    const char *name = cea_audio_format_name(sad->format, sad->ext_type);
    if (strcmp(name, "reserved") != 0)
        printf("%s", name);
    else if (sad->format == CEA_AUDIO_EXTENDED)
        printf("format 15 type reserved (%u)", unsigned(sad->ext_type));
    else
        printf("format reserved (%u)", unsigned(sad->format));
}

// "name: 8 channels, 32 44.1 48 kHz, ..." without indent or line end.
void print_sad_text(const CeaSad *sad)
{
    print_format_name(sad);
    printf(":");
    if (states_channels(sad->format, sad->ext_type))
        printf(" %u channel%s,", unsigned(sad->channels), sad->channels == 1 ? "" : "s");
    print_rates(sad->rates);
    switch (sad->format) {
    case CEA_AUDIO_LPCM: print_sample_sizes(sad->sample_sizes); break;
    case CEA_AUDIO_AC3:
    case CEA_AUDIO_MPEG1:
    case CEA_AUDIO_MP3:
    case CEA_AUDIO_MPEG2:
    case CEA_AUDIO_AAC:
    case CEA_AUDIO_DTS:
    case CEA_AUDIO_ATRAC: printf(", max %u kbit/s", unsigned(sad->max_bitrate_kbps)); break;
    case CEA_AUDIO_EAC3:
        if (sad->joint_object_coding) printf(", joint object coding");
        if (sad->joint_object_coding_acmod28) printf(", joint object coding with ACMOD 28");
        break;
    case CEA_AUDIO_MLP:
        if (!sad->mat_pcm)
            printf(", Dolby TrueHD only");
        else
            printf(", Dolby TrueHD, object audio and channel-based PCM, hash %s",
                   sad->mat_hash_not_required ? "not required" : "required");
        break;
    case CEA_AUDIO_WMA_PRO: printf(", profile %u", unsigned(sad->wma_pro_profile)); break;
    case CEA_AUDIO_EXTENDED:
        if (sad->frame_length_960 || sad->frame_length_1024)
            printf(", frame lengths%s%s", sad->frame_length_960 ? " 960" : "",
                   sad->frame_length_1024 ? " 1024" : "");
        if (sad->aac_22_2) printf(", 22.2 channels");
        if (sad->mps_explicit) printf(", MPEG Surround signalled implicitly and explicitly");
        if (sad->ext_type == CEA_AUDIO_EXT_MPEG_H_3D) {
            if (sad->mpeg_h_level == 0)
                printf(", level unspecified");
            else if (sad->mpeg_h_level <= MPEG_H_LEVELS)
                printf(", level %u", unsigned(sad->mpeg_h_level));
            else
                printf(", level reserved (%u)", unsigned(sad->mpeg_h_level));
            if (sad->mpeg_h_low_complexity) printf(", low complexity profile");
        }
        if (sad->ext_type == CEA_AUDIO_EXT_LPCM_3D) print_sample_sizes(sad->sample_sizes);
        break;
    default: break;
    }
    if (options_are_value(sad->format, sad->ext_type))
        printf(", value 0x%02X", unsigned(sad->options));
    else if (sad->options)
        printf(", other bits 0x%02X", unsigned(sad->options));
}

} // namespace

// Names.

const char *cea_audio_format_name(uint32_t format, uint32_t ext_type)
{
    if (format == CEA_AUDIO_EXTENDED)
        return known_ext_type(ext_type) ? EXT_TYPE_NAMES[ext_type - FIRST_EXT_TYPE] : "reserved";
    return format > 0 && format < FORMATS ? FORMAT_NAMES[format] : "reserved";
}

uint32_t cea_audio_rate_hz(uint32_t bit)
{
    return bit < RATE_BITS ? RATES_HZ[bit] : 0;
}

const char *cea_speaker_name(uint32_t bit)
{
    return bit < SPEAKERS ? SPEAKER_NAMES[bit] : "reserved";
}

const char *cea_speaker_id_name(uint32_t id)
{
    return id < SPEAKER_IDS ? SPEAKER_ID_NAMES[id] : "reserved";
}

// Short audio descriptor.

void cea_decode_sad(const uint8_t *bytes, CeaSad *sad)
{
    const uint8_t b0 = bytes[0], b1 = bytes[1], b2 = bytes[2];
    memset(sad, 0, sizeof *sad);
    sad->format = uint8_t(get_bits(b0, 6, 3));
    sad->rates = uint8_t(get_bits(b1, 6, 0));
    uint32_t channels = get_bits(b0, 2, 0);
    if (sad->format == CEA_AUDIO_EXTENDED) {
        sad->ext_type = uint8_t(get_bits(b2, 7, 3));
        if (sad->ext_type == CEA_AUDIO_EXT_LPCM_3D)
            channels |= get_bits(b0, 7, 7) << 3 | get_bits(b1, 7, 7) << 4;
        if (sad->ext_type == CEA_AUDIO_EXT_MPEG_H_3D)
            sad->mpeg_h_level = uint8_t(get_bits(b0, 2, 0));
    }
    cea_decode_sad_byte2(b2, sad);
    sad->channels = states_channels(sad->format, sad->ext_type) ? uint8_t(channels + 1) : 0;
}

void cea_decode_sad_byte2(uint8_t b2, CeaSad *sad)
{
    switch (sad->format) {
    case CEA_AUDIO_LPCM: sad->sample_sizes = uint8_t(get_bits(b2, 2, 0)); break;
    case CEA_AUDIO_AC3:
    case CEA_AUDIO_MPEG1:
    case CEA_AUDIO_MP3:
    case CEA_AUDIO_MPEG2:
    case CEA_AUDIO_AAC:
    case CEA_AUDIO_DTS:
    case CEA_AUDIO_ATRAC: sad->max_bitrate_kbps = uint16_t(b2 * CEA_AUDIO_BITRATE_UNIT_KBPS); break;
    case CEA_AUDIO_EAC3:
        sad->joint_object_coding = uint8_t(get_bits(b2, 0, 0));
        sad->joint_object_coding_acmod28 = uint8_t(get_bits(b2, 1, 1));
        break;
    case CEA_AUDIO_MLP:
        sad->mat_pcm = uint8_t(get_bits(b2, 0, 0));
        sad->mat_hash_not_required = uint8_t(get_bits(b2, 1, 1));
        break;
    case CEA_AUDIO_WMA_PRO: sad->wma_pro_profile = uint8_t(get_bits(b2, 2, 0)); break;
    case CEA_AUDIO_EXTENDED: decode_ext_detail(get_bits(b2, 2, 0), sad); break;
    default: break; // 0, one-bit audio, DTS-HD, DST: options
    }
    sad->options = uint8_t(b2 & ~named_bits(sad->format, sad->ext_type));
}

void cea_encode_sad(const CeaSad *sad, uint8_t *bytes)
{
    const uint32_t format = get_bits(sad->format, 3, 0);
    const uint32_t ext_type = format == CEA_AUDIO_EXTENDED ? get_bits(sad->ext_type, 4, 0) : 0;
    uint32_t b0 = put_bits(format, 6, 3), b1 = put_bits(sad->rates, 6, 0), b2 = 0;
    if (states_channels(format, ext_type)) {
        const uint32_t count = sad->channels - 1u;
        b0 |= put_bits(count, 2, 0);
        if (ext_type == CEA_AUDIO_EXT_LPCM_3D) {
            b0 |= put_bits(count >> 3, 7, 7);
            b1 |= put_bits(count >> 4, 7, 7);
        }
    } else if (ext_type == CEA_AUDIO_EXT_MPEG_H_3D) {
        b0 |= put_bits(sad->mpeg_h_level, 2, 0);
    }
    switch (format) {
    case CEA_AUDIO_LPCM: b2 = put_bits(sad->sample_sizes, 2, 0); break;
    case CEA_AUDIO_AC3:
    case CEA_AUDIO_MPEG1:
    case CEA_AUDIO_MP3:
    case CEA_AUDIO_MPEG2:
    case CEA_AUDIO_AAC:
    case CEA_AUDIO_DTS:
    case CEA_AUDIO_ATRAC: b2 = (sad->max_bitrate_kbps / CEA_AUDIO_BITRATE_UNIT_KBPS) & 0xFF; break;
    case CEA_AUDIO_EAC3:
        b2 = put_bits(sad->joint_object_coding, 0, 0) |
             put_bits(sad->joint_object_coding_acmod28, 1, 1);
        break;
    case CEA_AUDIO_MLP:
        b2 = put_bits(sad->mat_pcm, 0, 0) | put_bits(sad->mat_hash_not_required, 1, 1);
        break;
    case CEA_AUDIO_WMA_PRO: b2 = put_bits(sad->wma_pro_profile, 2, 0); break;
    case CEA_AUDIO_EXTENDED: b2 = put_bits(ext_type, 7, 3) | ext_detail(sad); break;
    default: break;
    }
    b2 |= sad->options & ~named_bits(format, ext_type);
    bytes[0] = uint8_t(b0);
    bytes[1] = uint8_t(b1);
    bytes[2] = uint8_t(b2);
}

void cea_print_sad(const CeaSad *sad)
{
    printf("   ");
    print_sad_text(sad);
    putchar('\n');
}

// Lists of short audio descriptors: the audio data block's and the HDMI
// audio block's multi-stream part.

namespace {

// From payload byte `at` on, as many whole descriptors as the payload
// holds, up to max; returns how many.
uint32_t decode_sads(const Reader &r, uint32_t at, CeaSad *sads, uint32_t max)
{
    uint32_t n = 0;
    for (; n < max && at + CEA_SAD_SIZE <= r.size; ++n, at += CEA_SAD_SIZE)
        cea_decode_sad(r.bytes + at, &sads[n]);
    return n;
}

void put_sads(const CeaSad *sads, uint32_t count, Writer *w)
{
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t sad[CEA_SAD_SIZE];
        cea_encode_sad(&sads[i], sad);
        put_bytes(w, sad, CEA_SAD_SIZE);
    }
}

} // namespace

// Audio data block.

void cea_decode_audio_data_block(const uint8_t *header, CeaAudioDataBlock *audio)
{
    const Reader r = payload_of(header);
    memset(audio, 0, sizeof *audio);
    audio->count = decode_sads(r, 0, audio->sads, CEA_MAX_AUDIO_DESCRIPTORS);
    audio->trailing_size =
        keep_trailing(r, CEA_SAD_SIZE * audio->count, audio->trailing, sizeof audio->trailing);
}

uint32_t cea_encode_audio_data_block(const CeaAudioDataBlock *audio, uint8_t *header)
{
    Writer w{};
    put_sads(audio->sads, min_u32(audio->count, CEA_MAX_AUDIO_DESCRIPTORS), &w);
    put_trailing(&w, audio->trailing, audio->trailing_size, sizeof audio->trailing);
    return finish(w, CEA_TAG_AUDIO, header);
}

void cea_print_audio_data_block(const CeaAudioDataBlock *audio)
{
    const uint32_t count = min_u32(audio->count, CEA_MAX_AUDIO_DESCRIPTORS);
    for (uint32_t i = 0; i < count; ++i) cea_print_sad(&audio->sads[i]);
    print_trailing(audio->trailing, audio->trailing_size, sizeof audio->trailing);
}

// Speaker allocation data block.

void cea_decode_speaker_allocation_data_block(const uint8_t *header,
                                              CeaSpeakerAllocationDataBlock *spk)
{
    const Reader r = payload_of(header);
    memset(spk, 0, sizeof *spk);
    spk->speakers = le24_at(r, 0);
    spk->trailing_size = keep_trailing(r, SPEAKER_BYTES, spk->trailing);
}

uint32_t cea_encode_speaker_allocation_data_block(const CeaSpeakerAllocationDataBlock *spk,
                                                  uint8_t *header)
{
    Writer w{};
    put_le24(&w, spk->speakers);
    put_trailing(&w, spk->trailing, spk->trailing_size);
    return finish(w, CEA_TAG_SPEAKER, header);
}

void cea_print_speaker_allocation_data_block(const CeaSpeakerAllocationDataBlock *spk)
{
    print_speaker_mask("Speakers", spk->speakers);
    print_trailing(spk->trailing, spk->trailing_size);
}

// Vendor-specific audio data block.

void cea_decode_vendor_audio(const uint8_t *header, CeaVendorAudio *vendor)
{
    const Reader r = extended_payload_of(header);
    memset(vendor, 0, sizeof *vendor);
    vendor->oui = le24_at(r, 0);
    uint32_t from = OUI_SIZE;
    if (vendor->oui == CEA_OUI_DOLBY && r.size >= OUI_SIZE + DOLBY_FIELDS) {
        const uint8_t b3 = r.bytes[OUI_SIZE], b4 = r.bytes[OUI_SIZE + 1];
        vendor->has_dolby_fields = 1;
        vendor->dolby_version = uint8_t(get_bits(b3, 2, 0) + 1);
        vendor->dolby_center_zone = uint8_t(get_bits(b3, 4, 4));
        vendor->dolby_surround_zone = uint8_t(get_bits(b3, 5, 5));
        vendor->dolby_height_zone = uint8_t(get_bits(b3, 6, 6));
        vendor->dolby_headphone_only = uint8_t(get_bits(b3, 7, 7));
        vendor->dolby_mat_pcm_48khz_only = uint8_t(get_bits(b4, 0, 0));
        from += DOLBY_FIELDS;
    }
    vendor->payload_size = keep_trailing(r, from, vendor->payload, CEA_MAX_VENDOR_AUDIO_PAYLOAD);
}

uint32_t cea_encode_vendor_audio(const CeaVendorAudio *vendor, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_VENDOR_AUDIO);
    put_le24(&w, vendor->oui);
    if (vendor->has_dolby_fields) {
        put(&w, put_bits(vendor->dolby_version - 1u, 2, 0) |
                    put_bits(vendor->dolby_center_zone, 4, 4) |
                    put_bits(vendor->dolby_surround_zone, 5, 5) |
                    put_bits(vendor->dolby_height_zone, 6, 6) |
                    put_bits(vendor->dolby_headphone_only, 7, 7));
        put(&w, put_bits(vendor->dolby_mat_pcm_48khz_only, 0, 0));
    }
    put_trailing(&w, vendor->payload, vendor->payload_size, CEA_MAX_VENDOR_AUDIO_PAYLOAD);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_vendor_audio(const CeaVendorAudio *vendor)
{
    printf("   OUI: ");
    print_oui(vendor->oui);
    puts(vendor->oui == CEA_OUI_DOLBY ? " (Dolby)" : "");
    if (vendor->has_dolby_fields) {
        printf("   Version: %u\n", unsigned(vendor->dolby_version));
        printf("   Speaker zones:%s%s%s%s\n", vendor->dolby_center_zone ? " center" : "",
               vendor->dolby_surround_zone ? " surround" : "",
               vendor->dolby_height_zone ? " height" : "",
               vendor->dolby_center_zone || vendor->dolby_surround_zone || vendor->dolby_height_zone
                   ? ""
                   : " none");
        if (vendor->dolby_headphone_only) puts("   Playback: headphones only");
        if (vendor->dolby_mat_pcm_48khz_only) puts("   MAT: PCM at 48 kHz only, no Dolby TrueHD");
    }
    print_hex("Payload", vendor->payload,
              min_u32(vendor->payload_size, CEA_MAX_VENDOR_AUDIO_PAYLOAD));
}

// HDMI audio data block.

void cea_decode_hdmi_audio(const uint8_t *header, CeaHdmiAudio *audio)
{
    const Reader r = extended_payload_of(header);
    memset(audio, 0, sizeof *audio);
    audio->max_streams = uint8_t(get_bits(byte_at(r, 0), 1, 0) + 1);
    audio->ms_non_mixed = uint8_t(get_bits(byte_at(r, 0), 2, 2));
    audio->count_3d = uint8_t(get_bits(byte_at(r, 1), 2, 0));
    uint32_t at = min_u32(r.size, HDMI_AUDIO_HEADER);
    const uint32_t part_3d = audio->count_3d * AUDIO_3D_SIZE + SPEAKERS_3D_SIZE;
    if (audio->count_3d && at + part_3d <= r.size) {
        audio->has_3d = 1;
        for (uint32_t i = 0; i < audio->count_3d; ++i, at += AUDIO_3D_SIZE) {
            const uint8_t *b = r.bytes + at;
            CeaHdmi3dAudioDescriptor *d = &audio->descriptors_3d[i];
            d->format = uint8_t(get_bits(b[0], 3, 0));
            d->channels = uint8_t(get_bits(b[1], 4, 0) + 1);
            d->rates = uint8_t(get_bits(b[2], 6, 0));
            d->detail = b[3];
        }
        audio->speakers_3d = le24_at(r, at);
        audio->channel_allocation_type = uint8_t(get_bits(r.bytes[at + SPEAKER_BYTES], 7, 4));
        at += SPEAKERS_3D_SIZE;
    }
    // Multi-stream descriptors follow a whole 3D part, or none.
    if (audio->count_3d == 0 || audio->has_3d) {
        audio->ms_count = decode_sads(r, at, audio->ms_sads, CEA_MAX_MS_SADS);
        at += CEA_SAD_SIZE * audio->ms_count;
    }
    audio->trailing_size = keep_trailing(r, at, audio->trailing);
}

uint32_t cea_encode_hdmi_audio(const CeaHdmiAudio *audio, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_HDMI_AUDIO);
    const uint32_t count_3d = get_bits(audio->count_3d, 2, 0);
    put(&w, put_bits(audio->max_streams - 1u, 1, 0) | put_bits(audio->ms_non_mixed, 2, 2));
    put(&w, count_3d);
    if (audio->has_3d) {
        for (uint32_t i = 0; i < count_3d; ++i) {
            const CeaHdmi3dAudioDescriptor *d = &audio->descriptors_3d[i];
            put(&w, put_bits(d->format, 3, 0));
            put(&w, put_bits(d->channels - 1u, 4, 0));
            put(&w, put_bits(d->rates, 6, 0));
            put(&w, d->detail);
        }
        put_le24(&w, audio->speakers_3d);
        put(&w, put_bits(audio->channel_allocation_type, 7, 4));
    }
    put_sads(audio->ms_sads, min_u32(audio->ms_count, CEA_MAX_MS_SADS), &w);
    put_trailing(&w, audio->trailing, audio->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_hdmi_audio(const CeaHdmiAudio *audio)
{
    printf("   Streams: %u\n", unsigned(audio->max_streams));
    if (audio->ms_non_mixed) puts("   Non-mixed multi-stream audio: yes");
    const uint32_t count_3d = audio->has_3d ? get_bits(audio->count_3d, 2, 0) : 0;
    if (audio->count_3d && !audio->has_3d)
        printf("   3D audio descriptors: %u, not held whole\n",
               unsigned(get_bits(audio->count_3d, 2, 0)));
    for (uint32_t i = 0; i < count_3d; ++i) {
        const CeaHdmi3dAudioDescriptor *d = &audio->descriptors_3d[i];
        printf("   3D audio: ");
        if (d->format > 0 && d->format < FORMATS)
            printf("%s", FORMAT_NAMES[d->format]);
        else
            printf("format reserved (%u)", unsigned(d->format));
        printf(", %u channels,", unsigned(d->channels));
        print_rates(d->rates);
        if (d->format == CEA_AUDIO_LPCM)
            print_sample_sizes(d->detail);
        else if (d->detail)
            printf(", value 0x%02X", unsigned(d->detail));
        putchar('\n');
    }
    if (audio->has_3d) {
        print_speaker_mask("3D speakers", audio->speakers_3d);
        print_code("3D channel allocation", audio->channel_allocation_type, ALLOCATION_TYPES,
                   ALLOCATION_TYPE_COUNT);
    }
    const uint32_t ms_count = min_u32(audio->ms_count, CEA_MAX_MS_SADS);
    for (uint32_t i = 0; i < ms_count; ++i) {
        printf("   Multi-stream audio: ");
        print_sad_text(&audio->ms_sads[i]);
        putchar('\n');
    }
    print_trailing(audio->trailing, audio->trailing_size);
}

// Room configuration data block.

void cea_decode_room_configuration(const uint8_t *header, CeaRoomConfiguration *room)
{
    const Reader r = extended_payload_of(header);
    memset(room, 0, sizeof *room);
    const uint8_t b0 = byte_at(r, 0);
    room->display = uint8_t(get_bits(b0, 7, 7));
    room->speaker_count = get_bits(b0, 6, 6) ? uint8_t(get_bits(b0, 4, 0) + 1) : 0;
    room->sld = uint8_t(get_bits(b0, 5, 5));
    room->speakers = le24_at(r, ROOM_SPEAKERS);
    uint32_t end = min_u32(r.size, ROOM_SIZE);
    if (r.size >= ROOM_DISPLAY) {
        room->has_room_size = 1;
        room->x_max_dm = r.bytes[ROOM_SIZE];
        room->y_max_dm = r.bytes[ROOM_SIZE + 1];
        room->z_max_dm = r.bytes[ROOM_SIZE + 2];
        end = ROOM_DISPLAY;
    }
    if (r.size >= ROOM_END) {
        room->has_display_place = 1;
        room->display_x_64ths = int8_t(r.bytes[ROOM_DISPLAY]);
        room->display_y_64ths = int8_t(r.bytes[ROOM_DISPLAY + 1]);
        room->display_z_64ths = int8_t(r.bytes[ROOM_DISPLAY + 2]);
        end = ROOM_END;
    }
    room->trailing_size = keep_trailing(r, end, room->trailing);
}

uint32_t cea_encode_room_configuration(const CeaRoomConfiguration *room, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_ROOM_CONFIGURATION);
    const uint32_t count = room->speaker_count;
    put(&w, put_bits(room->display, 7, 7) | put_bits(count != 0, 6, 6) | put_bits(room->sld, 5, 5) |
                put_bits(count ? count - 1 : 0, 4, 0));
    put_le24(&w, room->speakers);
    if (room->has_room_size || room->has_display_place) {
        put(&w, room->x_max_dm);
        put(&w, room->y_max_dm);
        put(&w, room->z_max_dm);
    }
    if (room->has_display_place) {
        put_place(room->display_x_64ths, room->display_y_64ths, room->display_z_64ths, &w);
    }
    put_trailing(&w, room->trailing, room->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_room_configuration(const CeaRoomConfiguration *room)
{
    if (room->speaker_count)
        printf("   Speaker count: %u\n", unsigned(room->speaker_count));
    else
        puts("   Speaker count: not given");
    printf("   Speaker location data block: %s\n", room->sld ? "describes the speakers" : "none");
    print_speaker_mask("Speakers", room->speakers);
    if (room->has_room_size)
        printf("   Room size (x, y, z): %u %u %u dm\n", unsigned(room->x_max_dm),
               unsigned(room->y_max_dm), unsigned(room->z_max_dm));
    if (room->has_display_place) {
        printf("   Display place (x, y, z)%s:", room->display ? "" : " (not given)");
        print_place(room->display_x_64ths, room->display_y_64ths, room->display_z_64ths);
        putchar('\n');
    }
    print_trailing(room->trailing, room->trailing_size);
}

// Speaker location data block.

void cea_decode_speaker_location(const uint8_t *header, CeaSpeakerLocation *loc)
{
    const Reader r = extended_payload_of(header);
    memset(loc, 0, sizeof *loc);
    uint32_t at = 0;
    while (at + LOCATION_SIZE <= r.size && loc->count < CEA_MAX_SPEAKER_LOCATIONS) {
        const uint8_t *b = r.bytes + at;
        const bool coordinates = get_bits(b[0], 6, 6);
        const uint32_t size = coordinates ? LOCATION_WITH_COORDINATES : LOCATION_SIZE;
        if (at + size > r.size) break; // cut short: kept as trailing bytes
        CeaSpeakerLocationDescriptor *d = &loc->descriptors[loc->count++];
        d->channel = uint8_t(get_bits(b[0], 4, 0));
        d->active = uint8_t(get_bits(b[0], 5, 5));
        d->has_coordinates = coordinates;
        d->speaker_id = uint8_t(get_bits(b[1], 4, 0));
        if (coordinates) {
            d->x_64ths = int8_t(b[2]);
            d->y_64ths = int8_t(b[3]);
            d->z_64ths = int8_t(b[4]);
        }
        at += size;
    }
    loc->trailing_size = keep_trailing(r, at, loc->trailing);
}

uint32_t cea_encode_speaker_location(const CeaSpeakerLocation *loc, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_SPEAKER_LOCATION);
    const uint32_t count = min_u32(loc->count, CEA_MAX_SPEAKER_LOCATIONS);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaSpeakerLocationDescriptor *d = &loc->descriptors[i];
        put(&w, put_bits(d->has_coordinates, 6, 6) | put_bits(d->active, 5, 5) |
                    put_bits(d->channel, 4, 0));
        put(&w, put_bits(d->speaker_id, 4, 0));
        if (d->has_coordinates) put_place(d->x_64ths, d->y_64ths, d->z_64ths, &w);
    }
    put_trailing(&w, loc->trailing, loc->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_speaker_location(const CeaSpeakerLocation *loc)
{
    const uint32_t count = min_u32(loc->count, CEA_MAX_SPEAKER_LOCATIONS);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaSpeakerLocationDescriptor *d = &loc->descriptors[i];
        printf("   Channel %u: ", unsigned(d->channel));
        if (d->speaker_id < SPEAKER_IDS)
            printf("%s", SPEAKER_ID_NAMES[d->speaker_id]);
        else
            printf("speaker reserved (%u)", unsigned(d->speaker_id));
        printf(", %s", d->active ? "active" : "not active");
        if (d->has_coordinates) {
            printf(", at");
            print_place(d->x_64ths, d->y_64ths, d->z_64ths);
        }
        putchar('\n');
    }
    print_trailing(loc->trailing, loc->trailing_size);
}
