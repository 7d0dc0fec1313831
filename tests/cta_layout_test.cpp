// SPDX-License-Identifier: MIT
// cta_layout_test.cpp - where the pieces of a CEA block lie, and the block
// written from them: real blocks and the irregular layouts real sinks have.
// json_check.py writes every EDID of data/ back from its pieces.
#include <string.h>

#include <edid/cta_layout.h>

#include "test_util.h"

using test_util::Bytes;

namespace {

Bytes cea_block_of(const std::string &file)
{
    const Bytes dump = test_util::read_dump(file);
    return Bytes(dump.begin() + EDID_BLOCK_SIZE, dump.begin() + 2 * EDID_BLOCK_SIZE);
}

// The block written again from the pieces its layout names, all that the
// writer must write spoiled first; empty when they do not fit.
Bytes relaid(const Bytes &block, const CeaLayout &layout)
{
    Bytes collection, timings;
    for (uint32_t i = 0; i < layout.block_count; ++i)
        collection.insert(collection.end(), block.begin() + layout.blocks[i].offset,
                          block.begin() + layout.blocks[i].offset + layout.blocks[i].size);
    for (uint32_t i = 0; i < layout.timing_count; ++i)
        timings.insert(timings.end(), block.begin() + layout.timings[i],
                       block.begin() + layout.timings[i] + EDID_DESCRIPTOR_SIZE);
    Bytes out = block;
    memset(out.data() + 4, 0xEE, EDID_BLOCK_SIZE - 5);
    out[2] = 0xEE;
    const int status = cea_encode_layout(collection.data(), uint32_t(collection.size()),
                                         timings.data(), layout.timing_count,
                                         block.data() + layout.padding.offset,
                                         layout.padding.offset, layout.padding.size, out.data());
    return status == 0 ? out : Bytes();
}

} // namespace

// The LG TV: nine data blocks, one timing at d = 0x5D.  The Samsung
// monitor: five zero headers (blocks 5 to 9 of its 13, one byte each), three
// timings from 58, byte 113 (0x1E) after them.  Every byte given back.
TEST(CeaLayout, RealBlocks)
{
    const struct {
        const char *file;
        uint32_t blocks, first_timing, timings;
        CeaSpan padding;
    } rows[] = {{"real/tv-lg-oled55b6v.bin", 9, 0x5D, 1, {0, 0}},
                {"real/monitor-samsung-ls27cg51x-empty-headers.bin", 13, 58, 3, {113, 1}}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        const Bytes block = cea_block_of(row.file);
        CeaLayout layout;
        cea_decode_layout(block.data(), &layout);
        EXPECT_EQ(layout.block_count, row.blocks);
        EXPECT_EQ(layout.timing_count, row.timings);
        EXPECT_EQ(layout.timings[0], row.first_timing);
        EXPECT_EQ(layout.padding.offset, row.padding.offset);
        EXPECT_EQ(layout.padding.size, row.padding.size);
        for (uint32_t i = 5; row.blocks == 13 && i <= 9; ++i)
            EXPECT_EQ(layout.blocks[i].size, 1);
        EXPECT_EQ(relaid(block, layout), block);
    }
}

// The writer: d after the data blocks (0 with neither blocks nor timings),
// the padding in its place, and pieces that do not fit refused unwritten.
TEST(CeaLayout, Written)
{
    const uint8_t video[] = {0x42, 0x90, 0x04}; // VIC 16 native, VIC 4
    uint8_t timing[EDID_DESCRIPTOR_SIZE] = {0x02, 0x3A};
    const uint8_t padding[] = {0x1E};
    uint8_t block[EDID_BLOCK_SIZE];

    memset(block, 0xEE, sizeof block);
    ASSERT_EQ(cea_encode_layout(video, 3, timing, 1, padding, 120, 1, block), 0);
    EXPECT_EQ(test_util::hex_of(block + 2, 7), "07 EE 42 90 04 02 3A");
    EXPECT_EQ(block[7 + EDID_DESCRIPTOR_SIZE], 0);
    EXPECT_EQ(test_util::hex_of(block + 119, 9), "00 1E 00 00 00 00 00 00 EE")
        << "the padding in place; the checksum byte is the caller's";

    ASSERT_EQ(cea_encode_layout(nullptr, 0, nullptr, 0, nullptr, 0, 0, block), 0);
    EXPECT_EQ(block[2], 0) << "no data blocks and no timings: d = 0";

    // 4 + 3 + 6 x 18 = 115 bytes end before 127, not before padding at 114.
    uint8_t six[6 * EDID_DESCRIPTOR_SIZE] = {};
    ASSERT_EQ(cea_encode_layout(video, 3, six, 6, padding, 126, 1, block), 0);
    memset(block, 0xEE, sizeof block);
    EXPECT_EQ(cea_encode_layout(video, 3, six, 6, padding, 114, 1, block), CEA_LAYOUT_TOO_LARGE);
    EXPECT_EQ(block[2], 0xEE) << "nothing written";
    uint8_t collection[124] = {};
    EXPECT_EQ(cea_encode_layout(collection, 124, nullptr, 0, nullptr, 0, 0, block),
              CEA_LAYOUT_TOO_LARGE);
    EXPECT_EQ(cea_encode_layout(collection, 123, nullptr, 0, nullptr, 0, 0, block), 0);
}

// d below 4, or a block that runs past d: the walk still names every block
// it reads, and the pieces then do not give the block back (the JSON form
// keeps such a block whole).
TEST(CeaLayout, IrregularD)
{
    Bytes block = cea_block_of("real/tv-lg-oled55b6v.bin");
    block[2] = 6; // inside the video block, whose 24 VICs run to byte 28
    CeaLayout layout;
    cea_decode_layout(block.data(), &layout);
    EXPECT_EQ(layout.block_count, 1u);
    EXPECT_EQ(layout.blocks[0].size, 25);
    EXPECT_EQ(layout.timings[0], 6) << "timings are read from d all the same";
    EXPECT_NE(relaid(block, layout), block);
    block[2] = 2; // into the header: the collection runs on to a zero header
    cea_decode_layout(block.data(), &layout);
    EXPECT_GT(layout.block_count, 9u) << "the timing after the 9 blocks read as blocks too";
    EXPECT_NE(relaid(block, layout), block);
}
