// CEA-861 video, vendor-specific, speaker allocation and raw data blocks.
#include "cea_util.h"

using namespace cea_test;

namespace {

struct BlockCase {
    const char *wire;      // header and payload (0xFF bytes follow)
    const char *report;    // body report
    const char *reencoded; // header and payload written back
};

const BlockCase BLOCK_CASES[] = {
    // Video: bit 7 native, bits 6..0 the VIC, printed in hexadecimal.
    {"43 90 1F 04", "Supported video modes (* native): *10 1F 04 \n", "43 90 1F 04"},
    {"40", "Supported video modes (* native): \n", "40"},
    {"42 FF 80", "Supported video modes (* native): *7F *00 \n", "42 FF 80"},
    {"5F 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 90 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F",
     "Supported video modes (* native): 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F *10 11 12 13 14 "
     "15 16 17 18 19 1A 1B 1C 1D 1E 1F \n",
     "5F 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 90 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F"},
    // Vendor-specific: OUI least significant byte first (HDMI 00-0C-03).
    {"68 03 0C 00 10 00 80 1E 00", "Vendor specific block: IEEE Id: 3075\t Size: 5\n   Raw data: 10 00 80 1E 00 \n",
     "68 03 0C 00 10 00 80 1E 00"},
    {"63 03 0C 00", "Vendor specific block: IEEE Id: 3075\t Size: 0\n   Raw data: \n", "63 03 0C 00"},
    {"63 D8 5D C4", "Vendor specific block: IEEE Id: 12869080\t Size: 0\n   Raw data: \n", "63 D8 5D C4"},
    {"7F 03 0C 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C",
     "Vendor specific block: IEEE Id: 3075\t Size: 28\n   Raw data: 01 02 03 04 05 06 07 08 09 0A 0B 0C "
     "0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C \n",
     "7F 03 0C 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C"},
    // Vendor blocks shorter than the OUI: the bytes present, no payload.
    {"62 03 0C", "Vendor specific block: IEEE Id: 3075\t Size: 0\n   Raw data: \n", "63 03 0C 00"},
    {"61 03", "Vendor specific block: IEEE Id: 3\t Size: 0\n   Raw data: \n", "63 03 00 00"},
    {"60", "Vendor specific block: IEEE Id: 0\t Size: 0\n   Raw data: \n", "63 00 00 00"},
    // Speaker allocation: always written with length 3, reserved bits 0.
    {"83 7F 00 00", "Speaker configuration: FL/FR LFE FC RL/RR RC FLC/FRC RLC/RRC\n", "83 7F 00 00"},
    {"83 FF 12 34", "Speaker configuration: FL/FR LFE FC RL/RR RC FLC/FRC RLC/RRC\n", "83 7F 00 00"},
    {"83 0B 00 00", "Speaker configuration: FL/FR LFE RL/RR \n", "83 0B 00 00"},
    {"83 00 00 00", "Speaker configuration: \n", "83 00 00 00"},
    {"81 05", "Speaker configuration: FL/FR FC \n", "83 05 00 00"},
    {"80 41", "Speaker configuration: FL/FR RLC/RRC\n", "83 41 00 00"}, // next byte
    // Tags 0, 5, 6, 7: the payload kept as raw bytes.
    {"E2 05 03", "   Size: 2\n   Raw data: 05 03 \n", "E2 05 03"},
    {"A0", "   Size: 0\n   Raw data: \n", "A0"},
};

class DataBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(DataBlock, ReportAndReencoding)
{
    const BlockCase &c = GetParam();
    CeaDataBlock block = decoded(c.wire);
    std::string out = printed([&] { cea_print_data_block(&block); });
    EXPECT_EQ(out.substr(out.find('\n') + 1), c.report);
    EXPECT_EQ(encoded(block), hex(c.reencoded));
}

INSTANTIATE_TEST_SUITE_P(Cases, DataBlock, testing::ValuesIn(BLOCK_CASES));

TEST(Encoders, ClampSizesAboveCapacity)
{
    CeaDataBlock video = decoded("40");
    video.body.video.count = 200;
    EXPECT_EQ(encoded(video)[0], 0x5F);
    CeaDataBlock vendor = decoded("63 03 0C 00");
    vendor.body.vendor.size = 200;
    EXPECT_EQ(encoded(vendor)[0], 0x7F);
    std::string out = printed([&] { cea_print_vendor_block(&vendor.body.vendor); });
    EXPECT_EQ(out.size(), std::string("Vendor specific block: IEEE Id: 3075\t Size: 200\n   Raw data: \n").size() +
                              3 * CEA_MAX_VENDOR_PAYLOAD);
    CeaDataBlock raw = decoded("00");
    raw.body.raw.size = 200;
    EXPECT_EQ(encoded(raw)[0], 0x1F);
}

} // namespace
