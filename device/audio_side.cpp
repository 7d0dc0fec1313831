// SPDX-License-Identifier: MIT
// audio_side.cpp - the device's audio side (EdidDeviceAudio): whole CEA
// data blocks of the audio kinds in their wire form, filled in one of four
// ways (the device's default, another EDID's audio blocks, formats and
// speakers), and the speaker allocation that the audio rules add.
#include <edid/device_edid.h>
#include <string.h>

#include "device/device.h"
#include "edid/bits.h"
#include "edid/cea.h"
#include "edid/format.h"
#include "edid/sink_layout.h"

using edid_bits::get_bits;
using edid_bits::put_bits;

namespace edid_device {

namespace {

constexpr unsigned SAD_SIZE = 3;           // bytes of a short audio descriptor
constexpr unsigned SADS_PER_BLOCK = 10;    // a 31-byte payload holds ten
constexpr uint32_t MAX_CHANNELS = 8;       // three bits of channel count
constexpr uint32_t MAX_CHANNELS_3D = 32;   // five bits for L-PCM 3D audio
constexpr unsigned SPEAKER_PAYLOAD = 3;    // speaker allocation: three bytes
constexpr uint8_t RATE_BITS = 0x7F;        // byte 1 bits 6..0
constexpr uint8_t TYPE_DETAIL_BITS = 0x07; // format 15: byte 2 bits 2..0
constexpr uint32_t BASIC_RATES = CEA_AUDIO_RATE_32 | CEA_AUDIO_RATE_44 | CEA_AUDIO_RATE_48;
constexpr uint8_t RESERVED_EXTENSION = 9; // between the MPEG Surround types

// The shortest payload, extended tag included, of the audio blocks that
// checkers read field by field: speaker allocation (3 bytes), vendor-
// specific audio (its OUI), HDMI audio (2 bytes after the tag), room
// configuration (speaker count and presence mask: 4) and speaker location
// (one 2-byte descriptor).
constexpr uint32_t SPEAKER_MIN_PAYLOAD = SPEAKER_PAYLOAD;
constexpr uint32_t VENDOR_AUDIO_MIN_PAYLOAD = 1 + 3;
constexpr uint32_t HDMI_AUDIO_MIN_PAYLOAD = 1 + 2;
constexpr uint32_t ROOM_MIN_PAYLOAD = 1 + 4;
constexpr uint32_t LOCATION_MIN_PAYLOAD = 1 + 2;
// Room configuration, payload byte 1 (after the extended tag) bit 5: the
// speaker locations follow in a speaker location block.
constexpr unsigned ROOM_FLAGS = 2, ROOM_SLD_BIT = 5;

// A data block of an audio kind: audio, speaker allocation, or an extended
// tag of the audio range.
bool is_audio_kind(const uint8_t *block, uint32_t length)
{
    switch (get_bits(block[0], 7, 5)) {
    case CEA_TAG_AUDIO:
    case CEA_TAG_SPEAKER: return true;
    case CEA_TAG_EXTENDED:
        return length > 1 && block[1] >= CEA_EXT_FIRST_AUDIO && block[1] <= CEA_EXT_LAST_AUDIO;
    default: return false;
    }
}

// Appends whole blocks (wire bytes of `length`) after what audio holds.
int append(EdidDeviceAudio *audio, const uint8_t *bytes, uint32_t length)
{
    if (audio->size > EDID_DEVICE_AUDIO_BYTES || length > EDID_DEVICE_AUDIO_BYTES - audio->size)
        return EDID_DEVICE_AUDIO_TOO_LARGE;
    memcpy(audio->blocks + audio->size, bytes, length);
    audio->size += length;
    return EDID_DEVICE_OK;
}

// A format with a channel count, and its range.
uint32_t channel_limit(const EdidAudioFormat &f)
{
    if (f.format != CEA_AUDIO_EXTENDED) return MAX_CHANNELS;
    switch (f.extension) {
    case CEA_AUDIO_EXT_LPCM_3D: return MAX_CHANNELS_3D;
    case CEA_AUDIO_EXT_MPEG_H_3D:
    case CEA_AUDIO_EXT_AC4:
    case CEA_AUDIO_EXT_AURO_CX: return 0; // these state no channel count
    default: return MAX_CHANNELS;
    }
}

bool known_format(const EdidAudioFormat &f)
{
    if (f.format == CEA_AUDIO_UNKNOWN || f.format > CEA_AUDIO_EXTENDED) return false;
    if (f.format != CEA_AUDIO_EXTENDED) return true;
    return f.extension >= CEA_AUDIO_EXT_MPEG4_HE_AAC && f.extension <= CEA_AUDIO_EXT_MPEG_D_USAC &&
           f.extension != RESERVED_EXTENSION;
}

// The short audio descriptor of a format, or false for one that has none.
bool encode_format(const EdidAudioFormat &f, uint8_t *sad)
{
    const uint32_t limit = channel_limit(f);
    if (!known_format(f) || (limit && (f.channels < 1 || f.channels > limit))) return false;
    const uint32_t count = limit ? f.channels - 1u : 0; // channel count minus one
    // L-PCM 3D audio: bits 4 and 3 of the count in byte 1 bit 7 and byte 0 bit 7.
    sad[0] = uint8_t(put_bits(count >> 3, 7, 7) | put_bits(f.format, 6, 3) | put_bits(count, 2, 0));
    sad[1] = uint8_t(put_bits(count >> 4, 7, 7) | (f.rates & RATE_BITS));
    if (f.format == CEA_AUDIO_EXTENDED) {
        sad[2] = uint8_t(put_bits(f.extension, 7, 3) | (f.detail & TYPE_DETAIL_BITS));
        return true;
    }
    switch (edid_format::byte2_kind(f.format)) {
    case edid_format::BYTE2_DEPTHS:
    case edid_format::BYTE2_PROFILE: sad[2] = put_bits(f.detail, 2, 0); break;
    case edid_format::BYTE2_OPTIONS:
    case edid_format::BYTE2_BITRATE: sad[2] = f.detail; break;
    }
    return true;
}

// The channels a short audio descriptor announces.
uint32_t channels_of(const uint8_t *sad)
{
    uint32_t count = get_bits(sad[0], 2, 0);
    if (get_bits(sad[0], 6, 3) == CEA_AUDIO_EXTENDED) {
        switch (get_bits(sad[2], 7, 3)) {
        case CEA_AUDIO_EXT_LPCM_3D:
            count |= get_bits(sad[0], 7, 7) << 3 | get_bits(sad[1], 7, 7) << 4;
            break;
        case CEA_AUDIO_EXT_MPEG_H_3D:
        case CEA_AUDIO_EXT_AC4:
        case CEA_AUDIO_EXT_AURO_CX: return 0;
        default: break;
        }
    }
    return count + 1;
}

// The default audio side: speakers, then the 6-channel coded formats,
// linear PCM, the 2-channel coded formats; all at 32, 44.1 and 48 kHz.
constexpr uint32_t DEFAULT_SPEAKERS = CEA_SPEAKER_FL_FR | CEA_SPEAKER_LFE | CEA_SPEAKER_FC |
                                      CEA_SPEAKER_RL_RR | CEA_SPEAKER_FLC_FRC;
constexpr uint8_t DTS_MAX = 1408 / CEA_AUDIO_BITRATE_UNIT_KBPS;
constexpr uint8_t AC3_MAX = 640 / CEA_AUDIO_BITRATE_UNIT_KBPS;
constexpr uint8_t ALL_DEPTHS = CEA_AUDIO_DEPTH_16 | CEA_AUDIO_DEPTH_20 | CEA_AUDIO_DEPTH_24;
constexpr EdidAudioFormat DEFAULT_FORMATS[EDID_DEVICE_DEFAULT_FORMATS] = {
    {CEA_AUDIO_DTS, 0, 6, BASIC_RATES, DTS_MAX},     {CEA_AUDIO_AC3, 0, 6, BASIC_RATES, AC3_MAX},
    {CEA_AUDIO_LPCM, 0, 2, BASIC_RATES, ALL_DEPTHS}, {CEA_AUDIO_DTS, 0, 2, BASIC_RATES, DTS_MAX},
    {CEA_AUDIO_AC3, 0, 2, BASIC_RATES, AC3_MAX},
};

// Whether a short audio descriptor names a format: a code of 1 to 14, or
// 15 with an extension type that is not reserved.
bool known_descriptor(const uint8_t *sad)
{
    const uint8_t code = uint8_t(get_bits(sad[0], 6, 3));
    return known_format(EdidAudioFormat{code, uint8_t(get_bits(sad[2], 7, 3)), 0, 0, 0});
}

// The shortest payload of an audio block's kind, or 0 for a kind with no
// fixed part.
uint32_t min_payload(const uint8_t *block, uint32_t length)
{
    switch (get_bits(block[0], 7, 5)) {
    case CEA_TAG_AUDIO: return SAD_SIZE;
    case CEA_TAG_SPEAKER: return SPEAKER_MIN_PAYLOAD;
    default: break;
    }
    switch (length > 1 ? block[1] : 0) {
    case CEA_EXT_VENDOR_AUDIO: return VENDOR_AUDIO_MIN_PAYLOAD;
    case CEA_EXT_HDMI_AUDIO: return HDMI_AUDIO_MIN_PAYLOAD;
    case CEA_EXT_ROOM_CONFIGURATION: return ROOM_MIN_PAYLOAD;
    case CEA_EXT_SPEAKER_LOCATION: return LOCATION_MIN_PAYLOAD;
    default: return 0;
    }
}

// What an audio side holds of the kinds that the rules count.
struct Census {
    uint32_t speaker_blocks, room_blocks, location_blocks, hdmi_audio_blocks;
    bool locations_announced; // a room configuration block's SLD bit
};

// Layouts by name, and the layouts that the rules add by channel count.
struct Layout {
    const char *name;
    uint32_t speakers;
};
constexpr uint32_t L20 = CEA_SPEAKER_FL_FR, L21 = L20 | CEA_SPEAKER_LFE;
constexpr uint32_t L51 = L21 | CEA_SPEAKER_FC | CEA_SPEAKER_RL_RR;
constexpr uint32_t L71 = L51 | CEA_SPEAKER_RLC_RRC, L91 = L71 | CEA_SPEAKER_FLW_FRW;
constexpr uint32_t H2 = CEA_SPEAKER_TPFL_TPFR, H4 = H2 | CEA_SPEAKER_TPBL_TPBR;
constexpr uint32_t H6 = H4 | CEA_SPEAKER_TPSIL_TPSIR;
constexpr Layout LAYOUTS[] = {
    {"2.0", L20},
    {"2.1", L21},
    {"3.0", L20 | CEA_SPEAKER_FC},
    {"3.1", L21 | CEA_SPEAKER_FC},
    {"4.0", L20 | CEA_SPEAKER_RL_RR},
    {"4.1", L21 | CEA_SPEAKER_RL_RR},
    {"5.0", L51 & ~uint32_t(CEA_SPEAKER_LFE)},
    {"5.1", L51},
    {"6.1", L51 | CEA_SPEAKER_RC},
    {"7.1", L71},
    {"9.1", L91},
    {"5.1.2", L51 | H2},
    {"5.1.4", L51 | H4},
    {"7.1.2", L71 | H2},
    {"7.1.4", L71 | H4},
    {"7.1.6", L71 | H6},
    {"9.1.2", L91 | H2},
    {"9.1.4", L91 | H4},
    {"9.1.6", L91 | H6},
};
// The layouts that the rules add for 3 to 8 channels (and more).
constexpr const char *ADDED_LAYOUTS[] = {"2.1", "3.1", "4.1", "5.1", "6.1", "7.1"};
constexpr uint32_t FIRST_ADDED_CHANNELS = 3;

} // namespace

bool next_audio_block(const EdidDeviceAudio &audio, uint32_t *at, uint32_t *length)
{
    const uint32_t size = edid_bits::min_u32(audio.size, EDID_DEVICE_AUDIO_BYTES);
    if (*at >= size) return false;
    const uint8_t *block = audio.blocks + *at;
    const uint32_t span = 1 + get_bits(block[0], 4, 0);
    if (span > size - *at || !is_audio_kind(block, span)) return false;
    *length = span;
    *at += span;
    return true;
}

uint32_t added_speakers(const EdidDeviceAudio &audio)
{
    uint32_t at = 0, length, channels = 0;
    while (next_audio_block(audio, &at, &length)) {
        const uint8_t *block = audio.blocks + at - length;
        if (get_bits(block[0], 7, 5) == CEA_TAG_SPEAKER) return 0;
        if (get_bits(block[0], 7, 5) != CEA_TAG_AUDIO) continue;
        for (uint32_t i = 1; i + SAD_SIZE <= length; i += SAD_SIZE) {
            const uint32_t c = channels_of(block + i);
            if (c > channels) channels = c;
        }
    }
    if (channels < FIRST_ADDED_CHANNELS) return 0;
    const uint32_t row = edid_bits::min_u32(channels - FIRST_ADDED_CHANNELS,
                                            sizeof ADDED_LAYOUTS / sizeof ADDED_LAYOUTS[0] - 1);
    return edid_speaker_layout(ADDED_LAYOUTS[row]);
}

int check_layout(const EdidDeviceAudio &audio)
{
    if (audio.size > EDID_DEVICE_AUDIO_BYTES) return EDID_DEVICE_AUDIO_TOO_LARGE;
    uint32_t at = 0, length, blocks = 0;
    while (next_audio_block(audio, &at, &length)) ++blocks;
    if (at != audio.size) return EDID_DEVICE_NOT_AUDIO;
    const uint32_t added = added_speakers(audio) ? SPEAKER_BLOCK_SIZE : 0;
    if (blocks + (added ? 1 : 0) > EDID_DEVICE_AUDIO_BLOCKS ||
        audio.size + added > EDID_DEVICE_AUDIO_BYTES)
        return EDID_DEVICE_AUDIO_TOO_LARGE;
    return EDID_DEVICE_OK;
}

namespace {

// The first block that breaks a rule of shape (EDID_DEVICE_AUDIO_SHORT_BLOCK,
// EDID_DEVICE_BAD_FORMAT), or EDID_DEVICE_OK with the census filled.
int take_census(const EdidDeviceAudio &audio, Census *census)
{
    *census = Census{0, 0, 0, 0, false};
    uint32_t at = 0, length;
    while (next_audio_block(audio, &at, &length)) {
        const uint8_t *block = audio.blocks + at - length;
        const uint32_t payload = length - 1;
        if (payload < min_payload(block, length)) return EDID_DEVICE_AUDIO_SHORT_BLOCK;
        switch (get_bits(block[0], 7, 5)) {
        case CEA_TAG_AUDIO:
            if (payload % SAD_SIZE) return EDID_DEVICE_AUDIO_SHORT_BLOCK;
            for (uint32_t i = 1; i < length; i += SAD_SIZE)
                if (!known_descriptor(block + i)) return EDID_DEVICE_BAD_FORMAT;
            break;
        case CEA_TAG_SPEAKER: ++census->speaker_blocks; break;
        default: // an extended tag of the audio range
            switch (block[1]) {
            case CEA_EXT_HDMI_AUDIO: ++census->hdmi_audio_blocks; break;
            case CEA_EXT_ROOM_CONFIGURATION:
                ++census->room_blocks;
                census->locations_announced |= get_bits(block[ROOM_FLAGS], ROOM_SLD_BIT,
                                                        ROOM_SLD_BIT) != 0;
                break;
            case CEA_EXT_SPEAKER_LOCATION: ++census->location_blocks; break;
            default: break;
            }
        }
    }
    return EDID_DEVICE_OK;
}

} // namespace

void speaker_block(uint32_t speakers, uint8_t *wire)
{
    wire[0] = uint8_t(put_bits(CEA_TAG_SPEAKER, 7, 5) | SPEAKER_PAYLOAD);
    for (unsigned i = 0; i < SPEAKER_PAYLOAD; ++i) wire[1 + i] = uint8_t(speakers >> (8 * i));
}

bool announces_basic_audio(const EdidDeviceAudio &audio)
{
    uint32_t at = 0, length;
    while (next_audio_block(audio, &at, &length)) {
        const uint8_t *block = audio.blocks + at - length;
        if (get_bits(block[0], 7, 5) != CEA_TAG_AUDIO) continue;
        for (uint32_t i = 1; i + SAD_SIZE <= length; i += SAD_SIZE) {
            const uint8_t *sad = block + i;
            if (get_bits(sad[0], 6, 3) == CEA_AUDIO_LPCM && channels_of(sad) >= 2 &&
                (sad[1] & BASIC_RATES) == BASIC_RATES)
                return true;
        }
    }
    return false;
}

} // namespace edid_device

