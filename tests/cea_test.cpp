// CEA-861 extension block: scan of the data block collection and of the
// detailed timings, report and encoder.
#include <string.h>

#include "cea_util.h"

using namespace cea_test;

namespace {

// 1920x1080 at 148.5 MHz, digital separate sync, V+ H+.
const std::string DTD_1080P = "02 3A 80 18 71 38 2D 40 58 2C 45 00 10 09 00 00 00 1E";
// 1280x720 at 74.25 MHz.
const std::string DTD_720P = "01 1D 00 72 51 D0 1E 20 6E 28 55 00 10 09 00 00 00 1E";

std::string repeat(const std::string &bytes, int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += bytes + " ";
    return s;
}

// A data block of tag 0 and the given payload length, payload bytes 0xAA.
std::string raw_block(int length)
{
    char header[4];
    snprintf(header, sizeof header, "%02X", length);
    return std::string(header) + " " + repeat("AA", length);
}

std::string tags_of(const CeaExtension &cea)
{
    std::string s;
    for (uint32_t i = 0; i < cea.data_block_count; i++)
        s += std::to_string(cea.data_blocks[i].tag);
    return s;
}

struct ScanCase {
    const char *name;
    uint8_t d;
    std::vector<Patch> patches;
    std::string tags; // tag of each decoded data block, in order
    uint32_t timings;
};

const ScanCase SCAN_CASES[] = {
    {"d0_empty", 0, {}, "", 0},
    {"d0_blocks_up_to_zero_header_no_timings", 0,
     {{4, "43 90 1F 04 83 01 00 00 00"}, {13, DTD_1080P}}, "24", 0},
    {"d4_no_blocks_even_with_byte4_set", 4, {{4, DTD_1080P}, {22, DTD_720P}}, "", 2},
    {"d4_six_timings_fill_the_block", 4, {{4, repeat("01", 123)}}, "", 6},
    {"d1_seventh_start_not_taken", 1, {{5, repeat("01", 122)}}, "", 6},
    {"d2_timings_from_the_header", 2, {}, "", 1},
    {"zero_header_mid_collection", 20, {{4, "43 90 1F 04 00 83 01 00 00"}}, "2", 0},
    {"tag0_with_length_is_a_block", 9, {{4, "02 AA BB 41 90"}, {9, DTD_720P}}, "02", 1},
    {"block_reaching_past_d_decoded_whole", 6, {{4, "44 01 02 03 04"}}, "2", 1},
    {"d_above_109_no_timings", 110, {{4, "41 90"}, {110, repeat("01", 17)}}, "2", 0},
    {"timing_bytes_0_1_zero_is_a_timing", 4, {{4, "00 00 05"}}, "", 1},
    {"at_most_61_blocks", 0, {{4, repeat("40", 123)}}, std::string(CEA_MAX_DATA_BLOCKS, '2'), 0},
    {"block_running_past_127_ends_collection", 0,
     {{4, repeat(raw_block(31), 3)}, {100, "3F"}}, "000", 0},
    {"d_above_128_stops_at_header_128", 200,
     {{4, repeat(raw_block(31), 3)}, {100, raw_block(27)}}, "0000", 0},
};

class CeaScan : public testing::TestWithParam<ScanCase> {};

TEST_P(CeaScan, BlocksAndTimings)
{
    const ScanCase &c = GetParam();
    // The half after the block holds one-byte video headers: any read past
    // byte 127 would add blocks.
    auto area = cea_block(c.d, c.patches, 0x40);
    CeaExtension cea;
    ASSERT_EQ(cea_decode(area.data(), &cea), 0);
    EXPECT_EQ(tags_of(cea), c.tags);
    EXPECT_EQ(cea.detailed_timing_count, c.timings);
    // The same block alone on the heap: a sanitizer build reports any read
    // past byte 127.
    Bytes alone(area.begin(), area.begin() + EDID_BLOCK_SIZE);
    ASSERT_EQ(cea_decode(alone.data(), &cea), 0);
    EXPECT_EQ(tags_of(cea), c.tags);
}

INSTANTIATE_TEST_SUITE_P(Cases, CeaScan, testing::ValuesIn(SCAN_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CeaDecode, RefusesOtherTagsAndRevisionsUntouched)
{
    for (auto [tag, rev] : {std::pair{2, 1}, {2, 2}, {2, 4}, {0xF0, 3}, {0x10, 3}}) {
        auto area = cea_block(0, {});
        area[0] = uint8_t(tag);
        area[1] = uint8_t(rev);
        CeaExtension cea, before;
        memset(&cea, 0xA5, sizeof cea);
        memcpy(&before, &cea, sizeof cea);
        EXPECT_EQ(cea_decode(area.data(), &cea), -1) << tag << " " << rev;
        EXPECT_EQ(memcmp(&cea, &before, sizeof cea), 0);
    }
}

TEST(CeaDecode, SpeakerBlockOfLength0InLastByteHasNoFlags)
{
    auto area = cea_block(0, {{4, repeat(raw_block(31), 3)}, {100, raw_block(26)}, {127, "80"}}, 0xFF);
    CeaExtension cea;
    ASSERT_EQ(cea_decode(area.data(), &cea), 0);
    ASSERT_EQ(tags_of(cea), "00004");
    EXPECT_EQ(printed([&] { cea_print_data_block(&cea.data_blocks[4]); }),
              "Datablock: 4 Speaker configuration data block\nSpeaker configuration: \n");
}

// Every capability, one block of each kind, one 720p timing; checksum set.
std::array<uint8_t, 2 * EDID_BLOCK_SIZE> tv_block()
{
    auto area = cea_block(26, {{3, "F2 43 90 1F 04 23 09 07 07 66 03 0C 00 10 00 80 E2 05 03 83 7F 00 00"},
                               {26, DTD_720P}});
    area[127] = uint8_t(area[127] - edid_checksum(area.data()));
    return area;
}

TEST(CeaPrint, CapabilitiesCountsBlocksTimings)
{
    CeaExtension cea;
    ASSERT_EQ(cea_decode(tv_block().data(), &cea), 0);
    EXPECT_EQ(printed([&] { cea_print(&cea); }),
              "CEA Timing extension:\n"
              "   Capabilities: underscan basic_audio YCbCr_4:4:4 YCbCr_4:2:2\n"
              "   Native modes: 2\tData blocks: 5\tDetailed timings: 1\n"
              "Datablock: 2 Video data block\n"
              "Supported video modes (* native): *10 1F 04 \n"
              "Datablock: 1 Audio data block\n"
              "Supported audio: 2 Channels\n"
              "   Sampling frequencies (kHz): 48 44 32\n"
              "   Format: PCM 24b 20b 16b\n"
              "Datablock: 3 Vendor specific data block\n"
              "Vendor specific block: IEEE Id: 3075\t Size: 3\n"
              "   Raw data: 10 00 80 \n"
              "Datablock: 7 Unknown data block\n"
              "   Size: 2\n"
              "   Raw data: 05 03 \n"
              "Datablock: 4 Speaker configuration data block\n"
              "Speaker configuration: FL/FR LFE FC RL/RR RC FLC/FRC RLC/RRC\n"
              "Pixel clock: 74.250 MHz\n"
              "Horizontal active: 1280\tBlank: 370\n"
              "Vertical active: 720\tBlank: 30\n"
              "Horizontal sync offset: 110\tWidth: 40\n"
              "Vertical sync offset: 5\tWidth: 5\n"
              "Image size: 16mm X 9mm\n"
              "Horizontal border: 0\tVertical: 0\n"
              "Flags: Progressive Normal Digital_sync Separate_sync V+ H+\n");
}

TEST(CeaPrint, ClampsHandFilledCounts)
{
    CeaExtension cea{};
    cea.data_block_count = 200;
    cea.detailed_timing_count = 200;
    std::string out = printed([&] { cea_print(&cea); });
    EXPECT_NE(out.find("Data blocks: 200\tDetailed timings: 200\n"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3 + 61 * 3 + 6 * 8);
}

TEST(CeaEncode, DecodedBlockEncodesToTheSameBytes)
{
    auto area = tv_block();
    CeaExtension cea;
    ASSERT_EQ(cea_decode(area.data(), &cea), 0);
    uint8_t out[EDID_BLOCK_SIZE];
    cea_encode(&cea, out);
    EXPECT_EQ(Bytes(out, out + EDID_BLOCK_SIZE), Bytes(area.begin(), area.begin() + EDID_BLOCK_SIZE));
}

// A data block of the given tag and payload length, payload bytes 0xAA.
CeaDataBlock raw(uint8_t tag, uint32_t size)
{
    CeaDataBlock b = decoded(raw_block(int(size)));
    b.tag = tag;
    return b;
}

struct EncodeCase {
    const char *name;
    uint8_t caps;
    std::vector<CeaDataBlock> blocks;
    uint32_t timings;          // copies of the 1080p timing
    std::vector<Patch> expect; // besides bytes 0 and 1 and a valid checksum
};

const EncodeCase ENCODE_CASES[] = {
    // Basic audio; LPCM 2 channels 48/44.1/32 kHz 24/20/16 bit; FL/FR.
    {"worked_example", 0x40, {decoded("23 09 07 07"), decoded("83 01 00 00")}, 0,
     {{2, "0C 40 23 09 07 07 83 01 00 00"}, {12, repeat("00", 115) + "F1"}}},
    {"empty", 0, {}, 0, {{2, "00 00"}, {4, repeat("00", 123) + "FB"}}},
    {"all_capabilities", 0xFF, {}, 0, {{2, "00 FF"}}},
    {"timings_only_from_4", 0, {}, 2, {{2, "04"}, {4, DTD_1080P + " " + DTD_1080P}}},
    {"video_and_speaker", 0, {decoded("43 90 1F 04"), decoded("83 01 00 00")}, 0,
     {{2, "0C"}, {4, "43 90 1F 04 83 01 00 00"}}},
    {"timings_after_46_bytes_only_four_fit", 0, {raw(5, 31), raw(6, 13)}, 6,
     {{2, "32"}, {4, "BF"}, {36, "CD"}, {50, repeat(DTD_1080P, 4)}, {122, "00 00 00 00 00"}}},
    {"tag0_size0_is_one_zero_byte", 0, {raw(0, 0)}, 0, {{2, "05 00 00"}}},
    {"collection_ending_at_126_leaves_no_timing", 0,
     {raw(5, 31), raw(5, 31), raw(5, 31), raw(5, 26)}, 1, {{2, "7F"}, {100, "BA"}}},
    {"block_past_126_left_out", 0, {raw(5, 31), raw(5, 31), raw(5, 31), raw(5, 31)}, 1,
     {{2, "64"}, {100, DTD_1080P}, {118, repeat("00", 9)}}},
};

class CeaEncodeCase : public testing::TestWithParam<EncodeCase> {};

TEST_P(CeaEncodeCase, Bytes)
{
    const EncodeCase &c = GetParam();
    auto area = cea_block(0, {});
    area[3] = c.caps;
    CeaExtension cea;
    ASSERT_EQ(cea_decode(area.data(), &cea), 0); // capability bits
    cea.data_block_count = uint32_t(c.blocks.size());
    std::copy(c.blocks.begin(), c.blocks.end(), cea.data_blocks);
    cea.detailed_timing_count = c.timings;
    for (uint32_t i = 0; i < c.timings; i++)
        edid_decode_detailed_timing(hex(DTD_1080P).data(), &cea.detailed_timings[i]);

    uint8_t out[EDID_BLOCK_SIZE + 1];
    out[EDID_BLOCK_SIZE] = 0x5A;
    cea_encode(&cea, out);
    EXPECT_EQ(Bytes(out, out + 2), hex("02 03"));
    for (const Patch &p : c.expect) {
        Bytes want = hex(p.bytes);
        EXPECT_EQ(Bytes(out + p.offset, out + p.offset + want.size()), want) << "at " << p.offset;
    }
    EXPECT_EQ(edid_checksum(out), 0);
    EXPECT_EQ(out[EDID_BLOCK_SIZE], 0x5A);
}

INSTANTIATE_TEST_SUITE_P(Cases, CeaEncodeCase, testing::ValuesIn(ENCODE_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CeaEncode, ClampsCountsAboveCapacity)
{
    CeaExtension cea{};
    cea.data_block_count = 200;
    cea.detailed_timing_count = 200;
    for (CeaDataBlock &b : cea.data_blocks) {
        b.tag = CEA_TAG_VIDEO;
        b.body.video.count = 200;
    }
    uint8_t out[EDID_BLOCK_SIZE];
    cea_encode(&cea, out);
    EXPECT_EQ(out[2], 4 + 3 * 32); // three 31-byte video blocks, then a timing
    EXPECT_EQ(out[4], 0x5F);
    EXPECT_EQ(edid_checksum(out), 0);
}

} // namespace
