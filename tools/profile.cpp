// SPDX-License-Identifier: MIT
// profile.cpp - a device profile (TOML, read by toml++) into the device
// record; profile.h lists the keys.  The words of the file are matched
// here; every byte of the EDID is composed by the library.
#include "profile.h"

#include "dump_file.h"
#include "hex_text.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <optional>

namespace {

// The whole error on one line of printable ASCII, whatever the path, the
// keys or toml++'s text hold.
std::string one_line(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u <= 0x7E) {
            out += c;
        } else {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", u);
            out += escape;
        }
    }
    return out;
}

} // namespace

#if EDID_PROFILES
// toml++ 3.3 states its parser's preconditions with TOML_ASSERT and
// TOML_ASSERT_ASSUME.  One of them holds only for well-formed input:
// parse_key expects a key's first character to be a key character or a
// quote, which a table header such as [.], [=] or [\x7Fdentity] breaks;
// the lines after that check report the same case as a parse error.
// Without NDEBUG the check aborts (Debug and sanitizer builds); with it,
// TOML_ASSERT_ASSUME becomes an optimizer assumption (__builtin_assume
// under clang), which may compile the report away.  So toml++ is built
// here with its checks as reports: NDEBUG is hidden while its header is
// read (no assumptions), and TOML_ASSERT notes the first check that
// fails and lets the parser go on to its own error.  profile_parse
// refuses a parse that failed a check, whatever toml++ made of it.
namespace {
const char *toml_failed_check = nullptr;
}
#define TOML_ASSERT(expr)                                                                         \
    (static_cast<bool>(expr) || ::toml_failed_check ? static_cast<void>(0)                        \
                                                    : static_cast<void>(::toml_failed_check = #expr))
#pragma push_macro("NDEBUG")
#undef NDEBUG
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

namespace {

// ---- Errors: one line each ----------------------------------------------

// A value as the error quotes it: between quotes, with backslashes,
// control characters and bytes above 0x7E escaped.
std::string quoted(std::string_view text)
{
    std::string out = "'";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '\'') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u > 0x7E) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "'";
}

// A source of errors that keeps the first: "FILE:LINE: KEY: what".
struct Reader {
    const char *path;
    std::string *error;
    bool failed = false;

    bool fail(const toml::source_region &at, std::string_view key, const std::string &what)
    {
        if (!failed) {
            *error = std::string(path) + ":" + std::to_string(at.begin.line ? at.begin.line : 1) +
                     ": " + std::string(key) + ": " + what;
            failed = true;
        }
        return false;
    }
};

// One key of a table: its node and where it stands.
struct Key {
    std::string name; // dotted, as the error names it
    const toml::node &node;
};

// The names of a table's items joined by ", ", for the lists that errors
// give.
const char *name_of(const char *name)
{
    return name;
}
template <class Item>
const char *name_of(const Item &item)
{
    return item.name;
}
template <class Item, size_t N>
std::string listed(const Item (&items)[N])
{
    std::string out;
    for (const Item &item : items) out += (out.empty() ? "" : ", ") + std::string(name_of(item));
    return out;
}

// A node as an error names it: a number or word as written, else its kind.
std::string shown(const toml::node &node)
{
    if (const std::optional<std::string_view> s = node.value_exact<std::string_view>())
        return quoted(*s);
    if (const std::optional<int64_t> i = node.value_exact<int64_t>()) return std::to_string(*i);
    if (const std::optional<double> d = node.value_exact<double>()) {
        char text[32];
        snprintf(text, sizeof text, "%g", *d);
        return text;
    }
    if (const std::optional<bool> b = node.value_exact<bool>()) return *b ? "true" : "false";
    return node.is_table() ? "a table" : node.is_array() ? "a list" : "a date or time";
}

// The keys the format knows at the top of the file.
constexpr const char *TOP_KEYS[] = {"version",
                                    "vendor_id",
                                    "product_code",
                                    "serial_number",
                                    "week",
                                    "year",
                                    "name",
                                    "thx",
                                    "video_latency_ms",
                                    "audio_latency_ms",
                                    "max_tmds_mhz",
                                    "max_tmds_character_rate_mhz",
                                    "max_frl_rate",
                                    "audio"};
constexpr const char *AUDIO_KEYS[] = {"speakers", "format", "dolby_atmos", "blocks"};
constexpr const char *FORMAT_KEYS[] = {
    "codec", "channels", "rates",   "sample_sizes", "max_bitrate_kbps", "atmos", "master_audio",
    "dts_x", "options",  "profile", "flags"};

template <size_t N>
bool known(const char *const (&keys)[N], std::string_view key)
{
    for (const char *k : keys)
        if (key == k) return true;
    return false;
}

// Every key of a table is one of `keys`; an unknown key's error lists them,
// and says so when the key belongs at the top of the file (TOML puts the
// keys after a [table] header in that table).
template <size_t N>
bool only_keys(Reader &r, const toml::table &table, const std::string &prefix,
               const char *const (&keys)[N], const char *of)
{
    for (auto &&[key, node] : table) {
        if (known(keys, key.str())) continue;
        const bool top = !prefix.empty() && known(TOP_KEYS, key.str());
        return r.fail(key.source(), prefix + std::string(key.str()),
                      top ? "a top-level key: write it before the first [table]"
                          : std::string("unknown key; the keys of ") + of + ": " + listed(keys));
    }
    return true;
}

// An integer in [low, high].
bool integer(Reader &r, const Key &k, int64_t low, int64_t high, int64_t *value)
{
    const std::optional<int64_t> v = k.node.value_exact<int64_t>();
    if (!v) return r.fail(k.node.source(), k.name, shown(k.node) + " is not an integer");
    if (*v < low || *v > high)
        return r.fail(k.node.source(), k.name,
                      std::to_string(*v) + " is out of range " + std::to_string(low) + " to " +
                          std::to_string(high));
    *value = *v;
    return true;
}

bool boolean(Reader &r, const Key &k, bool *value)
{
    const std::optional<bool> v = k.node.value_exact<bool>();
    if (!v) return r.fail(k.node.source(), k.name, shown(k.node) + " is not true or false");
    *value = *v;
    return true;
}

bool string(Reader &r, const Key &k, std::string *value)
{
    const std::optional<std::string_view> v = k.node.value_exact<std::string_view>();
    if (!v) return r.fail(k.node.source(), k.name, shown(k.node) + " is not a string");
    *value = std::string(*v);
    return true;
}

const toml::array *list(Reader &r, const Key &k, const char *of)
{
    const toml::array *a = k.node.as_array();
    if (!a) r.fail(k.node.source(), k.name, shown(k.node) + " is not a list of " + of);
    return a;
}

// ---- Words for the format's codes --------------------------------------

// Byte 2 of the descriptors of codes 10 to 12, as the codec's name implies
// it: E-AC-3 bit 0 Atmos (joint object coding), DTS-HD bit 0 Master Audio
// and bit 1 DTS:X, MAT bit 0 Atmos (TrueHD with objects).
constexpr uint8_t ATMOS = 0x01, MASTER_AUDIO = 0x01, DTS_X = 0x02;

// Codec names: the format's own terms first, then the names people use.
// Names match whatever their case, spaces, '-', '_', '.' and ':' ("DTS:X",
// "dtsx" and "DTS-X" are one name).
struct Codec {
    const char *name;
    uint8_t format, extension;
    uint8_t detail; // the bits of byte 2 that the name implies
};
constexpr Codec CODECS[] = {
    {"lpcm", CEA_AUDIO_LPCM, 0, 0},
    {"pcm", CEA_AUDIO_LPCM, 0, 0},
    {"ac-3", CEA_AUDIO_AC3, 0, 0},
    {"dolby digital", CEA_AUDIO_AC3, 0, 0},
    {"dd", CEA_AUDIO_AC3, 0, 0},
    {"mpeg-1", CEA_AUDIO_MPEG1, 0, 0},
    {"mp3", CEA_AUDIO_MP3, 0, 0},
    {"mpeg-2", CEA_AUDIO_MPEG2, 0, 0},
    {"aac-lc", CEA_AUDIO_AAC, 0, 0},
    {"aac", CEA_AUDIO_AAC, 0, 0},
    {"dts", CEA_AUDIO_DTS, 0, 0},
    {"atrac", CEA_AUDIO_ATRAC, 0, 0},
    {"one-bit-audio", CEA_AUDIO_DSD, 0, 0},
    {"dsd", CEA_AUDIO_DSD, 0, 0},
    {"sacd", CEA_AUDIO_DSD, 0, 0},
    {"e-ac-3", CEA_AUDIO_EAC3, 0, 0},
    {"dolby digital plus", CEA_AUDIO_EAC3, 0, 0},
    {"dd+", CEA_AUDIO_EAC3, 0, 0},
    {"dd+ atmos", CEA_AUDIO_EAC3, 0, ATMOS},
    {"dts-hd", CEA_AUDIO_DTS_HD, 0, 0},
    {"dts-hd ma", CEA_AUDIO_DTS_HD, 0, MASTER_AUDIO},
    {"dts-hd master audio", CEA_AUDIO_DTS_HD, 0, MASTER_AUDIO},
    {"dts:x", CEA_AUDIO_DTS_HD, 0, MASTER_AUDIO | DTS_X},
    {"mat", CEA_AUDIO_MLP, 0, 0},
    {"mlp", CEA_AUDIO_MLP, 0, 0},
    {"truehd", CEA_AUDIO_MLP, 0, 0},
    {"dolby truehd", CEA_AUDIO_MLP, 0, 0},
    {"dolby atmos", CEA_AUDIO_MLP, 0, ATMOS},
    {"atmos", CEA_AUDIO_MLP, 0, ATMOS},
    {"dst", CEA_AUDIO_DST, 0, 0},
    {"wma-pro", CEA_AUDIO_WMA_PRO, 0, 0},
    {"mpeg-4-he-aac", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC, 0},
    {"he-aac", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC, 0},
    {"mpeg-4-he-aac-v2", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC_V2, 0},
    {"he-aac-v2", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC_V2, 0},
    {"mpeg-4-aac-lc", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_AAC_LC, 0},
    {"dra", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_DRA, 0},
    {"mpeg-4-he-aac-mpeg-surround", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC_MPS, 0},
    {"mpeg-4-aac-lc-mpeg-surround", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_AAC_LC_MPS, 0},
    {"mpeg-h-3d-audio", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG_H_3D, 0},
    {"mpeg-h", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG_H_3D, 0},
    {"ac-4", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_AC4, 0},
    {"lpcm-3d", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_LPCM_3D, 0},
    {"auro-cx", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_AURO_CX, 0},
    {"mpeg-d-usac", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG_D_USAC, 0},
};

// A codec name as it is matched: lower case, without separators.
std::string folded(std::string_view name)
{
    std::string out;
    for (const char c : name)
        if (!strchr(" -_.:", c)) out += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

const Codec *find_codec(std::string_view name)
{
    const std::string word = folded(name);
    for (const Codec &c : CODECS)
        if (!word.empty() && folded(c.name) == word) return &c;
    return nullptr;
}

struct Named {
    const char *name;
    uint32_t value;
};
// Sampling rates, in kHz and in Hz: compared as numbers.
constexpr struct {
    double khz, hz;
    uint8_t bit;
} RATES[] = {
    {32, 32000, CEA_AUDIO_RATE_32},   {44.1, 44100, CEA_AUDIO_RATE_44},
    {48, 48000, CEA_AUDIO_RATE_48},   {88.2, 88200, CEA_AUDIO_RATE_88},
    {96, 96000, CEA_AUDIO_RATE_96},   {176.4, 176400, CEA_AUDIO_RATE_176},
    {192, 192000, CEA_AUDIO_RATE_192},
};
constexpr const char *RATE_WORDS = "32, 44.1, 48, 88.2, 96, 176.4, 192 (kHz) or 32000, 44100, "
                                   "48000, 88200, 96000, 176400, 192000 (Hz)";
constexpr Named SAMPLE_SIZES[] = {
    {"16", CEA_AUDIO_DEPTH_16}, {"20", CEA_AUDIO_DEPTH_20}, {"24", CEA_AUDIO_DEPTH_24}};
// Speaker pairs by the names of the speaker allocation block (BL/BR and BC
// as today's names of RL/RR and RC), matched whatever their case.
constexpr Named SPEAKERS[] = {
    {"FL/FR", CEA_SPEAKER_FL_FR},
    {"LFE", CEA_SPEAKER_LFE},
    {"FC", CEA_SPEAKER_FC},
    {"RL/RR", CEA_SPEAKER_RL_RR},
    {"BL/BR", CEA_SPEAKER_RL_RR},
    {"RC", CEA_SPEAKER_RC},
    {"BC", CEA_SPEAKER_RC},
    {"FLC/FRC", CEA_SPEAKER_FLC_FRC},
    {"RLC/RRC", CEA_SPEAKER_RLC_RRC},
    {"FLW/FRW", CEA_SPEAKER_FLW_FRW},
    {"TPFL/TPFR", CEA_SPEAKER_TPFL_TPFR},
    {"TPC", CEA_SPEAKER_TPC},
    {"TPFC", CEA_SPEAKER_TPFC},
    {"LS/RS", CEA_SPEAKER_LS_RS},
    {"LFE2", CEA_SPEAKER_LFE2},
    {"TPBC", CEA_SPEAKER_TPBC},
    {"SIL/SIR", CEA_SPEAKER_SIL_SIR},
    {"TPSIL/TPSIR", CEA_SPEAKER_TPSIL_TPSIR},
    {"TPBL/TPBR", CEA_SPEAKER_TPBL_TPBR},
    {"BTFC", CEA_SPEAKER_BTFC},
    {"BTFL/BTFR", CEA_SPEAKER_BTFL_BTFR},
    {"TPLS/TPRS", CEA_SPEAKER_TPLS_TPRS},
};

std::string layout_names()
{
    std::string out;
    for (uint32_t n = 0; const char *name = edid_speaker_layout_name(n); ++n)
        out += (n ? ", " : "") + std::string(name);
    return out;
}

// rates = [...]: numbers, each a rate in kHz or Hz.
bool rates(Reader &r, const Key &k, uint8_t *mask)
{
    const toml::array *items = list(r, k, "rates");
    if (!items) return false;
    *mask = 0;
    for (const toml::node &item : *items) {
        const std::optional<double> v = item.is_number() ? item.value<double>() : std::nullopt;
        uint8_t bit = 0;
        for (const auto &rate : RATES)
            if (v && (*v == rate.khz || *v == rate.hz)) bit = rate.bit;
        if (!bit)
            return r.fail(item.source(), k.name,
                          shown(item) + " is not a rate; rates: " + RATE_WORDS);
        *mask |= bit;
    }
    return true;
}

// sample_sizes = [16, 20, 24]
bool sample_sizes(Reader &r, const Key &k, uint8_t *mask)
{
    const toml::array *items = list(r, k, "sample sizes");
    if (!items) return false;
    *mask = 0;
    for (const toml::node &item : *items) {
        const std::optional<int64_t> v = item.value_exact<int64_t>();
        uint32_t bit = 0;
        for (const Named &n : SAMPLE_SIZES)
            if (v && std::to_string(*v) == n.name) bit = n.value;
        if (!bit)
            return r.fail(item.source(), k.name,
                          shown(item) + " is not a sample size; sizes: " + listed(SAMPLE_SIZES));
        *mask |= uint8_t(bit);
    }
    return true;
}

// speakers = "7.1.4" or ["FL/FR", "LFE", ...]; [] for no speaker allocation.
bool speakers(Reader &r, const Key &k, uint32_t *mask)
{
    if (const std::optional<std::string_view> layout = k.node.value_exact<std::string_view>()) {
        *mask = edid_speaker_layout(std::string(*layout).c_str());
        if (*mask == 0 || layout->find('\0') != std::string_view::npos)
            return r.fail(k.node.source(), k.name,
                          quoted(*layout) + " is not a layout; layouts: " + layout_names() +
                              "; or a list of speaker pairs");
        return true;
    }
    const toml::array *items = list(r, k, "speaker pairs, nor a layout");
    if (!items) return false;
    *mask = 0;
    for (const toml::node &item : *items) {
        const std::optional<std::string_view> name = item.value_exact<std::string_view>();
        uint32_t bit = 0;
        for (const Named &n : SPEAKERS)
            if (name && folded(*name) == folded(n.name)) bit = n.value;
        if (!bit)
            return r.fail(item.source(), k.name,
                          shown(item) + " is not a speaker pair; pairs: " + listed(SPEAKERS));
        *mask |= bit;
    }
    return true;
}

// ---- The audio side -------------------------------------------------------

// Which keys of a format apply to a codec: the meaning of byte 2 and the
// channel count by its code.
bool linear_pcm(const Codec &c)
{
    return c.format == CEA_AUDIO_LPCM || c.extension == CEA_AUDIO_EXT_LPCM_3D;
}
bool takes_bitrate(const Codec &c)
{
    return c.format >= CEA_AUDIO_AC3 && c.format <= CEA_AUDIO_ATRAC;
}
bool takes_options(const Codec &c)
{
    return c.format >= CEA_AUDIO_DSD && c.format <= CEA_AUDIO_DST;
}
bool states_channels(const Codec &c)
{
    return c.extension != CEA_AUDIO_EXT_MPEG_H_3D && c.extension != CEA_AUDIO_EXT_AC4 &&
           c.extension != CEA_AUDIO_EXT_AURO_CX;
}

// One [[audio.format]] table.  Byte 2 of the codes 9 to 13 is the bits
// the codec's name implies, then `options` ORed in, then `atmos`,
// `master_audio` and `dts_x`, each setting its bit to its value.
bool read_format(Reader &r, const toml::table &t, const std::string &name, EdidAudioFormat *f)
{
    if (!only_keys(r, t, name + ".", FORMAT_KEYS, "[[audio.format]]")) return false;
    const toml::node *codec = t.get("codec");
    if (!codec) return r.fail(t.source(), name, "has no codec");
    std::string word;
    if (!string(r, Key{name + ".codec", *codec}, &word)) return false;
    const Codec *c = find_codec(word);
    if (!c)
        return r.fail(codec->source(), name + ".codec",
                      quoted(word) + " is not a codec; codecs: " + listed(CODECS));
    *f = EdidAudioFormat{c->format, c->extension, 0, 0, c->detail};
    uint8_t set = 0, clear = 0; // bits of byte 2 that the named flags set and clear
    for (auto &&entry : t) {
        const std::string_view kv = entry.first.str();
        const toml::node &node = entry.second;
        const Key k{name + "." + std::string(kv), node};
        auto only_for = [&](bool applies, const char *codecs) {
            return applies || r.fail(node.source(), k.name, std::string("applies to ") + codecs +
                                                                " only, not to " + quoted(word));
        };
        int64_t v = 0;
        bool b = false;
        if (kv == "codec") continue;
        if (kv == "channels") {
            if (!states_channels(*c))
                return r.fail(node.source(), k.name, quoted(word) + " states no channel count");
            if (!integer(r, k, 1, c->extension == CEA_AUDIO_EXT_LPCM_3D ? 32 : 8, &v)) return false;
            f->channels = uint8_t(v);
        } else if (kv == "rates") {
            if (!rates(r, k, &f->rates)) return false;
        } else if (kv == "sample_sizes") {
            if (!only_for(linear_pcm(*c), "lpcm and lpcm-3d") || !sample_sizes(r, k, &f->detail))
                return false;
        } else if (kv == "max_bitrate_kbps") {
            if (!only_for(takes_bitrate(*c), "ac-3, mpeg-1, mp3, mpeg-2, aac-lc, dts and atrac") ||
                !integer(r, k, 0, 255 * CEA_AUDIO_BITRATE_UNIT_KBPS, &v))
                return false;
            if (v % CEA_AUDIO_BITRATE_UNIT_KBPS)
                return r.fail(node.source(), k.name, "not a multiple of 8 kbps");
            f->detail = uint8_t(v / CEA_AUDIO_BITRATE_UNIT_KBPS);
        } else if (kv == "atmos" || kv == "master_audio" || kv == "dts_x") {
            const bool dolby = c->format == CEA_AUDIO_EAC3 || c->format == CEA_AUDIO_MLP;
            if (!(kv == "atmos" ? only_for(dolby, "e-ac-3 and mat")
                                : only_for(c->format == CEA_AUDIO_DTS_HD, "dts-hd")) ||
                !boolean(r, k, &b))
                return false;
            const uint8_t bit = kv == "atmos" ? ATMOS : kv == "dts_x" ? DTS_X : MASTER_AUDIO;
            (b ? set : clear) |= bit;
        } else if (kv == "options") {
            if (!only_for(takes_options(*c), "one-bit-audio, e-ac-3, dts-hd, mat and dst") ||
                !integer(r, k, 0, 255, &v))
                return false;
            f->detail |= uint8_t(v);
        } else if (kv == "profile") {
            if (!only_for(c->format == CEA_AUDIO_WMA_PRO, "wma-pro") || !integer(r, k, 0, 7, &v))
                return false;
            f->detail = uint8_t(v);
        } else if (kv == "flags") {
            if (!only_for(c->format == CEA_AUDIO_EXTENDED && !linear_pcm(*c),
                          "the types of format 15 but lpcm-3d") ||
                !integer(r, k, 0, 7, &v))
                return false;
            f->detail = uint8_t(v);
        }
    }
    f->detail = uint8_t((f->detail | set) & ~clear);
    if (states_channels(*c) && f->channels == 0) return r.fail(t.source(), name, "has no channels");
    if (f->rates == 0) return r.fail(t.source(), name, "has no rates");
    return true;
}

// What a refusal of the library means in a profile.
std::string refusal(int status)
{
    switch (status) {
    case EDID_DEVICE_AUDIO_TOO_LARGE:
        return "the audio side takes more than the " + std::to_string(EDID_DEVICE_AUDIO_BYTES) +
               " bytes or " + std::to_string(EDID_DEVICE_AUDIO_BLOCKS) +
               " blocks that the CEA block holds beside the device's other blocks (the speaker "
               "allocation added for more than two channels counted)";
    case EDID_DEVICE_NOT_AUDIO: return "not a whole data block of an audio kind";
    case EDID_DEVICE_AUDIO_NO_BASIC:
        return "audio without basic audio, which checkers fail: the formats need 2-channel "
               "linear PCM at 32, 44.1 and 48 kHz (codec = \"lpcm\", channels = 2, rates = [32, "
               "44.1, 48])";
    case EDID_DEVICE_AUDIO_SHORT_BLOCK: return "a block shorter than the fixed part of its kind";
    case EDID_DEVICE_BAD_FORMAT: return "an audio data block with a reserved format code";
    case EDID_DEVICE_AUDIO_REPEATED:
        return "a second speaker allocation, room configuration or HDMI audio block (an EDID "
               "holds one of each; speakers gives the speaker allocation)";
    case EDID_DEVICE_AUDIO_UNPAIRED:
        return "a speaker location block comes with a room configuration block whose SLD bit "
               "announces it, and the reverse";
    default: return "refused by the library (" + std::to_string(status) + ")";
    }
}

// [audio]: each key replaces or adds its part of the device's audio side,
// which is then written in order: speaker allocation, the formats' audio
// data blocks, Dolby's audio block, the blocks given whole.
bool read_audio(Reader &r, const toml::table &t, EdidDevice *d)
{
    if (!only_keys(r, t, "audio.", AUDIO_KEYS, "[audio]")) return false;
    uint32_t speaker_mask = 0;
    EdidAudioFormat formats[EDID_DEVICE_AUDIO_BYTES];
    uint32_t count = edid_device_audio_default_parts(&speaker_mask, formats);
    bool speaker_block = true;
    if (const toml::node *n = t.get("speakers")) {
        if (!speakers(r, Key{"audio.speakers", *n}, &speaker_mask)) return false;
        speaker_block = speaker_mask != 0;
    }
    if (const toml::node *n = t.get("format")) {
        const toml::array *items = n->as_array();
        if (!items || !(items->empty() || items->is_array_of_tables()))
            return r.fail(n->source(), "audio.format",
                          "not [[audio.format]] tables (format = [] for none)");
        count = 0;
        for (const toml::node &item : *items) {
            const std::string name = "audio.format[" + std::to_string(count + 1) + "]";
            if (count == EDID_DEVICE_AUDIO_BYTES)
                return r.fail(item.source(), name, refusal(EDID_DEVICE_AUDIO_TOO_LARGE));
            if (!read_format(r, *item.as_table(), name, &formats[count++])) return false;
        }
    }
    bool atmos = false;
    if (const toml::node *n = t.get("dolby_atmos"))
        if (!boolean(r, Key{"audio.dolby_atmos", *n}, &atmos)) return false;

    EdidDeviceAudio &audio = d->audio;
    audio.size = 0;
    int status = speaker_block ? edid_device_audio_add_speakers(&audio, speaker_mask)
                               : EDID_DEVICE_OK;
    if (status == EDID_DEVICE_OK) status = edid_device_audio_add_formats(&audio, formats, count);
    if (status != EDID_DEVICE_OK) return r.fail(t.source(), "audio", refusal(status));
    if (atmos) {
        status = edid_device_audio_add_dolby_atmos(&audio, speaker_block ? speaker_mask : 0);
        if (status != EDID_DEVICE_OK)
            return r.fail(t.get("dolby_atmos")->source(), "audio.dolby_atmos", refusal(status));
    }
    if (const toml::node *n = t.get("blocks")) {
        const toml::array *items = list(r, Key{"audio.blocks", *n}, "hex strings");
        if (!items) return false;
        for (const toml::node &item : *items) {
            const std::optional<std::string_view> text = item.value_exact<std::string_view>();
            uint8_t bytes[1 + CEA_MAX_PAYLOAD];
            const long length =
                text ? hex_text_decode(text->data(), text->size(), bytes, sizeof bytes) : -1;
            if (length <= 0)
                return r.fail(item.source(), "audio.blocks",
                              shown(item) + " is not hex digit pairs of one data block");
            status = edid_device_audio_add_block(&audio, bytes, uint32_t(length));
            if (status != EDID_DEVICE_OK)
                return r.fail(item.source(), "audio.blocks", refusal(status));
        }
    }
    // The rules of the whole side.  Speakers and formats alone can break
    // only the one of basic audio; the others, the blocks given whole.
    status = edid_device_audio_check(&audio);
    if (status == EDID_DEVICE_OK) return true;
    const toml::node *blocks = t.get("blocks");
    return status != EDID_DEVICE_AUDIO_NO_BASIC && blocks
               ? r.fail(blocks->source(), "audio.blocks", refusal(status))
               : r.fail(t.source(), "audio", refusal(status));
}

// ---- The top of the file ------------------------------------------------

constexpr int64_t PROFILE_VERSION = 1;

bool read_version(Reader &r, const toml::table &top)
{
    const toml::node *v = top.get("version");
    if (!v)
        return r.fail(top.source(), "version",
                      "missing: a profile starts with the line version = 1");
    if (v->value_exact<int64_t>() != PROFILE_VERSION)
        return r.fail(v->source(), "version",
                      shown(*v) + " is not a version this edid_build reads; write version = 1");
    return true;
}

bool read_top(Reader &r, const toml::table &top, EdidDevice *d)
{
    if (!only_keys(r, top, "", TOP_KEYS, "a profile")) return false;
    for (auto &&[key, node] : top) {
        const std::string_view name = key.str();
        const Key k{std::string(name), node};
        int64_t v = 0;
        bool b = false;
        std::string s;
        if (name == "version") {
            continue;
        } else if (name == "audio") {
            const toml::table *t = node.as_table();
            if (!t)
                return r.fail(node.source(), "audio", shown(node) + " is not a table ([audio])");
            if (!read_audio(r, *t, d)) return false;
        } else if (name == "vendor_id") {
            if (!string(r, k, &s)) return false;
            if (s.size() != 3 || strspn(s.c_str(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ") != 3)
                return r.fail(node.source(), k.name, quoted(s) + " is not three letters A to Z");
            memcpy(d->vendor_id, s.c_str(), 4);
        } else if (name == "name") {
            if (!string(r, k, &s)) return false;
            if (s.size() > EDID_TEXT_SIZE)
                return r.fail(node.source(), k.name, quoted(s) + " is longer than 13 characters");
            for (char c : s)
                if (c < 0x20 || c > 0x7E)
                    return r.fail(node.source(), k.name, quoted(s) + " is not printable ASCII");
            memset(d->name, 0, sizeof d->name);
            memcpy(d->name, s.c_str(), s.size());
        } else if (name == "thx") {
            if (!boolean(r, k, &b)) return false;
            d->thx = b;
        } else if (name == "product_code") {
            if (!integer(r, k, 0, 0xFFFF, &v)) return false;
            d->product_code = uint32_t(v);
        } else if (name == "serial_number") {
            if (!integer(r, k, 0, 0xFFFFFFFF, &v)) return false;
            d->serial_number = uint32_t(v);
        } else if (name == "week") {
            if (!integer(r, k, 0, 255, &v)) return false;
            d->week = int32_t(v);
        } else if (name == "year") {
            if (!integer(r, k, 1990, 2245, &v)) return false;
            d->year = int32_t(v);
        } else if (name == "video_latency_ms" || name == "audio_latency_ms") {
            if (!integer(r, k, 0, 500, &v)) return false;
            (name == "video_latency_ms" ? d->video_latency_ms : d->audio_latency_ms) = int32_t(v);
        } else if (name == "max_tmds_mhz") {
            if (!integer(r, k, 25, 340, &v)) return false;
            d->max_tmds_mhz = uint32_t(v);
        } else if (name == "max_tmds_character_rate_mhz") {
            if (!integer(r, k, 0, 600, &v)) return false;
            d->max_tmds_character_rate_mhz = uint32_t(v);
        } else if (name == "max_frl_rate") {
            if (!integer(r, k, 0, 6, &v)) return false;
            d->max_frl_rate = uint32_t(v);
        }
    }
    return true;
}

ProfileResult parse(std::string_view text, const char *path, EdidDevice *device,
                    std::string *error)
{
    // Profiles are ASCII, as the EDID's own texts are.  Other bytes are
    // refused before the parser sees them: toml++ 3.3 classifies some
    // code points as whitespace through an unreachable branch.
    unsigned line = 1;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            char detail[64];
            snprintf(detail, sizeof detail, ": a byte that is not ASCII (0x%02X)",
                     static_cast<unsigned char>(c));
            *error = std::string(path) + ":" + std::to_string(line) + detail;
            return PROFILE_INVALID;
        }
        line += c == '\n';
    }
    toml_failed_check = nullptr;
    toml::parse_result parsed = toml::parse(text, std::string_view(path));
    if (!parsed) {
        const toml::parse_error &e = parsed.error();
        *error = std::string(path) + ":" + std::to_string(e.source().begin.line) + ": " +
                 std::string(e.description());
        return PROFILE_INVALID;
    }
    if (toml_failed_check) {
        *error = std::string(path) + ": not TOML that toml++ reads (its check " +
                 quoted(toml_failed_check) + " failed)";
        return PROFILE_INVALID;
    }
    Reader r{path, error};
    const toml::table &top = parsed.table();
    if (!read_version(r, top) || !read_top(r, top, device)) return PROFILE_INVALID;
    const int status = edid_device_check(device);
    if (status != EDID_DEVICE_OK) {
        r.fail(top.source(), "audio", refusal(status));
        return PROFILE_INVALID;
    }
    return PROFILE_OK;
}

} // namespace

#endif

ProfileResult profile_parse(std::string_view text, const char *path, EdidDevice *device,
                            std::string *error)
{
    edid_device_init(device);
#if !EDID_PROFILES
    (void)text;
    *error = one_line(std::string(path) +
                      ": this edid_build was built without toml++, which reads profiles");
    return PROFILE_INVALID;
#else
    const ProfileResult result = parse(text, path, device, error);
    if (result != PROFILE_OK) *error = one_line(*error);
    return result;
#endif
}

ProfileResult profile_read(const char *path, EdidDevice *device, std::string *error)
{
    // A profile is a few hundred bytes; one of 64 KiB is no profile.
    static uint8_t text[64 * 1024];
    FILE *file = dump_file_open(path);
    if (!file) return PROFILE_UNREADABLE;
    size_t length = 0;
    const DumpFileResult read = dump_file_load(file, text, sizeof text, &length);
    const int saved = errno;
    fclose(file);
    errno = saved;
    if (read == DUMP_FILE_UNREADABLE) return PROFILE_UNREADABLE;
    if (read == DUMP_FILE_TOO_LONG) {
        *error = one_line(std::string(path) + ": larger than 64 KiB, not a device profile");
        return PROFILE_INVALID;
    }
    return profile_parse(std::string_view(reinterpret_cast<const char *>(text), length), path,
                         device, error);
}