using namespace edid_device;

extern "C" {

void edid_device_audio_default(EdidDeviceAudio *audio)
{
    audio->size = 0;
    edid_device_audio_add_speakers(audio, DEFAULT_SPEAKERS);
    edid_device_audio_add_formats(audio, DEFAULT_FORMATS, EDID_DEVICE_DEFAULT_FORMATS);
}

uint32_t edid_device_audio_default_parts(uint32_t *speakers, EdidAudioFormat *formats)
{
    *speakers = DEFAULT_SPEAKERS;
    memcpy(formats, DEFAULT_FORMATS, sizeof DEFAULT_FORMATS);
    return EDID_DEVICE_DEFAULT_FORMATS;
}

int edid_device_audio_check(const EdidDeviceAudio *audio)
{
    int status = check_layout(*audio);
    Census census;
    if (status == EDID_DEVICE_OK) status = take_census(*audio, &census);
    if (status != EDID_DEVICE_OK) return status;
    if (census.speaker_blocks > 1 || census.room_blocks > 1 || census.hdmi_audio_blocks > 1)
        return EDID_DEVICE_AUDIO_REPEATED;
    if ((census.location_blocks > 0) != census.locations_announced)
        return EDID_DEVICE_AUDIO_UNPAIRED;
    if (audio->size > 0 && !announces_basic_audio(*audio)) return EDID_DEVICE_AUDIO_NO_BASIC;
    return EDID_DEVICE_OK;
}

int edid_device_audio_add_formats(EdidDeviceAudio *audio, const EdidAudioFormat *formats,
                                  uint32_t count)
{
    const uint32_t blocks = (count + SADS_PER_BLOCK - 1) / SADS_PER_BLOCK;
    if (count > EDID_DEVICE_AUDIO_BYTES || audio->size > EDID_DEVICE_AUDIO_BYTES ||
        blocks + count * SAD_SIZE > EDID_DEVICE_AUDIO_BYTES - audio->size)
        return EDID_DEVICE_AUDIO_TOO_LARGE;
    uint8_t wire[EDID_DEVICE_AUDIO_BYTES];
    uint32_t w = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (i % SADS_PER_BLOCK == 0) {
            const uint32_t in_block = edid_bits::min_u32(count - i, SADS_PER_BLOCK);
            wire[w++] = uint8_t(put_bits(CEA_TAG_AUDIO, 7, 5) | in_block * SAD_SIZE);
        }
        if (!encode_format(formats[i], wire + w)) return EDID_DEVICE_BAD_FORMAT;
        w += SAD_SIZE;
    }
    return append(audio, wire, w);
}

