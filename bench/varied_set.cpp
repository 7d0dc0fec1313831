// SPDX-License-Identifier: MIT
// Decode time per EDID over a varied set, as a sink-facing device meets
// them: every EDID of the repository's test data, the real EDIDs of
// EDID_BENCH_EDID_DIR (*.bin, skipped with a note when absent), and a few
// thousand EDIDs made with the encoder from seeded records shaped like real
// ones:
//   - about a fifth base-only (monitors and projectors: detailed timings,
//     range limits, name, serial);
//   - most of the rest TVs and receivers: a CEA block with 4 to 15 data
//     blocks of mixed tags (video, audio, speakers, HDMI and HDMI Forum
//     vendor blocks, extended-tag blocks) and 0 to 4 detailed timings;
//   - a few with many small data blocks;
//   - some whose CEA block is found through an extension block map (byte
//     126 = 2 or 3), some with a bad base block checksum, some EDID 1.4.
// They are held one after the other in one buffer and decoded in turn with
// edid_decode_bounded into one record, so that the branch predictor and the
// caches meet a stream of different EDIDs instead of one EDID again and
// again.  The counter time_per_edid is the mean time of one decode.
// decode_varied_500 decodes the first 500 only, few enough for the branch
// predictor to learn: the same kind of EDIDs with no branch mispredicted.
#include <benchmark/benchmark.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tools/dump_file.h"
#include <edid/edid.h>

namespace {

constexpr unsigned GENERATED_EDIDS = 4000;
constexpr uint32_t SEED = 13;

constexpr size_t EXTENSION_COUNT_BYTE = 126;
constexpr size_t CHECKSUM_BYTE = 127;
constexpr size_t REVISION_BYTE = 19;
constexpr uint8_t BLOCK_MAP_TAG = 0xF0;
constexpr uint8_t DISPLAYID_TAG = 0x70; // an extension that is not decoded
constexpr unsigned CEA_ROOM = 123;      // bytes 4 to 126: data blocks and timings
constexpr uint8_t EXTENDED_TAG = 7;     // data block tag of the extended tags

// All EDIDs of the set, one after the other.
struct VariedSet {
    struct Entry {
        size_t offset, length;
    };
    std::vector<uint8_t> bytes;
    std::vector<Entry> entries;
    unsigned from_files = 0;

    void add(const uint8_t *dump, size_t length)
    {
        entries.push_back({bytes.size(), length});
        bytes.insert(bytes.end(), dump, dump + length);
    }
};

void fix_checksum(uint8_t *block)
{
    block[CHECKSUM_BYTE] = 0;
    block[CHECKSUM_BYTE] = uint8_t(0x100 - edid_checksum(block));
}

// ---- Files: the test data (hex text) and the real EDIDs (raw bytes) ------

void add_files(VariedSet &set, const std::string &directory, const char *extension)
{
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> paths;
    for (const fs::directory_entry &e : fs::directory_iterator(directory, error))
        if (e.path().extension() == extension) paths.push_back(e.path());
    if (error) {
        fprintf(stderr, "edid_bench: %s: %s; the varied set goes without its EDIDs\n",
                directory.c_str(), error.message().c_str());
        return;
    }
    std::sort(paths.begin(), paths.end());
    static DumpFile dump;
    for (const fs::path &path : paths) {
        // Every dump is kept, short or broken ones too (they are refused
        // quickly, as a device refuses them); only unreadable files are not.
        if (dump_file_read(path.c_str(), &dump) != DUMP_FILE_OK) continue;
        set.add(dump.bytes, dump.length);
        set.from_files++;
    }
}

// ---- Generated EDIDs -------------------------------------------------------

enum class BlockKind { AUDIO, VIDEO, VENDOR, SPEAKER, EXTENDED };

class Generator {
  public:
    explicit Generator(uint32_t seed) : rng_(seed) {}

    unsigned pick(unsigned lo, unsigned hi) // uniform in lo..hi
    {
        return std::uniform_int_distribution<unsigned>(lo, hi)(rng_);
    }
    bool chance(unsigned percent) { return pick(0, 99) < percent; }
    template <typename T, size_t N>
    const T &one_of(const T (&table)[N])
    {
        return table[pick(0, N - 1)];
    }

    void base_block(EdidInfo *e, bool tv);
    void cea_block(CeaExtension *cea, unsigned blocks_lo, unsigned blocks_hi, unsigned timings_hi,
                   unsigned payload_hi);

