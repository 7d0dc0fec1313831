// SPDX-License-Identifier: MIT
// audio_side.cpp - the device's audio side (EdidDeviceAudio): whole CEA
// data blocks of the audio kinds in their wire form, filled in one of four
// ways (the device's default, another EDID's audio blocks, formats and
// speakers), and the speaker allocation that the audio rules add.
#include <edid/cta_audio.h>
#include <edid/device_edid.h>
#include <string.h>

#include "device/device.h"
#include "edid/bits.h"
#include "edid/cea.h"
#include "edid/format.h"
#include "edid/sink_layout.h"

using edid_bits::get_bits;

namespace edid_device {

namespace {

constexpr unsigned SADS_PER_BLOCK = CEA_MAX_AUDIO_DESCRIPTORS; // ten in a 31-byte payload
constexpr unsigned SPEAKER_PAYLOAD = 3;                        // speaker allocation: three bytes
constexpr uint8_t DETAIL_BITS = 0x07; // byte 2 bits 2..0: sample sizes, profile, format 15
constexpr uint32_t BASIC_RATES = CEA_AUDIO_RATE_32 | CEA_AUDIO_RATE_44 | CEA_AUDIO_RATE_48;

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

// A data block of an audio kind: audio, speaker allocation, or an extended
// tag of the audio range, named or not.
bool is_audio_kind(const uint8_t *block, uint32_t length)
{
    switch (cea_block_kind(block)) {
    case CEA_KIND_AUDIO:
    case CEA_KIND_SPEAKER_ALLOCATION:
    case CEA_KIND_VENDOR_AUDIO:
    case CEA_KIND_HDMI_AUDIO:
    case CEA_KIND_ROOM_CONFIGURATION:
    case CEA_KIND_SPEAKER_LOCATION: return true;
    case CEA_KIND_UNKNOWN:
        return get_bits(block[0], 7, 5) == CEA_TAG_EXTENDED && length > 1 &&
               block[1] >= CEA_EXT_FIRST_AUDIO && block[1] <= CEA_EXT_LAST_AUDIO;
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

// A format code of 1 to 14, or 15 with a type that is not reserved.
bool known_format(uint32_t format, uint32_t extension)
{
    return strcmp(cea_audio_format_name(format, extension), "reserved") != 0;
}

// The short audio descriptor of a format, or false for one that has none:
// a format not known, or a channel count that the descriptor cannot hold
// (formats that state none take any).
bool sad_of(const EdidAudioFormat &f, CeaSad *sad)
{
    if (!known_format(f.format, f.extension)) return false;
    memset(sad, 0, sizeof *sad);
    sad->format = f.format;
    sad->ext_type = f.format == CEA_AUDIO_EXTENDED ? f.extension : 0;
    sad->channels = f.channels;
    sad->rates = f.rates;
    // detail is byte 2 as the format defines it: whole for the bit rates
    // and the formats' own bytes; bits 2..0 for the sample sizes, WMA Pro's
    // profile and the types of format 15.
    switch (f.format == CEA_AUDIO_EXTENDED ? edid_format::BYTE2_PROFILE
                                           : edid_format::byte2_kind(f.format)) {
    case edid_format::BYTE2_DEPTHS:
    case edid_format::BYTE2_PROFILE: cea_decode_sad_byte2(f.detail & DETAIL_BITS, sad); break;
    case edid_format::BYTE2_OPTIONS:
    case edid_format::BYTE2_BITRATE: cea_decode_sad_byte2(f.detail, sad); break;
    }
    uint8_t bytes[CEA_SAD_SIZE];
    CeaSad written;
    cea_encode_sad(sad, bytes);
    cea_decode_sad(bytes, &written);
    return written.channels == 0 || written.channels == f.channels;
}

// The most channels that a short audio descriptor of an audio block
// announces.
__attribute__((noinline)) uint32_t most_channels(const uint8_t *block)
{
    CeaAudioDataBlock audio;
    cea_decode_audio_data_block(block, &audio);
    uint32_t channels = 0;
    for (uint32_t i = 0; i < audio.count; ++i)
        if (audio.sads[i].channels > channels) channels = audio.sads[i].channels;
    return channels;
}

// Whether an audio block announces basic audio: L-PCM of two channels or
// more at 32, 44.1 and 48 kHz.
__attribute__((noinline)) bool basic_audio(const uint8_t *block)
{
    CeaAudioDataBlock audio;
    cea_decode_audio_data_block(block, &audio);
    for (uint32_t i = 0; i < audio.count; ++i) {
        const CeaSad &sad = audio.sads[i];
        if (sad.format == CEA_AUDIO_LPCM && sad.channels >= 2 &&
            (sad.rates & BASIC_RATES) == BASIC_RATES)
            return true;
    }
    return false;
}

// Whether every short audio descriptor of an audio block names a format.
__attribute__((noinline)) bool known_descriptors(const uint8_t *block)
{
    CeaAudioDataBlock audio;
    cea_decode_audio_data_block(block, &audio);
    for (uint32_t i = 0; i < audio.count; ++i)
        if (!known_format(audio.sads[i].format, audio.sads[i].ext_type)) return false;
    return true;
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

// The shortest payload of an audio block's kind, or 0 for a kind with no
// fixed part.
uint32_t min_payload(uint32_t kind)
{
    switch (kind) {
    case CEA_KIND_AUDIO: return CEA_SAD_SIZE;
    case CEA_KIND_SPEAKER_ALLOCATION: return SPEAKER_MIN_PAYLOAD;
    case CEA_KIND_VENDOR_AUDIO: return VENDOR_AUDIO_MIN_PAYLOAD;
    case CEA_KIND_HDMI_AUDIO: return HDMI_AUDIO_MIN_PAYLOAD;
    case CEA_KIND_ROOM_CONFIGURATION: return ROOM_MIN_PAYLOAD;
    case CEA_KIND_SPEAKER_LOCATION: return LOCATION_MIN_PAYLOAD;
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
        const uint32_t kind = cea_block_kind(block);
        if (kind == CEA_KIND_SPEAKER_ALLOCATION) return 0;
        if (kind != CEA_KIND_AUDIO) continue;
        const uint32_t c = most_channels(block);
        if (c > channels) channels = c;
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

// Whether a room configuration block says that a speaker location block
// describes its speakers.
__attribute__((noinline)) bool room_announces_locations(const uint8_t *block)
{
    CeaRoomConfiguration room;
    cea_decode_room_configuration(block, &room);
    return room.sld != 0;
}

// The first block that breaks a rule of shape (EDID_DEVICE_AUDIO_SHORT_BLOCK,
// EDID_DEVICE_BAD_FORMAT), or EDID_DEVICE_OK with the census filled.
int take_census(const EdidDeviceAudio &audio, Census *census)
{
    *census = Census{0, 0, 0, 0, false};
    uint32_t at = 0, length;
    while (next_audio_block(audio, &at, &length)) {
        const uint8_t *block = audio.blocks + at - length;
        const uint32_t kind = cea_block_kind(block), payload = length - 1;
        if (payload < min_payload(kind)) return EDID_DEVICE_AUDIO_SHORT_BLOCK;
        switch (kind) {
        case CEA_KIND_AUDIO:
            if (payload % CEA_SAD_SIZE) return EDID_DEVICE_AUDIO_SHORT_BLOCK;
            if (!known_descriptors(block)) return EDID_DEVICE_BAD_FORMAT;
            break;
        case CEA_KIND_SPEAKER_ALLOCATION: ++census->speaker_blocks; break;
        case CEA_KIND_HDMI_AUDIO: ++census->hdmi_audio_blocks; break;
        case CEA_KIND_ROOM_CONFIGURATION:
            ++census->room_blocks;
            census->locations_announced |= room_announces_locations(block);
            break;
        case CEA_KIND_SPEAKER_LOCATION: ++census->location_blocks; break;
        default: break;
        }
    }
    return EDID_DEVICE_OK;
}

} // namespace

void speaker_block(uint32_t speakers, uint8_t *wire)
{
    CeaSpeakerAllocationDataBlock block;
    memset(&block, 0, sizeof block);
    block.speakers = speakers;
    cea_encode_speaker_allocation_data_block(&block, wire);
}

bool announces_basic_audio(const EdidDeviceAudio &audio)
{
    uint32_t at = 0, length;
    while (next_audio_block(audio, &at, &length)) {
        const uint8_t *block = audio.blocks + at - length;
        if (cea_block_kind(block) == CEA_KIND_AUDIO && basic_audio(block)) return true;
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
        blocks + count * CEA_SAD_SIZE > EDID_DEVICE_AUDIO_BYTES - audio->size)
        return EDID_DEVICE_AUDIO_TOO_LARGE;
    CeaSad sad;
    for (uint32_t i = 0; i < count; ++i)
        if (!sad_of(formats[i], &sad)) return EDID_DEVICE_BAD_FORMAT;
    CeaAudioDataBlock block;
    for (uint32_t i = 0; i < count; i += SADS_PER_BLOCK) {
        memset(&block, 0, sizeof block);
        block.count = edid_bits::min_u32(count - i, SADS_PER_BLOCK);
        for (uint32_t k = 0; k < block.count; ++k) sad_of(formats[i + k], &block.sads[k]);
        audio->size += cea_encode_audio_data_block(&block, audio->blocks + audio->size);
    }
    return EDID_DEVICE_OK;
}

int edid_device_audio_add_speakers(EdidDeviceAudio *audio, uint32_t speakers)
{
    uint8_t wire[SPEAKER_BLOCK_SIZE];
    speaker_block(speakers, wire);
    return append(audio, wire, sizeof wire);
}

int edid_device_audio_add_dolby_atmos(EdidDeviceAudio *audio, uint32_t speakers)
{
    // Dolby's block, version 1: the speaker zones present; TrueHD decoded,
    // not only MAT PCM.
    constexpr uint32_t SURROUND = CEA_SPEAKER_RL_RR | CEA_SPEAKER_RC | CEA_SPEAKER_RLC_RRC |
                                  CEA_SPEAKER_LS_RS | CEA_SPEAKER_SIL_SIR;
    constexpr uint32_t HEIGHT = CEA_SPEAKER_TPFL_TPFR | CEA_SPEAKER_TPC | CEA_SPEAKER_TPFC |
                                CEA_SPEAKER_TPBC | CEA_SPEAKER_TPSIL_TPSIR | CEA_SPEAKER_TPBL_TPBR |
                                CEA_SPEAKER_TPLS_TPRS;
    CeaVendorAudio dolby;
    memset(&dolby, 0, sizeof dolby);
    dolby.oui = CEA_OUI_DOLBY;
    dolby.has_dolby_fields = 1;
    dolby.dolby_version = 1;
    dolby.dolby_center_zone = (speakers & CEA_SPEAKER_FC) != 0;
    dolby.dolby_surround_zone = (speakers & SURROUND) != 0;
    dolby.dolby_height_zone = (speakers & HEIGHT) != 0;
    uint8_t block[WIRE_SIZE];
    return append(audio, block, cea_encode_vendor_audio(&dolby, block));
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
