// SPDX-License-Identifier: MIT
// Every typed data block codec (cta_hdmi.h, cta_colour.h) as properties:
// the blocks of the EDIDs of data/ written back byte for byte; blocks cut
// at every length decoded without a read past them, and written in a form
// that decodes and encodes to itself; the reports of real and composed
// blocks against the golden files data/cta_hdmi.out and data/cta_colour.out.
#include "cta_typed.h"

#include <map>

using namespace cta_typed;

namespace {

// Blocks composed for the kinds and fields that data/ does not hold, each
// checked with edid-decode (cta_hdmi_test.cpp, cta_colour_test.cpp).
const char *const COMPOSED[] = {
    "77 03 0C 00 10 00 80 3C E3 0B 15 29 FF C8 47 01 03 01 41 00 03 08 10 16", // latencies, 3D
    "ED 79 00 00 01 78 FA 5C 9C 58 2C AC 57 0F",          // sink capability block
    "F0 07 03 01 00 01 03 04 00 01 03 02 00 73 02 03 00", // HDR dynamic metadata
    "F9 01 46 D0 00 07 A5 AB 51 2C 4A A6 A1 26 0A 40 4F 54 62 FF 96 32 00 00 00 00", // DV v0
    "EB 01 46 D0 00 2B 4B 5B 9E 5C 8B AE", // Dolby Vision v1, compact
    "E3 05 00 F0",                         // colorimetry, byte 2
};

TEST(TypedBlocks, TestEdidsWrittenBack)
{
    std::map<uint32_t, std::pair<int, int>> kinds; // blocks, written back
    for (const TestBlock &b : test_blocks()) {
        const Coded r = run(b.wire);
        if (!r.typed) continue;
        const uint32_t kind = cea_block_kind(b.wire.data());
        ++kinds[kind].first;
        kinds[kind].second += r.encoded == b.wire;
        EXPECT_EQ(hex_of(r.encoded.data(), r.encoded.size()), hex_of(b.wire.data(), b.wire.size()))
            << b.file << ": " << cea_kind_name(kind);
    }
    for (const auto &[kind, counts] : kinds)
        printf("%s: %d blocks, %d written back\n", cea_kind_name(kind), counts.first,
               counts.second);
    // The kinds that the real sinks hold.
    for (uint32_t kind :
         {CEA_KIND_HDMI, CEA_KIND_HDMI_FORUM, CEA_KIND_AMD, CEA_KIND_HDMI_FORUM_EEODB,
          CEA_KIND_VIDEO_CAPABILITY, CEA_KIND_COLORIMETRY, CEA_KIND_HDR_STATIC_METADATA,
          CEA_KIND_VENDOR_VIDEO})
        EXPECT_GT(kinds[kind].first, 0) << cea_kind_name(kind);
}

// Each block cut to every length: the record does not depend on the bytes
// after the block (0x00 or 0xFF there), the encoder does not refuse it, and
// what it writes decodes and encodes to the same bytes; the whole block is
// written back as it stands.
TEST(TypedBlocks, CutBlocks)
{
    std::vector<Bytes> blocks;
    for (const TestBlock &b : test_blocks()) blocks.push_back(b.wire);
    for (const char *wire : COMPOSED) blocks.push_back(hex(wire));
    for (const Bytes &whole : blocks) {
        if (!run(whole).typed) continue;
        for (uint8_t length = 0; length < whole.size(); ++length) {
            Bytes cut(whole.begin(), whole.begin() + 1 + length);
            cut[0] = uint8_t((cut[0] & 0xE0) | length);
            const Coded zeros = run(cut, 0x00), ones = run(cut, 0xFF);
            if (!zeros.typed) continue;
            SCOPED_TRACE(hex_of(cut.data(), cut.size()));
            EXPECT_EQ(zeros.record, ones.record);
            ASSERT_FALSE(zeros.encoded.empty());
            EXPECT_EQ(run(zeros.encoded).encoded, zeros.encoded);
            EXPECT_TRUE(cut.size() < whole.size() || zeros.encoded == whole);
        }
    }
}

// The report of every block of a group's kinds in a few real EDIDs and in
// the composed blocks, under a line naming the file and the kind.
std::string reports(std::initializer_list<uint32_t> group,
                    std::initializer_list<const char *> files)
{
    std::string text;
    const auto add = [&](const std::string &from, const Bytes &wire) {
        const uint32_t kind = cea_block_kind(wire.data());
        if (std::find(group.begin(), group.end(), kind) == group.end()) return;
        text += from + ": " + cea_kind_title(kind) + "\n" + run(wire).report;
    };
    for (const TestBlock &b : test_blocks())
        for (const char *file : files)
            if (b.file == std::string("real/") + file) add(b.file, b.wire);
    for (const char *wire : COMPOSED) add("composed", hex(wire));
    return text;
}

TEST(TypedBlocks, Reports)
{
    expect_golden(
        "cta_hdmi.out",
        reports({CEA_KIND_HDMI, CEA_KIND_HDMI_FORUM, CEA_KIND_HDMI_FORUM_SINK_CAPABILITY,
                 CEA_KIND_HDMI_FORUM_EEODB, CEA_KIND_AMD},
                {"tv-lg-block-map-displayid.bin", "tv-samsung-qbq90.bin",
                 "monitor-msi-meg342c-cea-then-displayid.bin", "monitor-c27q165-edid14.bin"}));
    expect_golden(
        "cta_colour.out",
        reports({CEA_KIND_VIDEO_CAPABILITY, CEA_KIND_COLORIMETRY, CEA_KIND_HDR_STATIC_METADATA,
                 CEA_KIND_HDR_DYNAMIC_METADATA, CEA_KIND_VENDOR_VIDEO},
                {"tv-lg-oled55b6v.bin", "tv-roku-65r6ax.bin", "tv-samsung-qbq90.bin",
                 "avr-pioneer.bin", "tv-samsung-sam7074.bin"}));
}

} // namespace
