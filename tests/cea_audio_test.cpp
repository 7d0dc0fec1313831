// CEA-861 audio data block: short audio descriptors, their report and
// their wire form.
#include <string.h>

#include "cea_util.h"

using namespace cea_test;

namespace {

struct SadCase {
    const char *wire;     // one short audio descriptor
    unsigned channels;    // printed channel count
    const char *rates;    // sampling frequency words
    const char *format;   // rest of the format line
    const char *reencoded;
};

const SadCase SAD_CASES[] = {
    {"09 07 07", 2, "48 44 32", "PCM 24b 20b 16b", "09 07 07"},
    {"09 07 00", 2, "48 44 32", "PCM ", "09 07 00"},
    {"0F 7F 05", 8, "192 176 96 88 48 44 32", "PCM 24b 16b", "0F 7F 05"},
    {"89 87 F7", 2, "48 44 32", "PCM 24b 20b 16b", "09 07 07"}, // reserved bits dropped
    {"15 07 50", 6, "48 44 32", "AC3 Max 640kbps", "15 07 50"},
    {"19 01 20", 2, "32", "MPEG1 (Layers 1&2) Max 256kbps", "19 01 20"},
    {"21 02 28", 2, "44 ", "MPEG1 Layer 3 (MP3) Max 320kbps", "21 02 28"},
    {"2D 04 30", 6, "48 ", "MPEG2 (multichannel) Max 384kbps", "2D 04 30"},
    {"31 06 18", 2, "48 44 ", "AAC Max 192kbps", "31 06 18"},
    {"3D 06 C0", 6, "48 44 ", "DTS Max 1536kbps", "3D 06 C0"},
    {"41 02 30", 2, "44 ", "ATRAC Max 384kbps", "41 02 30"},
    {"49 02 00", 2, "44 ", "DSD (options=0x0)", "49 02 00"},
    {"57 07 01", 8, "48 44 32", "E-AC-3 (options=0x1)", "57 07 01"},
    {"5F 7F 01", 8, "192 176 96 88 48 44 32", "DTS HD Master audio suppported (options=0x1)",
     "5F 7F 01"},
    {"5F 14 02", 8, "96 48 ", "DTS HD (options=0x2)", "5F 14 02"},
    {"67 54 AB", 8, "192 96 48 ", "MLP (options=0xAB)", "67 54 AB"},
    {"69 08 10", 2, "88 ", "DST (options=0x10)", "69 08 10"},
    {"71 06 FF", 2, "48 44 ", "WMA PRO (profile=0x7)", "71 06 07"},
    {"01 10 10", 2, "96 ", "Unknown Max 128kbps", "01 10 10"},
    {"79 00 01", 2, "", "Unknown Max 8kbps", "79 00 01"},
};

// Ten 2-channel linear PCM descriptors: a full 30-byte payload.
const std::string TEN_PCM = "09 07 07 09 07 07 09 07 07 09 07 07 09 07 07 "
                            "09 07 07 09 07 07 09 07 07 09 07 07 09 07 07";

class AudioDescriptor : public testing::TestWithParam<SadCase> {};

TEST_P(AudioDescriptor, ReportAndReencoding)
{
    const SadCase &c = GetParam();
    CeaDataBlock block = decoded("23 " + std::string(c.wire));
    ASSERT_EQ(block.tag, CEA_TAG_AUDIO);
    ASSERT_EQ(block.body.audio.count, 1u);
    EXPECT_EQ(printed([&] { cea_print_audio_block(&block.body.audio); }),
              "Supported audio: " + std::to_string(c.channels) + " Channels\n" +
                  "   Sampling frequencies (kHz): " + c.rates + "\n" + "   Format: " + c.format + "\n");
    EXPECT_EQ(encoded(block), hex("23 " + std::string(c.reencoded)));
}

INSTANTIATE_TEST_SUITE_P(Formats, AudioDescriptor, testing::ValuesIn(SAD_CASES));

TEST(AudioBlock, DescriptorCountFromLength)
{
    struct {
        const char *header;
        uint32_t count;
        const char *reencoded_header;
    } cases[] = {{"20", 0, "20"}, {"24", 1, "23"}, {"25", 1, "23"}, {"3F", 10, "3E"}};
    for (const auto &c : cases) {
        CeaDataBlock block = decoded(std::string(c.header) + " " + TEN_PCM + " AA");
        EXPECT_EQ(block.body.audio.count, c.count) << c.header;
        Bytes wire = encoded(block);
        EXPECT_EQ(wire[0], hex(c.reencoded_header)[0]) << c.header;
    }
    CeaDataBlock empty = decoded("20");
    EXPECT_EQ(printed([&] { cea_print_data_block(&empty); }), "Datablock: 1 Audio data block\n");
}

TEST(AudioBlock, DecoderWritesOnlyTheFieldsOfTheFormat)
{
    CeaAudioBlock audio;
    memset(&audio, 0xFF, sizeof audio);
    Bytes wire = hex("26 09 07 00 15 07 50");
    cea_decode_audio_block(wire.data(), &audio);
    EXPECT_EQ(audio.descriptors[0].max_bitrate, 0xFFu); // PCM: depths only
    EXPECT_EQ(audio.descriptors[0].options, 0xFF);
    EXPECT_EQ(audio.descriptors[1].depth_24, 1u); // AC3: bit rate only
    EXPECT_EQ(audio.descriptors[1].options, 0xFF);
    EXPECT_EQ(audio.descriptors[1].max_bitrate, 80u);
}

TEST(AudioBlock, CountsAboveCapacityAreClamped)
{
    CeaDataBlock block = decoded("3E " + TEN_PCM);
    block.body.audio.count = 200;
    EXPECT_EQ(encoded(block).size(), 31u);
    std::string out = printed([&] { cea_print_audio_block(&block.body.audio); });
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3 * CEA_MAX_AUDIO_DESCRIPTORS);
}

} // namespace
