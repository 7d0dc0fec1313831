// SPDX-License-Identifier: MIT
// Every typed data block codec (<edid/cta_*.h>) as properties over the
// data blocks of the EDIDs of data/ and data/real, real and composed; and
// the encoders' refusal of records that need more than a data block holds.
// The fields of each kind: cta_video_test.cpp, cta_audio_test.cpp,
// cta_hdmi_test.cpp, cta_colour_test.cpp; the reports: the lenient goldens
// (golden_cea.cmake).
#include <set>

#include "cta_typed.h"

using namespace cta_typed;

// Each block of a real EDID or of a composed one (cta_*) is written back
// byte for byte.  Each block, and each cut to every length, is decoded
// without a read past it and written in a form that decodes and encodes to
// itself (the odd blocks of tv_cea_* lose their reserved bits).  Every
// kind is among them.
TEST(TypedBlocks, WrittenBackWholeAndCut)
{
    std::set<uint32_t> kinds;
    for (const TestBlock &b : test_blocks()) {
        const Coded whole = run(b.wire);
        if (!whole.typed) continue;
        kinds.insert(cea_block_kind(b.wire.data()));
        if (b.file.rfind("real/", 0) == 0 || b.file.rfind("cta_", 0) == 0) {
            EXPECT_EQ(whole.encoded, hex_of(b.wire)) << b.file;
        }
        for (uint8_t length = 0; length < b.wire.size(); ++length) {
            Bytes cut(b.wire.begin(), b.wire.begin() + 1 + length);
            cut[0] = uint8_t((cut[0] & 0xE0) | length);
            const Coded c = run(cut);
            if (!c.typed) continue; // cut before its OUI or extended tag
            ASSERT_NE(c.encoded, "refused") << hex_of(cut);
            EXPECT_EQ(run(hex(c.encoded)).encoded, c.encoded) << hex_of(cut);
        }
    }
    EXPECT_EQ(kinds.size(), 25u) << "kinds of cta_kinds.def that data/ holds";
}

// 31 payload bytes are written, 32 refused, and a refusing encoder writes
// nothing: the writer's limit, a list of fields, the HDMI block's 3D part.
TEST(TypedBlocks, EncodersRefuseMoreThan31Bytes)
{
    CeaVideoDataBlock v{};
    v.count = CEA_MAX_VIDEO_DESCRIPTORS; // 31 VICs
    EXPECT_EQ(encoded(cea_encode_video_data_block, v).substr(0, 5), "5F 00");
    EXPECT_EQ(encoded(cea_encode_ycbcr420_video, v), "refused"); // and the extended tag
    v.count = CEA_MAX_VIDEO_DESCRIPTORS - 1;
    EXPECT_EQ(encoded(cea_encode_ycbcr420_video, v).substr(0, 5), "FF 0E");

    CeaAudioDataBlock audio{};
    audio.count = CEA_MAX_AUDIO_DESCRIPTORS; // 10 x 3
    audio.trailing_size = 2;
    EXPECT_EQ(encoded(cea_encode_audio_data_block, audio), "refused");
    audio.trailing_size = 1;
    EXPECT_EQ(encoded(cea_encode_audio_data_block, audio).substr(0, 2), "3F");

    CeaHdmiBlock h{};
    h.has_content_types = h.hdmi_video_present = 1;
    h.hdmi_vic_count = CEA_HDMI_MAX_VICS;
    h.entry_count_3d = 9; // 3 + 5 + 2 + 7 + 9 x 2 = 35
    for (auto &e : h.entries_3d) e.structure = CEA_3D_SIDE_BY_SIDE_HALF;
    EXPECT_EQ(encoded(cea_encode_hdmi_block, h), "refused");
    h.entry_count_3d = 7;
    EXPECT_EQ(encoded(cea_encode_hdmi_block, h).substr(0, 2), "7F");
}