int edid_device_audio_add_speakers(EdidDeviceAudio *audio, uint32_t speakers)
{
    uint8_t wire[SPEAKER_BLOCK_SIZE];
    speaker_block(speakers, wire);
    return append(audio, wire, sizeof wire);
}

int edid_device_audio_add_dolby_atmos(EdidDeviceAudio *audio, uint32_t speakers)
{
    // Payload after the extended tag and OUI: byte 0 bits 2..0 the version
    // less one, bit 4 centre, 5 surround, 6 height zone; byte 1 0 (TrueHD
    // decoded, not only MAT PCM).
    constexpr uint32_t SURROUND = CEA_SPEAKER_RL_RR | CEA_SPEAKER_RC | CEA_SPEAKER_RLC_RRC |
                                  CEA_SPEAKER_LS_RS | CEA_SPEAKER_SIL_SIR;
    constexpr uint32_t HEIGHT = CEA_SPEAKER_TPFL_TPFR | CEA_SPEAKER_TPC | CEA_SPEAKER_TPFC |
                                CEA_SPEAKER_TPBC | CEA_SPEAKER_TPSIL_TPSIR | CEA_SPEAKER_TPBL_TPBR |
                                CEA_SPEAKER_TPLS_TPRS;
    const uint8_t zones = uint8_t(put_bits((speakers & CEA_SPEAKER_FC) != 0, 4, 4) |
                                  put_bits((speakers & SURROUND) != 0, 5, 5) |
                                  put_bits((speakers & HEIGHT) != 0, 6, 6));
    constexpr uint8_t PAYLOAD = 6; // extended tag, OUI, zones, decoding
    const uint8_t block[1 + PAYLOAD] = {uint8_t(put_bits(CEA_TAG_EXTENDED, 7, 5) | PAYLOAD),
                                        CEA_EXT_VENDOR_AUDIO,
                                        uint8_t(CEA_OUI_DOLBY),
                                        uint8_t(CEA_OUI_DOLBY >> 8),
                                        uint8_t(CEA_OUI_DOLBY >> 16),
                                        zones,
                                        0};
    return append(audio, block, sizeof block);
}