  private:
    void detailed_timing(EdidDetailedTiming *t, unsigned width_mm, unsigned height_mm);
    void text(char *out, const char *const *words, size_t count);
    void descriptor(EdidDescriptor *d, uint32_t type, unsigned width_mm, unsigned height_mm);
    BlockKind later_block_kind();
    unsigned data_block(CeaDataBlock *b, BlockKind kind, bool first, unsigned room,
                        unsigned payload_hi);

    std::mt19937 rng_;
};

// Common modes: pixel clock (10 kHz), active, blanking, sync offset and
// width, horizontally then vertically, interlaced.
struct Mode {
    uint32_t clock, ha, hb, hso, hsw, va, vb, vso, vsw, interlaced;
};
constexpr Mode MODES[] = {
    {14850, 1920, 280, 88, 44, 1080, 45, 4, 5, 0},   // 1080p60
    {7425, 1280, 370, 110, 40, 720, 30, 5, 5, 0},    // 720p60
    {7425, 1920, 280, 88, 44, 540, 22, 2, 5, 1},     // 1080i60
    {29700, 3840, 560, 176, 88, 2160, 90, 8, 10, 0}, // 2160p30
    {2700, 720, 138, 16, 62, 480, 45, 9, 6, 0},      // 480p60
    {10800, 1280, 408, 48, 112, 1024, 42, 1, 3, 0},  // 1280x1024@60
    {6500, 1024, 320, 24, 136, 768, 38, 3, 6, 0},    // 1024x768@60
    {15400, 1920, 160, 48, 32, 1200, 35, 3, 6, 0},   // 1920x1200@60 reduced blanking
    {24150, 2560, 160, 48, 32, 1440, 41, 3, 5, 0},   // 2560x1440@60
    {14850, 1920, 720, 528, 44, 1080, 45, 4, 5, 0},  // 1080p50
};

void Generator::detailed_timing(EdidDetailedTiming *t, unsigned width_mm, unsigned height_mm)
{
    const Mode &m = one_of(MODES);
    *t = EdidDetailedTiming{};
    t->pixel_clock = m.clock;
    t->h_active = m.ha;
    t->h_blank = m.hb;
    t->v_active = m.va;
    t->v_blank = m.vb;
    t->h_sync_offset = m.hso;
    t->h_sync_width = m.hsw;
    t->v_sync_offset = m.vso;
    t->v_sync_width = m.vsw;
    t->h_image_mm = width_mm;
    t->v_image_mm = height_mm;
    t->interlaced = m.interlaced;
    t->digital_sync = 1;
    t->separate_sync = 1;
    t->vsync_positive = chance(70);
    t->hsync_positive = chance(70);
}

void Generator::text(char *out, const char *const *words, size_t count)
{
    snprintf(out, EDID_TEXT_SIZE + 1, "%s", words[pick(0, unsigned(count) - 1)]);
}

// Standard timing codes (byte 0 | byte 1 << 8) in common use: 1920x1080,
// 1280x720, 1600x900 at 60 Hz (16:9), 1280x1024 (5:4), 1024x768, 800x600,
// 1600x1200 (4:3), 1152x864@75, 1280x960.
constexpr uint32_t STD_CODES[] = {0xC0D1, 0xC081, 0xC0A9, 0x8081, 0x4061,
                                  0x4045, 0x40A9, 0x4F71, 0x4081};

constexpr const char *NAMES[] = {"SAMSUNG",  "LG TV",       "SONY TV",     "VIZIO",
                                 "TCL",      "DELL U2719D", "BenQ GW2480", "AVR-X2300W",
                                 "TX-NR555", "PHILIPS",     "HP E24",      "Projector"};
constexpr const char *SERIALS[] = {"0x01010101", "H4ZK300123", "702NTKF2B416", "CN0F7TXD7444"};

// A descriptor slot of the type asked for.
void Generator::descriptor(EdidDescriptor *d, uint32_t type, unsigned width_mm, unsigned height_mm)
{
    d->type = type;
    switch (type) {
    case EDID_DESC_TIMING: detailed_timing(&d->body.timing, width_mm, height_mm); break;
    case EDID_DESC_RANGE_LIMITS:
        d->body.range_limits = {pick(23, 56), pick(60, 144), pick(15, 31), pick(68, 160),
                                10 * pick(15, 60)};
        break;
    case EDID_DESC_NAME:
    case EDID_DESC_TEXT: text(d->body.text, NAMES, std::size(NAMES)); break;
    case EDID_DESC_SERIAL: text(d->body.text, SERIALS, std::size(SERIALS)); break;
    case EDID_DESC_STD_TIMINGS:
        for (EdidStandardTiming &s : d->body.std_timings)
            s.raw_code = chance(50) ? one_of(STD_CODES) : uint32_t(EDID_STD_TIMING_EMPTY);
        break;
    case EDID_DESC_WHITE_POINT:
        for (EdidWhitePoint &w : d->body.white_points) w = {pick(0, 2), 320, 337, 2252};
        break;
    case EDID_DESC_EMPTY: break;
    default: memset(d->body.raw, 0, sizeof d->body.raw); break; // dummy descriptor
    }
}

// Slots 1 to 3 as real EDIDs fill them, after the preferred timing in slot
// 0: a second timing, range limits and the name in some order, a serial
// number or a dummy descriptor (tag 0x10); now and then, in the last slot,
// standard timings, white points, text or the empty-slot marker.
constexpr uint32_t TV_LAYOUTS[][3] = {{EDID_DESC_TIMING, EDID_DESC_RANGE_LIMITS, EDID_DESC_NAME},
                                      {EDID_DESC_TIMING, EDID_DESC_NAME, EDID_DESC_RANGE_LIMITS},
                                      {EDID_DESC_NAME, EDID_DESC_RANGE_LIMITS, 0x10},
                                      {EDID_DESC_NAME, EDID_DESC_TIMING, EDID_DESC_RANGE_LIMITS},
                                      {EDID_DESC_RANGE_LIMITS, EDID_DESC_NAME, EDID_DESC_SERIAL}};
constexpr uint32_t MONITOR_LAYOUTS[][3] = {
    {EDID_DESC_SERIAL, EDID_DESC_RANGE_LIMITS, EDID_DESC_NAME},
    {EDID_DESC_RANGE_LIMITS, EDID_DESC_NAME, EDID_DESC_SERIAL},
    {EDID_DESC_TIMING, EDID_DESC_RANGE_LIMITS, EDID_DESC_NAME},
    {EDID_DESC_NAME, EDID_DESC_RANGE_LIMITS, EDID_DESC_TEXT}};
constexpr uint32_t RARE_LAST_SLOTS[] = {EDID_DESC_STD_TIMINGS, EDID_DESC_WHITE_POINT,
                                        EDID_DESC_TEXT, EDID_DESC_EMPTY};

void Generator::base_block(EdidInfo *e, bool tv)
{
    static const uint8_t HEADER[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    memcpy(e->header, HEADER, sizeof HEADER);
    for (unsigned i = 0; i < 3; ++i) e->vendor_id[i] = char('A' + pick(0, 25));
    e->vendor_id[3] = '\0';
    e->product_code = pick(0, 0xFFFF);
    e->serial_number = chance(30) ? 0x01010101 : uint32_t(rng_());
    e->week = int32_t(pick(0, 53));
    e->year = int32_t(2005 + pick(0, 20));
    e->version = EDID_VERSION;
    e->revision = EDID_REVISION;
    e->video_input = 0x80;
    e->max_h_size_cm = int32_t(tv ? pick(60, 160) : pick(30, 80));
    e->max_v_size_cm = e->max_h_size_cm * 9 / 16;
    e->gamma = 2252; // 2.20
    e->features = tv ? 0x0A : 0xEA;
    const uint32_t chroma[8] = {655, 338, 307, 614, 154, 61, 320, 337};
    uint32_t *coords[8] = {&e->red_x,  &e->red_y,  &e->green_x, &e->green_y,
                           &e->blue_x, &e->blue_y, &e->white_x, &e->white_y};
    for (unsigned i = 0; i < 8; ++i) *coords[i] = chroma[i] + pick(0, 20) - 10;
    e->est_720x400_70 = chance(40);
    e->est_640x480_60 = chance(90);
    e->est_640x480_75 = chance(30);
    e->est_800x600_60 = chance(70);
    e->est_800x600_75 = chance(30);
    e->est_1024x768_60 = chance(70);
    e->est_1024x768_75 = chance(30);
    e->est_1280x1024_75 = chance(20);
    e->manufacturer_mask = 0;

    const unsigned used = pick(0, EDID_STD_TIMINGS);
    for (unsigned k = 0; k < EDID_STD_TIMINGS; ++k)
        e->standard_timings[k].raw_code =
            k < used ? one_of(STD_CODES) : uint32_t(EDID_STD_TIMING_EMPTY);

    const unsigned width_mm = unsigned(e->max_h_size_cm) * 10 - pick(0, 9);
    const unsigned height_mm = unsigned(e->max_v_size_cm) * 10 - pick(0, 9);
    e->descriptors[0].type = EDID_DESC_TIMING; // the preferred timing
    detailed_timing(&e->descriptors[0].body.timing, width_mm, height_mm);
    const uint32_t *layout = tv ? one_of(TV_LAYOUTS) : one_of(MONITOR_LAYOUTS);
    for (unsigned k = 1; k < EDID_DESCRIPTORS; ++k) {
        const bool rare = k == EDID_DESCRIPTORS - 1 && chance(8);
        descriptor(&e->descriptors[k], rare ? one_of(RARE_LAST_SLOTS) : layout[k - 1], width_mm,
                   height_mm);
    }
    e->has_cea = 0;
}

// Data blocks as real sinks mix them: a video and an audio block first,
// then mostly vendor-specific and extended-tag blocks and a speaker
// allocation, now and then a second video or audio block or a reserved tag.
BlockKind Generator::later_block_kind()
{
    const unsigned roll = pick(0, 99);
    return roll < 3    ? BlockKind::AUDIO
           : roll < 6  ? BlockKind::VIDEO
           : roll < 38 ? BlockKind::VENDOR
           : roll < 50 ? BlockKind::SPEAKER
                       : BlockKind::EXTENDED;
}

// One data block of the kind asked for, of at most room bytes (header
// included) and at most payload_hi payload bytes; returns its size in bytes,
// or 0 when none fits.
unsigned Generator::data_block(CeaDataBlock *b, BlockKind kind, bool first, unsigned room,
                               unsigned payload_hi)
{
    if (room < 2) return 0;
    const unsigned max_payload = std::min(room - 1, payload_hi);
    if (kind == BlockKind::AUDIO && max_payload >= 3) {
        // Linear PCM first, then other formats in ascending code order.
        static constexpr uint8_t OTHER_FORMATS[] = {2, 6, 7, 9, 10, 11, 12, 14};
        b->tag = CEA_TAG_AUDIO;
        CeaAudioBlock &a = b->body.audio;
        const unsigned wanted = pick(1, std::min(7u, max_payload / 3));
        a.count = 0;
        for (unsigned i = 0; a.count < wanted && i <= std::size(OTHER_FORMATS); ++i) {
            if (i > 0 && chance(50)) continue;
            CeaShortAudioDescriptor &s = a.descriptors[a.count++];
            s = CeaShortAudioDescriptor{};
            s.format = i == 0 ? uint32_t(CEA_AUDIO_LPCM) : OTHER_FORMATS[i - 1];
            s.channels = chance(50) ? 1 : 7;
            s.rate_48 = s.rate_44 = s.rate_32 = 1;
            s.rate_96 = s.rate_192 = chance(50);
            if (s.format == CEA_AUDIO_LPCM)
                s.depth_24 = s.depth_20 = s.depth_16 = 1;
            else if (s.format >= CEA_AUDIO_DSD)
                s.options = uint8_t(pick(0, 3));
            else
                s.max_bitrate = pick(40, 192);
        }
        return 1 + 3 * a.count;
    }
    if (kind == BlockKind::VIDEO) {
        b->tag = CEA_TAG_VIDEO;
        CeaVideoBlock &v = b->body.video;
        const unsigned most = std::min(first ? 31u : 6u, max_payload);
        v.count = pick(std::min(first ? 8u : 1u, most), most);
        for (unsigned i = 0; i < v.count; ++i) v.descriptors[i] = {i == 0, pick(1, 107)};
        return 1 + v.count;
    }
    if (kind == BlockKind::VENDOR && max_payload >= 5) {
        // HDMI (physical address and flags) or HDMI Forum vendor block.
        b->tag = CEA_TAG_VENDOR;
        CeaVendorBlock &v = b->body.vendor;
        v.oui = chance(60) ? CEA_OUI_HDMI : 0xC45DD8;
        v.size = pick(2, std::min(9u, max_payload - 3));
        for (unsigned i = 0; i < v.size; ++i) v.payload[i] = uint8_t(pick(0, 255));
        return 4 + v.size;
    }
    if (kind == BlockKind::SPEAKER && max_payload >= 3) {
        b->tag = CEA_TAG_SPEAKER;
        b->body.speakers = CeaSpeakerAllocation{};
        b->body.speakers.fl_fr = 1;
        b->body.speakers.lfe = b->body.speakers.fc = chance(60);
        b->body.speakers.rl_rr = chance(40);
        return 4;
    }
    // Extended-tag blocks (video capability, colorimetry, HDR static
    // metadata, YCbCr 4:2:0 capability map) and, rarely, a reserved tag;
    // also the blocks of the other kinds that do not fit.
    static constexpr uint8_t RESERVED_TAGS[] = {0, 5, 6};
    b->tag = chance(97) ? EXTENDED_TAG : one_of(RESERVED_TAGS);
    CeaRawBlock &r = b->body.raw;
    r.size = pick(1, std::min(6u, max_payload));
    static constexpr uint8_t EXTENDED[] = {0x00, 0x05, 0x06, 0x0F};
    r.bytes[0] = one_of(EXTENDED);
    for (unsigned i = 1; i < r.size; ++i) r.bytes[i] = uint8_t(pick(0, 255));
    return 1 + r.size;
}

void Generator::cea_block(CeaExtension *cea, unsigned blocks_lo, unsigned blocks_hi,
                          unsigned timings_hi, unsigned payload_hi)
{
    cea->underscan = chance(50);
    cea->basic_audio = 1;
    cea->ycbcr_444 = cea->ycbcr_422 = chance(80);
    cea->detailed_timing_count = pick(0, timings_hi);
    cea->native_modes = cea->detailed_timing_count;
    for (uint32_t i = 0; i < cea->detailed_timing_count; ++i)
        detailed_timing(&cea->detailed_timings[i], 0, 0);

    // As many blocks as the bytes that the timings leave allow.
    unsigned room = CEA_ROOM - EDID_DESCRIPTOR_SIZE * cea->detailed_timing_count;
    const unsigned wanted = pick(blocks_lo, blocks_hi);
    cea->data_block_count = 0;
    while (cea->data_block_count < wanted) {
        CeaDataBlock *b = &cea->data_blocks[cea->data_block_count];
        const unsigned n = cea->data_block_count;
        const BlockKind kind = n == 0   ? BlockKind::VIDEO
                               : n == 1 ? BlockKind::AUDIO
                                        : later_block_kind();
        const unsigned size = data_block(b, kind, n == 0, room, payload_hi);
        if (size == 0) break;
        room -= size;
        cea->data_block_count++;
    }
}

// A dump with the CEA block (block 1 of a two-block dump) found through an
// extension block map: byte 126 = 2 (map, CEA) or, with displayid, 3 (map,
// DisplayID, CEA).
std::vector<uint8_t> with_block_map(const uint8_t *tv, bool displayid)
{
    const unsigned blocks = displayid ? 4 : 3;
    std::vector<uint8_t> dump(blocks * EDID_BLOCK_SIZE, 0);
    uint8_t *base = dump.data(), *map = base + EDID_BLOCK_SIZE;
    memcpy(base, tv, EDID_BLOCK_SIZE);
    base[EXTENSION_COUNT_BYTE] = uint8_t(blocks - 1);
    fix_checksum(base);
    map[0] = BLOCK_MAP_TAG;
    map[1] = displayid ? DISPLAYID_TAG : uint8_t(CEA_EXTENSION_TAG);
    map[2] = displayid ? uint8_t(CEA_EXTENSION_TAG) : 0;
    fix_checksum(map);
    if (displayid) {
        uint8_t *other = base + 2 * EDID_BLOCK_SIZE;
        other[0] = DISPLAYID_TAG;
        fix_checksum(other);
    }
    memcpy(base + (blocks - 1) * EDID_BLOCK_SIZE, tv + EDID_BLOCK_SIZE, EDID_BLOCK_SIZE);
    return dump;
}

// What a generated EDID is, with its share of the set in percent.
enum class Kind { BASE_ONLY, MANY_BLOCKS, MAP_2, MAP_3, BAD_CHECKSUM, EDID_14, TV };
constexpr struct {
    Kind kind;
    unsigned percent;
} SHARES[] = {{Kind::BASE_ONLY, 20},   {Kind::MANY_BLOCKS, 3}, {Kind::MAP_2, 4}, {Kind::MAP_3, 3},
              {Kind::BAD_CHECKSUM, 4}, {Kind::EDID_14, 8},     {Kind::TV, 58}};

Kind pick_kind(Generator &g)
{
    unsigned roll = g.pick(0, 99);
    for (const auto &share : SHARES) {
        if (roll < share.percent) return share.kind;
        roll -= share.percent;
    }
    return Kind::TV;
}

void add_generated(VariedSet &set, unsigned count)
{
    Generator g(SEED);
    static EdidInfo info;
    uint8_t dump[2 * EDID_BLOCK_SIZE];
    for (unsigned n = 0; n < count; ++n) {
        const Kind kind = pick_kind(g);
        info = EdidInfo{};
        g.base_block(&info, kind != Kind::BASE_ONLY);
        if (kind == Kind::MANY_BLOCKS)
            g.cea_block(&info.cea, 20, CEA_MAX_DATA_BLOCKS, 0, 3);
        else if (kind != Kind::BASE_ONLY)
            g.cea_block(&info.cea, 4, 15, 4, CEA_MAX_PAYLOAD);
        info.has_cea = kind != Kind::BASE_ONLY;
        edid_encode(&info, dump);
        const size_t length = info.has_cea ? sizeof dump : size_t(EDID_BLOCK_SIZE);

        switch (kind) {
        case Kind::MAP_2:
        case Kind::MAP_3: {
            const std::vector<uint8_t> mapped = with_block_map(dump, kind == Kind::MAP_3);
            set.add(mapped.data(), mapped.size());
            continue;
        }
        case Kind::BAD_CHECKSUM:
            dump[g.pick(0, EDID_BLOCK_SIZE - 1)] ^= uint8_t(g.pick(1, 255));
            break;
        case Kind::EDID_14:
            dump[REVISION_BYTE] = 4;
            fix_checksum(dump);
            break;
        default: break;
        }
        set.add(dump, length);
    }
}

const VariedSet &varied_set()
{
    static const VariedSet set = [] {
        VariedSet s;
        add_files(s, EDID_BENCH_TEST_DATA, ".hex");
        add_files(s, EDID_BENCH_EDID_DIR, ".bin");
        add_generated(s, GENERATED_EDIDS);
        return s;
    }();
    return set;
}

// Decodes the first count EDIDs of the set in turn, again and again, with
// decode: edid_decode_bounded or edid_decode_sink.
void decode_stream(benchmark::State &state, size_t count,
                   int (*decode)(const uint8_t *, size_t, EdidInfo *) = edid_decode_bounded)
{
    const VariedSet &set = varied_set();
    const uint8_t *bytes = set.bytes.data();
    const VariedSet::Entry *first = set.entries.data(), *end = first + count;
    static EdidInfo info;
    for (auto _ : state) {
        for (const VariedSet::Entry *e = first; e != end; ++e)
            benchmark::DoNotOptimize(decode(bytes + e->offset, e->length, &info));
        benchmark::ClobberMemory();
    }
    const double edids = double(count) * double(state.iterations());
    state.SetItemsProcessed(int64_t(edids));
    // EDIDs per second, inverted: seconds per EDID, shown as "74.1ns".
    state.counters["time_per_edid"] =
        benchmark::Counter(edids, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel(std::to_string(count) + " EDIDs, " + std::to_string(set.from_files) +
                   " from files");
}

void decode_varied_set(benchmark::State &state)
{
    decode_stream(state, varied_set().entries.size());
}
BENCHMARK(decode_varied_set);

// The same with the sink decode, which takes EDID 1.4 base blocks too.
void decode_varied_set_sink(benchmark::State &state)
{
    decode_stream(state, varied_set().entries.size(), edid_decode_sink);
}
BENCHMARK(decode_varied_set_sink);

// The first 500 only: a stream short enough for the branch predictor to learn
// whole, which shows what the same EDIDs cost when no branch is mispredicted.
void decode_varied_500(benchmark::State &state)
{
    decode_stream(state, std::min<size_t>(500, varied_set().entries.size()));
}
BENCHMARK(decode_varied_500);

} // namespace
