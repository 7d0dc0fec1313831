// SPDX-License-Identifier: MIT
// cta_typed_util.h - helpers of the tests of the typed data block codecs
// (cta_video.h, cta_audio.h): each codec's three operations as one value; a
// block decoded from hex where a read past it shows; a record encoded back
// to hex, a refusal checked to write nothing; the facts of a record as
// "name=value" text checked over table rows; any block of a typed kind
// decoded, reported and encoded; the data blocks of an EDID's CTA blocks.
#ifndef EDID_TESTS_CTA_TYPED_UTIL_H
#define EDID_TESTS_CTA_TYPED_UTIL_H

#include <edid/cta.h>
#include <edid/cta_audio.h>
#include <edid/cta_video.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "test_util.h"

namespace cta_typed {

using namespace test_util;

template <class R>
struct Codec {
    void (*decode)(const uint8_t *, R *);
    uint32_t (*encode)(const R *, uint8_t *);
    void (*print)(const R *);
};
#define CTA_CODEC(R, x)                                                                            \
    Codec<R>                                                                                       \
    {                                                                                              \
        cea_decode_##x, cea_encode_##x, cea_print_##x                                              \
    }
inline constexpr auto VIDEO = CTA_CODEC(CeaVideoDataBlock, video_data_block);
inline constexpr auto YCBCR420_VIDEO = CTA_CODEC(CeaVideoDataBlock, ycbcr420_video);
inline constexpr auto MAP = CTA_CODEC(CeaYcbcr420CapabilityMap, ycbcr420_capability_map);
inline constexpr auto PREFERENCE = CTA_CODEC(CeaVideoFormatPreference, video_format_preference);
inline constexpr auto NATIVE = CTA_CODEC(CeaNativeVideoResolution, native_video_resolution);
inline constexpr auto INFOFRAME = CTA_CODEC(CeaInfoFrameBlock, infoframe);
inline constexpr auto TYPE_VII = CTA_CODEC(CeaDisplayIdTimingVii, displayid_timing_vii);
inline constexpr auto TYPE_VIII = CTA_CODEC(CeaDisplayIdTimingViii, displayid_timing_viii);
inline constexpr auto TYPE_X = CTA_CODEC(CeaDisplayIdTimingX, displayid_timing_x);
inline constexpr auto AUDIO = CTA_CODEC(CeaAudioDataBlock, audio_data_block);
inline constexpr auto SPEAKERS =
    CTA_CODEC(CeaSpeakerAllocationDataBlock, speaker_allocation_data_block);
inline constexpr auto VENDOR_AUDIO = CTA_CODEC(CeaVendorAudio, vendor_audio);
inline constexpr auto HDMI_AUDIO = CTA_CODEC(CeaHdmiAudio, hdmi_audio);
inline constexpr auto ROOM = CTA_CODEC(CeaRoomConfiguration, room_configuration);
inline constexpr auto LOCATION = CTA_CODEC(CeaSpeakerLocation, speaker_location);

// Hex text as the tests write it, in hex_of's spelling.
inline std::string norm(const std::string &text)
{
    const Bytes b = hex(text);
    return hex_of(b.data(), b.size());
}

// The record of a block (hex, header first), decoded from a heap buffer
// that ends with the block (AddressSanitizer sees a read past it) and from
// one where poison bytes follow it: the two records must be the same.
template <class R>
R decode(const Codec<R> &c, const std::string &wire)
{
    const Bytes exact = hex(wire);
    Bytes poisoned = exact;
    poisoned.resize(exact.size() + 1 + CEA_MAX_PAYLOAD, 0xFF);
    R a, b;
    memset(&a, 0xA5, sizeof a);
    memset(&b, 0x5A, sizeof b);
    c.decode(exact.data(), &a);
    c.decode(poisoned.data(), &b);
    EXPECT_EQ(memcmp(&a, &b, sizeof a), 0) << "read past the block or left bytes unset: " << wire;
    return a;
}

// The bytes the encoder writes, or "refused" when it returns 0; either way
// nothing is written past what it returns.
template <class R>
std::string encode(const Codec<R> &c, const R &r)
{
    uint8_t out[2 * (1 + CEA_MAX_PAYLOAD)];
    memset(out, 0xEE, sizeof out);
    const uint32_t n = c.encode(&r, out);
    for (uint32_t i = n; i < sizeof out; ++i) EXPECT_EQ(out[i], 0xEE) << "written past byte " << n;
    if (n == 0) return "refused";
    EXPECT_EQ(n, 1u + (out[0] & 0x1F)) << "return value and header length differ";
    return hex_of(out, n);
}

// "name=value" for each field that is not 0 (a flag: its name), a blank
// between them.
struct Facts {
    std::string text;
    Facts &add(const std::string &words)
    {
        if (!text.empty() && !words.empty()) text += ' ';
        text += words;
        return *this;
    }
    Facts &operator()(const char *name, long value)
    {
        return value ? add(std::string(name) + "=" + std::to_string(value)) : *this;
    }
    Facts &flag(const char *name, long value) { return value ? add(name) : *this; }
};

// "00-D0-46"
inline std::string oui_text(uint32_t oui)
{
    char text[9];
    snprintf(text, sizeof text, "%02X-%02X-%02X", unsigned(oui >> 16 & 0xFF),
             unsigned(oui >> 8 & 0xFF), unsigned(oui & 0xFF));
    return text;
}

// A block (hex, header first), its facts, and what it is written back as
// (empty: its own bytes).
struct Row {
    std::string block, facts, written;
};

template <class R, class F>
void check_rows(const Codec<R> &codec, const std::vector<Row> &rows, F facts)
{
    for (const Row &row : rows) {
        const R r = decode(codec, row.block);
        EXPECT_EQ(facts(r), row.facts) << row.block;
        EXPECT_EQ(encode(codec, r), norm(row.written.empty() ? row.block : row.written))
            << row.block;
    }
}

// The report of a block of a typed kind and its bytes encoded back; false
// for a kind that neither typed header decodes.
template <class R>
bool run(const Codec<R> &codec, const uint8_t *header, std::string *report, std::string *bytes)
{
    R r;
    codec.decode(header, &r);
    *report = printed([&] { codec.print(&r); });
    *bytes = encode(codec, r);
    return true;
}

inline bool typed(const uint8_t *header, std::string *report, std::string *bytes)
{
    switch (cea_block_kind(header)) {
    case CEA_KIND_VIDEO: return run(VIDEO, header, report, bytes);
    case CEA_KIND_YCBCR420_VIDEO: return run(YCBCR420_VIDEO, header, report, bytes);
    case CEA_KIND_YCBCR420_CAPABILITY_MAP: return run(MAP, header, report, bytes);
    case CEA_KIND_VIDEO_FORMAT_PREFERENCE: return run(PREFERENCE, header, report, bytes);
    case CEA_KIND_NATIVE_VIDEO_RESOLUTION: return run(NATIVE, header, report, bytes);
    case CEA_KIND_INFOFRAME: return run(INFOFRAME, header, report, bytes);
    case CEA_KIND_DISPLAYID_TIMING_VII: return run(TYPE_VII, header, report, bytes);
    case CEA_KIND_DISPLAYID_TIMING_VIII: return run(TYPE_VIII, header, report, bytes);
    case CEA_KIND_DISPLAYID_TIMING_X: return run(TYPE_X, header, report, bytes);
    case CEA_KIND_AUDIO: return run(AUDIO, header, report, bytes);
    case CEA_KIND_SPEAKER_ALLOCATION: return run(SPEAKERS, header, report, bytes);
    case CEA_KIND_VENDOR_AUDIO: return run(VENDOR_AUDIO, header, report, bytes);
    case CEA_KIND_HDMI_AUDIO: return run(HDMI_AUDIO, header, report, bytes);
    case CEA_KIND_ROOM_CONFIGURATION: return run(ROOM, header, report, bytes);
    case CEA_KIND_SPEAKER_LOCATION: return run(LOCATION, header, report, bytes);
    default: return false;
    }
}

// Calls f with the header of every data block of every CTA block (tag 2)
// of an EDID, zero header bytes passed over.
inline void for_each_data_block(const Bytes &edid, const std::function<void(const uint8_t *)> &f)
{
    for (size_t at = EDID_BLOCK_SIZE; at + EDID_BLOCK_SIZE <= edid.size(); at += EDID_BLOCK_SIZE) {
        const uint8_t *block = edid.data() + at;
        if (block[0] != CEA_EXTENSION_TAG) continue;
        for (uint32_t i = 4; i < block[2] && i < EDID_BLOCK_SIZE - 1;) {
            const uint32_t span = 1 + (block[i] & 0x1F);
            if (block[i] == 0) {
                ++i;
                continue;
            }
            if (i + span > EDID_BLOCK_SIZE) break;
            f(block + i);
            i += span;
        }
    }
}

} // namespace cta_typed

#endif