int edid_device_audio_add_block(EdidDeviceAudio *audio, const uint8_t *block, uint32_t length)
{
    if (length == 0 || length != 1 + get_bits(block[0], 4, 0) || !is_audio_kind(block, length))
        return EDID_DEVICE_NOT_AUDIO;
    return append(audio, block, length);
}

int edid_device_audio_from_edid(const uint8_t *dump, size_t length, EdidDeviceAudio *audio)
{
    EdidDeviceAudio taken;
    taken.size = 0;
    const int status = edid_sink::check_base_block(dump, length);
    if (status != EDID_DECODE_OK) return status;
    const uint8_t *cea = edid_sink::find_cea_block(dump, length);
    edid_cea::Walk walk = cea ? edid_cea::walk(cea, edid_cea::ZeroHeader::EMPTY_BLOCK)
                              : edid_cea::Walk{nullptr, 0, 0, false};
    for (uint32_t at, span; edid_cea::next(&walk, &at, &span);) {
        if (!is_audio_kind(cea + at, span)) continue;
        if (append(&taken, cea + at, span) != EDID_DEVICE_OK) return EDID_DEVICE_AUDIO_TOO_LARGE;
    }
    uint32_t at = 0, block_length, blocks = 0;
    while (next_audio_block(taken, &at, &block_length)) ++blocks;
    if (blocks > EDID_DEVICE_AUDIO_BLOCKS) return EDID_DEVICE_AUDIO_TOO_LARGE;
    *audio = taken;
    return EDID_DEVICE_OK;
}

uint32_t edid_speaker_layout(const char *name)
{
    for (const Layout &l : LAYOUTS)
        if (strcmp(l.name, name) == 0) return l.speakers;
    return 0;
}

const char *edid_speaker_layout_name(uint32_t n)
{
    return n < sizeof LAYOUTS / sizeof LAYOUTS[0] ? LAYOUTS[n].name : nullptr;
}
}
