// CEA-861 video, vendor-specific and speaker allocation data blocks.
#include "cea_util.h"

using namespace cea_test;

namespace {

struct BlockCase {
    const char *wire;      // header and payload (zeros follow)
    const char *report;    // body report
    const char *reencoded; // header and payload written back
};

const BlockCase BLOCK_CASES[] = {
    // Video: bit 7 native, bits 6..0 the VIC, printed in hexadecimal.
    {"43 90 1F 04", "Supported video modes (* native): *10 1F 04 \n", "43 90 1F 04"},
    {"40", "Supported video modes (* native): \n", "40"},
    {"42 FF 80", "Supported video modes (* native): *7F *00 \n", "42 FF 80"},
    // Vendor-specific: OUI least significant byte first (HDMI 00-0C-03).
    {"68 03 0C 00 10 00 80 1E 00", "Vendor specific block: IEEE Id: 3075\t Size: 5\n   Raw data: 10 00 80 1E 00 \n",
     "68 03 0C 00 10 00 80 1E 00"},
    {"63 03 0C 00", "Vendor specific block: IEEE Id: 3075\t Size: 0\n   Raw data: \n", "63 03 0C 00"},
    {"63 D8 5D C4", "Vendor specific block: IEEE Id: 12869080\t Size: 0\n   Raw data: \n", "63 D8 5D C4"},
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

TEST(DataBlock, HeadingLines)
{
    EXPECT_EQ(printed([] {
                  for (const char *wire : {"40", "63 03 0C 00", "83 01 00 00"}) {
                      CeaDataBlock b = decoded(wire);
                      cea_print_data_block(&b);
                  }
              }),
              "Datablock: 2 Video data block\nSupported video modes (* native): \n"
              "Datablock: 3 Vendor specific data block\n"
              "Vendor specific block: IEEE Id: 3075\t Size: 0\n   Raw data: \n"
              "Datablock: 4 Speaker configuration data block\nSpeaker configuration: FL/FR \n");
}

TEST(VideoBlock, ThirtyOneDescriptors)
{
    std::string wire = "5F"; // VICs 1 to 31, 16 native
    for (int vic = 1; vic <= 31; vic++) {
        char svd[4];
        snprintf(svd, sizeof svd, " %02X", vic == 16 ? 0x90 : vic);
        wire += svd;
    }
    CeaDataBlock block = decoded(wire);
    ASSERT_EQ(block.body.video.count, 31u);
    EXPECT_EQ(block.body.video.descriptors[15].native, 1u);
    EXPECT_EQ(block.body.video.descriptors[15].vic, 16u);
    EXPECT_EQ(block.body.video.descriptors[30].vic, 31u);
    EXPECT_EQ(encoded(block), hex(wire));
}

TEST(VendorBlock, FullLengthHoldsTwentyEightBytes)
{
    std::string wire = "7F 03 0C 00";
    for (int i = 0; i < CEA_MAX_VENDOR_PAYLOAD; i++)
        wire += " 5A";
    CeaDataBlock block = decoded(wire);
    EXPECT_EQ(block.body.vendor.oui, uint32_t(CEA_OUI_HDMI));
    EXPECT_EQ(block.body.vendor.size, 28u);
    EXPECT_EQ(encoded(block), hex(wire));
}

TEST(VendorBlock, ShortBlockReadsNothingPastItsLength)
{
    Bytes wire = hex("62 03 0C FF FF FF");
    CeaVendorBlock vendor;
    cea_decode_vendor_block(wire.data(), &vendor);
    EXPECT_EQ(vendor.oui, 0x0C03u);
    EXPECT_EQ(vendor.size, 0u);
}

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
}

} // namespace
