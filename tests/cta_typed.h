// SPDX-License-Identifier: MIT
// cta_typed.h - helpers of the tests of the typed data block codecs
// (<edid/cta_*.h>): every kind's decoder, encoder and printer behind one
// switch, each checked not to read past a block nor write past what it
// returns; the rows of data/cta_rows.txt, blocks with their facts and the
// bytes they are written back as; the data blocks of the EDIDs of data/
// and data/real.
#ifndef EDID_TESTS_CTA_TYPED_H
#define EDID_TESTS_CTA_TYPED_H

#include <edid/cta_audio.h>
#include <edid/cta_colour.h>
#include <edid/cta_hdmi.h>
#include <edid/cta_video.h>
#include <string.h>

#include <filesystem>

#include "edid/cea.h"
#include "test_util.h"

namespace cta_typed {

using namespace test_util;

constexpr size_t ROOM = 2 * (1 + CEA_MAX_PAYLOAD); // room to see a read or write past a block

inline std::string hex_of(const Bytes &b)
{
    return test_util::hex_of(b.data(), b.size());
}

// What a kind's codec made of a block: the record's bytes, the bytes it
// encodes to ("refused" when the encoder returns 0), its report.
struct Coded {
    bool typed = false;
    Bytes record;
    std::string encoded, report;
};

// The encoder's bytes as hex, or "refused"; nothing written past them.
template <class R>
std::string encoded(uint32_t (*encode)(const R *, uint8_t *), const R &r)
{
    uint8_t out[ROOM];
    memset(out, 0xEE, sizeof out);
    const uint32_t n = encode(&r, out);
    for (uint32_t i = n; i < ROOM; ++i) EXPECT_EQ(out[i], 0xEE) << "written past byte " << n;
    EXPECT_TRUE(n == 0 || n == 1u + (out[0] & 0x1F)) << "returned length is not the header's";
    return n ? test_util::hex_of(out, n) : "refused";
}

// The block decoded from a copy exactly its size (AddressSanitizer sees a
// read past it) and from one with bytes after it: the same record.
template <class R>
Coded code(const Bytes &wire, void (*decode)(const uint8_t *, R *),
           uint32_t (*encode)(const R *, uint8_t *), void (*print)(const R *))
{
    const Bytes exact(wire);
    Bytes padded(wire);
    padded.resize(ROOM, 0xFF);
    R r, again;
    memset(&r, 0xA5, sizeof r);
    memset(&again, 0x5A, sizeof again);
    decode(exact.data(), &r);
    decode(padded.data(), &again);
    EXPECT_EQ(memcmp(&r, &again, sizeof r), 0) << "read past or left unset: " << hex_of(wire);
    const auto *bytes = reinterpret_cast<const uint8_t *>(&r);
    return Coded{true, Bytes(bytes, bytes + sizeof r), encoded(encode, r),
                 printed([&] { print(&r); })};
}

inline Coded run(const Bytes &wire)
{
    switch (cea_block_kind(wire.data())) {
#define CTA_KIND(kind, R, x)                                                                       \
    case kind:                                                                                     \
        return code<R>(wire, cea_decode_##x, cea_encode_##x, cea_print_##x);
#include "cta_kinds.def"
#undef CTA_KIND
    default: return Coded();
    }
}

// Facts of a record: "name=value" for a field that is not 0, a flag's name
// when set, blank-separated.
struct Facts {
    std::string text;
    Facts &add(const std::string &words)
    {
        if (!words.empty()) text += (text.empty() ? "" : " ") + words;
        return *this;
    }
    Facts &operator()(const char *name, long value)
    {
        return value ? add(std::string(name) + "=" + std::to_string(value)) : *this;
    }
    Facts &flag(const char *name, long value) { return value ? add(name) : *this; }
};

inline std::string oui_text(uint32_t oui) // "00-D0-46"
{
    char text[9];
    snprintf(text, sizeof text, "%02X-%02X-%02X", unsigned(oui >> 16 & 0xFF),
             unsigned(oui >> 8 & 0xFF), unsigned(oui & 0xFF));
    return text;
}

// Each row of a kind in data/cta_rows.txt, "wire | facts" or "wire | facts
// | written" (a block in hex, header first, its facts, and the bytes it is
// written back as when not its own): its record of type R (the kind's), its
// facts, its bytes.
template <class R, class F>
void check_rows(const std::string &kind, F facts)
{
    for (const auto &row : table("cta_rows.txt", kind)) {
        const std::string &wire = row.at(0), &written = row.size() > 2 ? row[2] : wire;
        const Coded c = run(hex(wire));
        ASSERT_EQ(c.record.size(), sizeof(R)) << wire;
        R r;
        memcpy(&r, c.record.data(), sizeof r);
        EXPECT_EQ(facts(r), row.at(1)) << wire;
        EXPECT_EQ(c.encoded, hex_of(hex(written))) << wire;
    }
}

// Every data block of the CEA blocks of the EDIDs of data/ and data/real,
// with the file's name.
struct TestBlock {
    std::string file;
    Bytes wire;
};

inline std::vector<TestBlock> test_blocks()
{
    std::vector<TestBlock> blocks;
    for (const char *dir : {"", "real/"}) {
        for (const auto &e :
             std::filesystem::directory_iterator(EDID_TEST_DATA_DIR "/" + std::string(dir))) {
            static DumpFile dump;
            const std::string ext = e.path().extension().string();
            if ((ext != ".bin" && ext != ".hex") ||
                dump_file_read(e.path().c_str(), &dump) != DUMP_FILE_OK)
                continue;
            for (size_t at = EDID_BLOCK_SIZE; at + EDID_BLOCK_SIZE <= dump.length;
                 at += EDID_BLOCK_SIZE) {
                const uint8_t *block = dump.bytes + at;
                if (block[0] != CEA_EXTENSION_TAG) continue;
                auto walk = edid_cea::walk(block, edid_cea::ZeroHeader::EMPTY_BLOCK);
                for (uint32_t offset, span; edid_cea::next(&walk, &offset, &span);)
                    blocks.push_back({dir + e.path().filename().string(),
                                      Bytes(block + offset, block + offset + span)});
            }
        }
    }
    return blocks;
}

} // namespace cta_typed

#endif
