// SPDX-License-Identifier: MIT
// profile.cpp - a device profile (TOML, read by toml++) into the device
// record; profile.h lists the keys.  The words of the file are matched
// here; every byte of the EDID is composed by the library.
#include "profile.h"

#include "dump_file.h"
#include "hex_text.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>

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
#define TOML_ASSERT(expr) \
    (static_cast<bool>(expr) ? static_cast<void>(0) : static_cast<void>(::toml_failed_check = #expr))
#pragma push_macro("NDEBUG")
#undef NDEBUG
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

namespace {

// A source of errors that keeps the first: "FILE:LINE: KEY: what".
struct Reader {
    const char *path;
    std::string *error;
    bool failed = false;

    bool fail(const toml::source_region &at, std::string_view key, const std::string &what)
    {
        if (!failed) {
            *error = std::string(path) + ":" + std::to_string(at.begin.line) + ": " +
                     std::string(key) + ": " + what;
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

// The keys of a table, each required to be one of `known`.
template <size_t N>
bool only_keys(Reader &r, const toml::table &table, const std::string &prefix,
               const char *const (&known)[N])
{
    for (auto &&[key, node] : table) {
        bool ok = false;
        for (const char *k : known) ok |= key.str() == k;
        if (!ok) return r.fail(key.source(), prefix + std::string(key.str()), "unknown key");
    }
    return true;
}

// An integer in [low, high].
bool integer(Reader &r, const Key &k, int64_t low, int64_t high, int64_t *value)
{
    const std::optional<int64_t> v = k.node.value_exact<int64_t>();
    if (!v) return r.fail(k.node.source(), k.name, "not an integer");
    if (*v < low || *v > high)
        return r.fail(k.node.source(), k.name,
                      "out of range " + std::to_string(low) + " to " + std::to_string(high));
    *value = *v;
    return true;
}

bool boolean(Reader &r, const Key &k, bool *value)
{
    const std::optional<bool> v = k.node.value_exact<bool>();
    if (!v) return r.fail(k.node.source(), k.name, "not true or false");
    *value = *v;
    return true;
}

bool string(Reader &r, const Key &k, std::string *value)
{
    const std::optional<std::string_view> v = k.node.value_exact<std::string_view>();
    if (!v) return r.fail(k.node.source(), k.name, "not a string");
    *value = std::string(*v);
    return true;
}

// ---- Words for the format's codes --------------------------------------

struct Codec {
    const char *name;
    uint8_t format, extension;
};
constexpr Codec CODECS[] = {
    {"lpcm", CEA_AUDIO_LPCM, 0},
    {"ac-3", CEA_AUDIO_AC3, 0},
    {"mpeg-1", CEA_AUDIO_MPEG1, 0},
    {"mp3", CEA_AUDIO_MP3, 0},
    {"mpeg-2", CEA_AUDIO_MPEG2, 0},
    {"aac-lc", CEA_AUDIO_AAC, 0},
    {"dts", CEA_AUDIO_DTS, 0},
    {"atrac", CEA_AUDIO_ATRAC, 0},
    {"one-bit-audio", CEA_AUDIO_DSD, 0},
    {"e-ac-3", CEA_AUDIO_EAC3, 0},
    {"dts-hd", CEA_AUDIO_DTS_HD, 0},
    {"mat", CEA_AUDIO_MLP, 0}, // Dolby TrueHD and MAT
    {"dst", CEA_AUDIO_DST, 0},
    {"wma-pro", CEA_AUDIO_WMA_PRO, 0},
    {"mpeg-4-he-aac", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC},
    {"mpeg-4-he-aac-v2", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC_V2},
    {"mpeg-4-aac-lc", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_AAC_LC},
    {"dra", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_DRA},
    {"mpeg-4-he-aac-mpeg-surround", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC_MPS},
    {"mpeg-4-aac-lc-mpeg-surround", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_AAC_LC_MPS},
    {"mpeg-h-3d-audio", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG_H_3D},
    {"ac-4", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_AC4},
    {"lpcm-3d", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_LPCM_3D},
    {"auro-cx", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_AURO_CX},
    {"mpeg-d-usac", CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG_D_USAC},
};

struct Named {
    const char *name;
    uint32_t value;
};
// Sampling rates in kHz, as written (times 10: 44.1 is 441).
constexpr Named RATES[] = {
    {"320", CEA_AUDIO_RATE_32},   {"441", CEA_AUDIO_RATE_44}, {"480", CEA_AUDIO_RATE_48},
    {"882", CEA_AUDIO_RATE_88},   {"960", CEA_AUDIO_RATE_96}, {"1764", CEA_AUDIO_RATE_176},
    {"1920", CEA_AUDIO_RATE_192},
};
constexpr Named SAMPLE_SIZES[] = {
    {"16", CEA_AUDIO_DEPTH_16}, {"20", CEA_AUDIO_DEPTH_20}, {"24", CEA_AUDIO_DEPTH_24}};
// Speaker pairs by the names of the speaker allocation block (BL/BR and BC
// as today's name of RL/RR and RC).
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

template <size_t N>
bool lookup(const Named (&table)[N], std::string_view name, uint32_t *value)
{
    for (const Named &n : table)
        if (name.size() == strlen(n.name) && strncasecmp(n.name, name.data(), name.size()) == 0) {
            *value = n.value;
            return true;
        }
    return false;
}

// A list of numbers or names, each one of table's, ORed into *mask.
template <size_t N>
bool flags(Reader &r, const Key &k, const Named (&table)[N], bool tenths, uint32_t *mask)
{
    const toml::array *list = k.node.as_array();
    if (!list) return r.fail(k.node.source(), k.name, "not a list");
    *mask = 0;
    for (const toml::node &item : *list) {
        std::string word;
        const std::optional<double> v = item.value<double>();
        // Rates and sample sizes are below 1000, NaN is no number.
        if (v && item.is_number() && *v >= 0 && *v < 1000)
            word = std::to_string(int64_t(*v * (tenths ? 10 : 1) + 0.5));
        else if (const std::optional<std::string_view> s = item.value_exact<std::string_view>())
            word = std::string(*s);
        uint32_t bit;
        if (word.empty() || !lookup(table, word, &bit))
            return r.fail(item.source(), k.name, "not one of the values it takes");
        *mask |= bit;
    }
    return true;
}

// ---- Tables -------------------------------------------------------------

bool read_identity(Reader &r, const toml::table &t, EdidDevice *d)
{
    static const char *const keys[] = {"vendor", "product", "serial", "week", "year", "name"};
    if (!only_keys(r, t, "identity.", keys)) return false;
    for (auto &&[key, node] : t) {
        const Key k{"identity." + std::string(key.str()), node};
        int64_t v = 0;
        std::string s;
        if (key == "vendor") {
            if (!string(r, k, &s)) return false;
            if (s.size() != 3 || strspn(s.c_str(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ") != 3)
                return r.fail(node.source(), k.name, "not three letters A to Z");
            memcpy(d->vendor_id, s.c_str(), 4);
        } else if (key == "name") {
            if (!string(r, k, &s)) return false;
            if (s.size() > EDID_TEXT_SIZE)
                return r.fail(node.source(), k.name, "longer than 13 characters");
            for (char c : s)
                if (c < 0x20 || c > 0x7E)
                    return r.fail(node.source(), k.name, "not printable ASCII");
            memset(d->name, 0, sizeof d->name);
            memcpy(d->name, s.c_str(), s.size());
        } else if (key == "product") {
            if (!integer(r, k, 0, 0xFFFF, &v)) return false;
            d->product_code = uint32_t(v);
        } else if (key == "serial") {
            if (!integer(r, k, 0, 0xFFFFFFFF, &v)) return false;
            d->serial_number = uint32_t(v);
        } else if (key == "week") {
            if (!integer(r, k, 0, 255, &v)) return false;
            d->week = int32_t(v);
        } else if (key == "year") {
            if (!integer(r, k, 1990, 2245, &v)) return false;
            d->year = int32_t(v);
        }
    }
    return true;
}

bool read_format(Reader &r, const toml::table &t, const std::string &name, EdidAudioFormat *f)
{
    static const char *const keys[] = {
        "codec", "channels", "rates",   "sample_sizes", "max_bitrate_kbps", "atmos", "master_audio",
        "dts_x", "options",  "profile", "flags"};
    if (!only_keys(r, t, name + ".", keys)) return false;
    const toml::node *codec = t.get("codec");
    if (!codec) return r.fail(t.source(), name, "has no codec");
    std::string word;
    if (!string(r, Key{name + ".codec", *codec}, &word)) return false;
    const Codec *c = nullptr;
    for (const Codec &known : CODECS)
        if (strcasecmp(known.name, word.c_str()) == 0) c = &known;
    if (!c) return r.fail(codec->source(), name + ".codec", "unknown codec '" + word + "'");
    *f = EdidAudioFormat{c->format, c->extension, 0, 0, 0};
    const bool pcm = c->format == CEA_AUDIO_LPCM || c->extension == CEA_AUDIO_EXT_LPCM_3D;
    const bool bitrate = c->format >= CEA_AUDIO_AC3 && c->format <= CEA_AUDIO_ATRAC;
    const bool options = c->format >= CEA_AUDIO_DSD && c->format <= CEA_AUDIO_DST;
    for (auto &&entry : t) {
        // Named, not bound: the lambda below takes the node.
        const toml::key &key = entry.first;
        const toml::node &node = entry.second;
        const Key k{name + "." + std::string(key.str()), node};
        const std::string_view kv = key.str();
        int64_t v = 0;
        bool b = false;
        uint32_t mask = 0;
        auto only_for = [&](bool applies, const char *codecs) {
            return applies ||
                   r.fail(node.source(), k.name, std::string("applies to ") + codecs + " only");
        };
        if (kv == "codec") continue;
        if (kv == "channels") {
            if (!integer(r, k, 1, c->extension == CEA_AUDIO_EXT_LPCM_3D ? 32 : 8, &v)) return false;
            f->channels = uint8_t(v);
        } else if (kv == "rates") {
            if (!flags(r, k, RATES, true, &mask)) return false;
            f->rates = uint8_t(mask);
        } else if (kv == "sample_sizes") {
            if (!only_for(pcm, "lpcm and lpcm-3d") || !flags(r, k, SAMPLE_SIZES, false, &mask))
                return false;
            f->detail = uint8_t(mask);
        } else if (kv == "max_bitrate_kbps") {
            if (!only_for(bitrate, "ac-3, mpeg-1, mp3, mpeg-2, aac-lc, dts and atrac") ||
                !integer(r, k, 0, 255 * CEA_AUDIO_BITRATE_UNIT_KBPS, &v))
                return false;
            if (v % CEA_AUDIO_BITRATE_UNIT_KBPS)
                return r.fail(node.source(), k.name, "not a multiple of 8 kbps");
            f->detail = uint8_t(v / CEA_AUDIO_BITRATE_UNIT_KBPS);
        } else if (kv == "atmos") {
            if (!only_for(c->format == CEA_AUDIO_EAC3 || c->format == CEA_AUDIO_MLP,
                          "e-ac-3 and mat") ||
                !boolean(r, k, &b))
                return false;
            f->detail |= b ? 0x01 : 0; // joint object coding; TrueHD with objects
        } else if (kv == "master_audio" || kv == "dts_x") {
            if (!only_for(c->format == CEA_AUDIO_DTS_HD, "dts-hd") || !boolean(r, k, &b))
                return false;
            f->detail |= b ? (kv == "dts_x" ? 0x02 : 0x01) : 0;
        } else if (kv == "options") {
            if (!only_for(options, "one-bit-audio, e-ac-3, dts-hd, mat and dst") ||
                !integer(r, k, 0, 255, &v))
                return false;
            f->detail |= uint8_t(v);
        } else if (kv == "profile") {
            if (!only_for(c->format == CEA_AUDIO_WMA_PRO, "wma-pro") || !integer(r, k, 0, 7, &v))
                return false;
            f->detail = uint8_t(v);
        } else if (kv == "flags") {
            if (!only_for(c->format == CEA_AUDIO_EXTENDED && !pcm, "the types of format 15") ||
                !integer(r, k, 0, 7, &v))
                return false;
            f->detail = uint8_t(v);
        }
    }
    const bool counted = c->extension != CEA_AUDIO_EXT_MPEG_H_3D &&
                         c->extension != CEA_AUDIO_EXT_AC4 && c->extension != CEA_AUDIO_EXT_AURO_CX;
    if (counted && f->channels == 0) return r.fail(t.source(), name, "has no channels");
    if (!counted && t.get("channels"))
        return r.fail(t.get("channels")->source(), name + ".channels",
                      "this codec states no channel count");
    if (f->rates == 0) return r.fail(t.source(), name, "has no rates");
    return true;
}

bool read_audio(Reader &r, const toml::table &t, EdidDevice *d)
{
    static const char *const keys[] = {"speakers", "dolby_atmos", "thx", "blocks", "format"};
    if (!only_keys(r, t, "audio.", keys)) return false;
    EdidDeviceAudio &audio = d->audio;
    audio.size = 0;
    uint32_t speakers = 0;
    auto added = [&](const toml::node &at, const std::string &key, int status) {
        if (status == EDID_DEVICE_OK) return true;
        return r.fail(at.source(), key,
                      status == EDID_DEVICE_AUDIO_TOO_LARGE
                          ? "the audio side takes more than the " +
                                std::to_string(EDID_DEVICE_AUDIO_BYTES) +
                                " bytes that the CEA block holds beside the device's other blocks"
                          : std::string("not a whole audio data block"));
    };
    if (const toml::node *n = t.get("speakers")) {
        const Key k{"audio.speakers", *n};
        if (const std::optional<std::string_view> layout = n->value_exact<std::string_view>()) {
            speakers = edid_speaker_layout(std::string(*layout).c_str());
            if (!speakers)
                return r.fail(n->source(), k.name, "unknown layout '" + std::string(*layout) + "'");
        } else if (!flags(r, k, SPEAKERS, false, &speakers)) {
            return false;
        }
        if (!added(*n, k.name, edid_device_audio_add_speakers(&audio, speakers))) return false;
    }
    if (const toml::node *n = t.get("format")) {
        const toml::array *list = n->as_array();
        if (!list || !list->is_array_of_tables())
            return r.fail(n->source(), "audio.format", "not an array of tables ([[audio.format]])");
        EdidAudioFormat formats[EDID_DEVICE_AUDIO_BYTES];
        uint32_t count = 0;
        for (const toml::node &item : *list) {
            const std::string name = "audio.format[" + std::to_string(count + 1) + "]";
            if (count == EDID_DEVICE_AUDIO_BYTES)
                return added(item, name, EDID_DEVICE_AUDIO_TOO_LARGE);
            if (!read_format(r, *item.as_table(), name, &formats[count++])) return false;
        }
        if (!added(*n, "audio.format", edid_device_audio_add_formats(&audio, formats, count)))
            return false;
    }
    if (const toml::node *n = t.get("dolby_atmos")) {
        bool on = false;
        if (!boolean(r, Key{"audio.dolby_atmos", *n}, &on)) return false;
        if (on &&
            !added(*n, "audio.dolby_atmos", edid_device_audio_add_dolby_atmos(&audio, speakers)))
            return false;
    }
    if (const toml::node *n = t.get("thx")) {
        bool on = false;
        if (!boolean(r, Key{"audio.thx", *n}, &on)) return false;
        d->thx = on;
    }
    if (const toml::node *n = t.get("blocks")) {
        const toml::array *list = n->as_array();
        if (!list) return r.fail(n->source(), "audio.blocks", "not a list of hex strings");
        for (const toml::node &item : *list) {
            const std::optional<std::string_view> text = item.value_exact<std::string_view>();
            uint8_t bytes[1 + CEA_MAX_PAYLOAD];
            const long length =
                text ? hex_text_decode(text->data(), text->size(), bytes, sizeof bytes) : -1;
            const bool hex = length > 0;
            if (!hex || length == 0)
                return r.fail(item.source(), "audio.blocks",
                              "not hex digit pairs of one data block");
            if (!added(item, "audio.blocks",
                       edid_device_audio_add_block(&audio, bytes, uint32_t(length))))
                return false;
        }
    }
    return true;
}

bool read_latency(Reader &r, const toml::table &t, EdidDevice *d)
{
    static const char *const keys[] = {"video_ms", "audio_ms"};
    if (!only_keys(r, t, "latency.", keys)) return false;
    for (auto &&[key, node] : t) {
        int64_t v = 0;
        if (!integer(r, Key{"latency." + std::string(key.str()), node}, 0, 500, &v)) return false;
        (key == "video_ms" ? d->video_latency_ms : d->audio_latency_ms) = int32_t(v);
    }
    return true;
}

bool read_link(Reader &r, const toml::table &t, EdidDevice *d)
{
    static const char *const keys[] = {"max_tmds_mhz", "max_tmds_character_rate_mhz",
                                       "max_frl_rate"};
    if (!only_keys(r, t, "link.", keys)) return false;
    for (auto &&[key, node] : t) {
        const Key k{"link." + std::string(key.str()), node};
        int64_t v = 0;
        if (key == "max_tmds_mhz") {
            if (!integer(r, k, 25, 340, &v)) return false;
            d->max_tmds_mhz = uint32_t(v);
        } else if (key == "max_tmds_character_rate_mhz") {
            if (!integer(r, k, 0, 600, &v)) return false;
            d->max_tmds_character_rate_mhz = uint32_t(v);
        } else {
            if (!integer(r, k, 0, 6, &v)) return false;
            d->max_frl_rate = uint32_t(v);
        }
    }
    return true;
}

} // namespace

#endif

ProfileResult profile_parse(std::string_view text, const char *path, EdidDevice *device,
                            std::string *error)
{
#if !EDID_PROFILES
    (void)text;
    edid_device_init(device);
    *error = std::string(path) + ": this edid_build was built without toml++, which reads profiles";
    return PROFILE_INVALID;
#else
    edid_device_init(device);
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
        *error = std::string(path) + ": not TOML that toml++ reads (its check '" +
                 toml_failed_check + "' failed)";
        return PROFILE_INVALID;
    }
    Reader r{path, error};
    const toml::table &top = parsed.table();
    static const char *const tables[] = {"identity", "audio", "latency", "link"};
    if (!only_keys(r, top, "", tables)) return PROFILE_INVALID;
    for (auto &&[key, node] : top) {
        const toml::table *t = node.as_table();
        if (!t) {
            r.fail(node.source(), key.str(), "not a table ([" + std::string(key.str()) + "])");
            return PROFILE_INVALID;
        }
        const bool ok = key == "identity"  ? read_identity(r, *t, device)
                        : key == "audio"   ? read_audio(r, *t, device)
                        : key == "latency" ? read_latency(r, *t, device)
                                           : read_link(r, *t, device);
        if (!ok) return PROFILE_INVALID;
    }
    if (edid_device_check(device) != EDID_DEVICE_OK) {
        // The blocks fit, but not with the speaker allocation they need.
        const toml::node *audio = top.get("audio");
        r.fail(audio ? audio->source() : top.source(), "audio",
               "with the speaker allocation that more than two channels need, the audio side "
               "takes more than " +
                   std::to_string(EDID_DEVICE_AUDIO_BYTES) + " bytes");
        return PROFILE_INVALID;
    }
    return PROFILE_OK;
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
        *error = std::string(path) + ": larger than 64 KiB, not a device profile";
        return PROFILE_INVALID;
    }
    return profile_parse(std::string_view(reinterpret_cast<const char *>(text), length), path,
                         device, error);
}
