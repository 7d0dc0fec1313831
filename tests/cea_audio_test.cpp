// SPDX-License-Identifier: MIT
// CEA-861 audio data block: which fields of a short audio descriptor the
// codecs touch.  Reports of every format are checked by the edid_dump golden
// tests (golden_cea.cmake), round trips by roundtrip_test.cpp.
#include <string.h>

#include "cea_util.h"

using namespace cea_test;

namespace {

// Decoder and encoder touch only the fields of a descriptor's format: the
// others keep what a record held before (0xFF here) and are not written.
TEST(AudioBlock, CodecsTouchOnlyTheFieldsOfTheFormat)
{
    CeaDataBlock block;
    memset(&block, 0xFF, sizeof block);
    Bytes wire = hex("29 09 07 00 15 07 50 71 06 FD");
    cea_decode_data_block(wire.data(), &block);
    const CeaShortAudioDescriptor *d = block.body.audio.descriptors;
    ASSERT_EQ(block.body.audio.count, 3u);
    // Linear PCM: the sample sizes only.
    EXPECT_EQ(d[0].depth_24, 0u);
    EXPECT_EQ(d[0].max_bitrate, 0xFFu);
    EXPECT_EQ(d[0].options, 0xFF);
    // AC-3: the bit rate only.
    EXPECT_EQ(d[1].max_bitrate, 80u);
    EXPECT_EQ(d[1].depth_24, 1u);
    EXPECT_EQ(d[1].options, 0xFF);
    // WMA Pro: the profile, bits 2..0, in options; written back from them.
    EXPECT_EQ(d[2].options, 5);
    EXPECT_EQ(d[2].max_bitrate, 0xFFu);
    block.body.audio.descriptors[2].options = 0xFD;
    EXPECT_EQ(encoded(block), hex("29 09 07 00 15 07 50 71 06 05"));
}

} // namespace
