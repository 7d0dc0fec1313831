// SPDX-License-Identifier: MIT
// cta_layout_test.cpp - the CEA block written from its pieces, and where
// they lie in irregular layouts.  json_check.py writes every EDID of data/
// back from the pieces that its form gives (and its golden forms show
// them): blocks, zero headers, timings and padding.
#include <string.h>

#include <edid/cta_layout.h>

#include "test_util.h"

using test_util::Bytes;

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
// it reads, timings are read from d all the same (the JSON form keeps such
// a block whole).
TEST(CeaLayout, IrregularD)
{
    const Bytes dump = test_util::read_dump("real/tv-lg-oled55b6v.bin");
    Bytes block(dump.begin() + EDID_BLOCK_SIZE, dump.begin() + 2 * EDID_BLOCK_SIZE);
    block[2] = 6; // inside the video block, whose 24 VICs run to byte 28
    CeaLayout layout;
    cea_decode_layout(block.data(), &layout);
    EXPECT_EQ(layout.block_count, 1u);
    EXPECT_EQ(layout.blocks[0].size, 25);
    EXPECT_EQ(layout.timings[0], 6);
    block[2] = 2; // into the header: the collection runs on to a zero header
    cea_decode_layout(block.data(), &layout);
    EXPECT_GT(layout.block_count, 9u) << "the timing after the 9 blocks read as blocks too";
}
