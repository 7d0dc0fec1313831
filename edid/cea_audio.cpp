// SPDX-License-Identifier: MIT
// cea_audio.cpp - CEA-861 audio data block (tag 1): a list of 3-byte short
// audio descriptors.
//
// Short audio descriptor:
//   byte 0  bit 7 reserved, bits 6..3 format code, bits 2..0 channels - 1
//   byte 1  bit 7 reserved, bits 6..0 sampling rates 192, 176.4, 96, 88.2,
//           48, 44.1, 32 kHz
//   byte 2  by format: 1 (linear PCM) bits 2..0 sample sizes 24, 20, 16
//           bits; 9-13 options byte; 14 bits 2..0 profile; 0, 2-8, 15
//           maximum bit rate in units of 8 kbps
#include <edid/edid.h>

#include <stdio.h>

#include "bits.h"
#include "format.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_format;

namespace {

constexpr unsigned SAD_SIZE = 3;              // bytes of one short audio descriptor
constexpr uint8_t DTS_HD_MASTER_AUDIO = 0x01; // DTS HD options bit 0

const char *format_name(uint32_t format)
{
    switch (format) {
    case CEA_AUDIO_LPCM: return "PCM ";
    case CEA_AUDIO_AC3: return "AC3 ";
    case CEA_AUDIO_MPEG1: return "MPEG1 (Layers 1&2) ";
    case CEA_AUDIO_MP3: return "MPEG1 Layer 3 (MP3) ";
    case CEA_AUDIO_MPEG2: return "MPEG2 (multichannel) ";
    case CEA_AUDIO_AAC: return "AAC ";
    case CEA_AUDIO_DTS: return "DTS ";
    case CEA_AUDIO_ATRAC: return "ATRAC ";
    case CEA_AUDIO_DSD: return "DSD ";
    case CEA_AUDIO_EAC3: return "E-AC-3 ";
    case CEA_AUDIO_DTS_HD: return "DTS HD ";
    case CEA_AUDIO_MLP: return "MLP ";
    case CEA_AUDIO_DST: return "DST ";
    case CEA_AUDIO_WMA_PRO: return "WMA PRO ";
    default: return "Unknown ";
    }
}

constexpr uint32_t clamp_count(uint32_t count)
{
    return min_u32(count, CEA_MAX_AUDIO_DESCRIPTORS);
}

void decode_sad(const uint8_t *b, CeaShortAudioDescriptor *sad)
{
    // The three bytes are read first: the record may alias them, and the bit
    // fields of one unit then merge into few stores.
    const uint8_t b0 = b[0], b1 = b[1], b2 = b[2];
    const uint32_t format = get_bits(b0, 6, 3);
    sad->format = format;
    sad->channels = get_bits(b0, 2, 0);
    sad->rate_192 = get_bits(b1, 6, 6);
    sad->rate_176 = get_bits(b1, 5, 5);
    sad->rate_96 = get_bits(b1, 4, 4);
    sad->rate_88 = get_bits(b1, 3, 3);
    sad->rate_48 = get_bits(b1, 2, 2);
    sad->rate_44 = get_bits(b1, 1, 1);
    sad->rate_32 = get_bits(b1, 0, 0);
    switch (byte2_kind(format)) {
    case BYTE2_DEPTHS:
        sad->depth_24 = get_bits(b2, 2, 2);
        sad->depth_20 = get_bits(b2, 1, 1);
        sad->depth_16 = get_bits(b2, 0, 0);
        break;
    case BYTE2_OPTIONS: sad->options = b2; break;
    case BYTE2_PROFILE: sad->options = uint8_t(get_bits(b2, 2, 0)); break;
    case BYTE2_BITRATE: sad->max_bitrate = b2; break;
    }
}

void encode_sad(const CeaShortAudioDescriptor *sad, uint8_t *b)
{
    b[0] = uint8_t(put_bits(sad->format, 6, 3) | put_bits(sad->channels, 2, 0));
    b[1] = uint8_t(put_bits(sad->rate_192, 6, 6) | put_bits(sad->rate_176, 5, 5) |
                   put_bits(sad->rate_96, 4, 4) | put_bits(sad->rate_88, 3, 3) |
                   put_bits(sad->rate_48, 2, 2) | put_bits(sad->rate_44, 1, 1) |
                   put_bits(sad->rate_32, 0, 0));
    switch (byte2_kind(sad->format)) {
    case BYTE2_DEPTHS:
        b[2] = uint8_t(put_bits(sad->depth_24, 2, 2) | put_bits(sad->depth_20, 1, 1) |
                       put_bits(sad->depth_16, 0, 0));
        break;
    case BYTE2_OPTIONS: b[2] = sad->options; break;
    case BYTE2_PROFILE: b[2] = put_bits(sad->options, 2, 0); break;
    case BYTE2_BITRATE: b[2] = uint8_t(sad->max_bitrate); break;
    }
}

void print_sad(const CeaShortAudioDescriptor *sad)
{
    printf("Supported audio: %u Channels\n", unsigned(sad->channels) + 1);
    printf("   Sampling frequencies (kHz): ");
    if (sad->rate_192) printf("192 ");
    if (sad->rate_176) printf("176 ");
    if (sad->rate_96) printf("96 ");
    if (sad->rate_88) printf("88 ");
    if (sad->rate_48) printf("48 ");
    if (sad->rate_44) printf("44 ");
    if (sad->rate_32) printf("32");
    putchar('\n');
    printf("   Format: %s", format_name(sad->format));
    switch (byte2_kind(sad->format)) {
    case BYTE2_DEPTHS:
        if (sad->depth_24) printf("24b ");
        if (sad->depth_20) printf("20b ");
        if (sad->depth_16) printf("16b");
        putchar('\n');
        break;
    case BYTE2_OPTIONS:
        if (sad->format == CEA_AUDIO_DTS_HD && (sad->options & DTS_HD_MASTER_AUDIO))
            printf("Master audio suppported ");
        printf("(options=0x%X)\n", unsigned(sad->options));
        break;
    case BYTE2_PROFILE: printf("(profile=0x%X)\n", unsigned(get_bits(sad->options, 2, 0))); break;
    case BYTE2_BITRATE:
        printf("Max %ukbps\n", unsigned(sad->max_bitrate) * CEA_AUDIO_BITRATE_UNIT_KBPS);
        break;
    }
}

} // namespace

// The payload holds length / 3 descriptors; 1 or 2 trailing bytes that do
// not make a whole descriptor are ignored (31 bytes hold 10).
void cea_decode_audio_block(const uint8_t *header, CeaAudioBlock *audio)
{
    const uint32_t count = clamp_count(get_bits(header[0], 4, 0) / SAD_SIZE);
    audio->count = count;
    for (uint32_t i = 0; i < count; ++i)
        decode_sad(header + 1 + SAD_SIZE * i, &audio->descriptors[i]);
}

void cea_encode_audio_block(const CeaAudioBlock *audio, uint8_t *header)
{
    uint32_t count = clamp_count(audio->count);
    header[0] = uint8_t(header[0] | put_bits(count * SAD_SIZE, 4, 0));
    for (uint32_t i = 0; i < count; ++i)
        encode_sad(&audio->descriptors[i], header + 1 + SAD_SIZE * i);
}

void cea_print_audio_block(const CeaAudioBlock *audio)
{
    uint32_t count = clamp_count(audio->count);
    for (uint32_t i = 0; i < count; ++i) print_sad(&audio->descriptors[i]);
}
