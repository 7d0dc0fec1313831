// SPDX-License-Identifier: MIT
// Device profiles (tools/profile.h): what each key does to the device
// record, the codec, rate and speaker words, and the one-line error of
// each kind of mistake (data/profiles/errors.txt).  The shipped profiles
// are built end to end (device.cmake).
#include <string.h>

#include <fstream>

#include "test_util.h"
#include "tools/profile.h"

namespace {

using namespace test_util;

const std::string V1 = "version = 1\n";
// The default audio side: speakers FL/FR LFE FC RL/RR FLC/FRC, then DTS,
// AC-3 at 6 channels, LPCM, DTS, AC-3 at 2.
const std::string SPEAKERS = "83 2F 00 00";
const std::string FORMATS = "2F 3D 07 B0 15 07 50 09 07 07 39 07 B0 11 07 50";
// 2-channel LPCM at 32, 44.1 and 48 kHz (no sample sizes: byte 2 is 0):
// basic audio, which a side needs.
const std::string BASIC =
    "[[audio.format]]\ncodec = \"lpcm\"\nchannels = 2\nrates = [32, 44.1, 48]\n";

struct Parsed {
    ProfileResult result;
    std::string error;
    EdidDevice device;
};

Parsed parse(const std::string &text)
{
    Parsed p;
    p.result = profile_parse(text, "p.toml", &p.device, &p.error);
    return p;
}

std::string side(const EdidDevice &d)
{
    return hex_of(d.audio.blocks, d.audio.size);
}

// Each key changes its own part of the device and nothing else.
TEST(Profile, EachKeyOverridesTheDeviceOnItsOwn)
{
    const struct {
        std::string text, side;
    } cases[] = {
        {V1, SPEAKERS + " " + FORMATS},
        {V1 + "thx = true\n", SPEAKERS + " " + FORMATS},
        {V1 + "[audio]\n", SPEAKERS + " " + FORMATS},
        {V1 + "[audio]\nspeakers = \"2.0\"\n", "83 01 00 00 " + FORMATS},
        {V1 + "[audio]\nspeakers = [\"fl/fr\", \"BL/BR\"]\n", "83 09 00 00 " + FORMATS},
        {V1 + "[audio]\n" + BASIC, SPEAKERS + " 23 09 07 00"},
        {V1 + "[audio]\nspeakers = []\n" + BASIC, "23 09 07 00"},
        {V1 + "[audio]\nspeakers = []\nformat = []\n", ""},
        // Dolby's block: centre and surround zones of the default speakers.
        {V1 + "[audio]\ndolby_atmos = true\n", SPEAKERS + " " + FORMATS + " E6 11 46 D0 00 30 00"},
        {V1 + "[audio]\nblocks = [\"E3 12 00 00\"]\n", SPEAKERS + " " + FORMATS + " E3 12 00 00"},
    };
    for (const auto &c : cases) {
        const Parsed p = parse(c.text);
        ASSERT_EQ(p.result, PROFILE_OK) << c.text << p.error;
        EXPECT_EQ(side(p.device), c.side) << c.text;
        EXPECT_EQ(p.device.thx, c.text.find("thx") != std::string::npos) << c.text;
    }
    const Parsed p = parse(V1 + "vendor_id = \"ABC\"\nproduct_code = 0x0714\nserial_number = 7\n"
                                "week = 10\nyear = 2026\nname = \"R714\"\nvideo_latency_ms = 20\n"
                                "audio_latency_ms = 60\nmax_tmds_mhz = 300\n"
                                "max_tmds_character_rate_mhz = 600\nmax_frl_rate = 5\n");
    ASSERT_EQ(p.result, PROFILE_OK) << p.error;
    const EdidDevice &d = p.device;
    EXPECT_STREQ(d.vendor_id, "ABC");
    EXPECT_STREQ(d.name, "R714");
    EXPECT_EQ(d.product_code + d.serial_number + uint32_t(d.week + d.year), 0x714u + 7 + 10 + 2026);
    EXPECT_EQ(d.video_latency_ms * 1000 + d.audio_latency_ms, 20060);
    EXPECT_EQ(d.max_tmds_mhz * 1000 + d.max_tmds_character_rate_mhz, 300600u);
    EXPECT_EQ(d.max_frl_rate, 5u);
}

// Codecs as people name them, and rates as numbers in kHz or Hz: the short
// audio descriptor that follows basic audio's.
TEST(Profile, CodecNamesAndRates)
{
    const struct {
        const char *format, *sad;
    } cases[] = {
        {"codec = \"TrueHD\"\nchannels = 8\nrates = [48]", "67 04 00"},
        {"codec = \"Dolby Atmos\"\nchannels = 8\nrates = [48]", "67 04 01"},
        {"codec = \"DD+\"\nchannels = 6\nrates = [48]", "55 04 00"},
        {"codec = \"e-ac3\"\nchannels = 6\nrates = [48]\natmos = true", "55 04 01"},
        {"codec = \"Dolby Digital\"\nchannels = 6\nrates = [48]\nmax_bitrate_kbps = 640",
         "15 04 50"},
        {"codec = \"DTS-HD MA\"\nchannels = 8\nrates = [48]", "5F 04 01"},
        {"codec = \"DTS:X\"\nchannels = 8\nrates = [48]", "5F 04 03"},
        {"codec = \"dtsx\"\nchannels = 8\nrates = [48]\ndts_x = false", "5F 04 01"},
        {"codec = \"DSD\"\nchannels = 6\nrates = [44.1]\noptions = 2", "4D 02 02"},
        {"codec = \"dst\"\nchannels = 2\nrates = [48]\noptions = 1", "69 04 01"},
        {"codec = \"dts-hd\"\nchannels = 2\nrates = [48]\noptions = 3", "59 04 03"},
        {"codec = \"PCM\"\nchannels = 2\nrates = [44100, 48000, 176.4, 192000]\n"
         "sample_sizes = [24]",
         "09 66 04"},
        {"codec = \"MPEG-H\"\nrates = [48]", "78 04 58"},
        {"codec = \"AC4\"\nrates = [48]", "78 04 60"},
        {"codec = \"mpeg-4-he-aac\"\nchannels = 2\nrates = [48]", "79 04 20"}, // type 4, the lowest
        {"codec = \"HE-AAC v2\"\nchannels = 2\nrates = [48]", "79 04 28"},
    };
    for (const auto &c : cases) {
        const Parsed p = parse(V1 + "[audio]\n" + BASIC + "[[audio.format]]\n" + c.format + "\n");
        ASSERT_EQ(p.result, PROFILE_OK) << c.format << "\n" << p.error;
        EXPECT_EQ(side(p.device), SPEAKERS + " 26 09 07 00 " + c.sad) << c.format;
    }
}

// Every mistake of data/profiles/errors.txt is one line,
// "p.toml:LINE: KEY: what", that shows the value as written and, for a
// word, the words accepted.
TEST(Profile, ErrorsNameTheLineTheKeyAndWhatIsAccepted)
{
    struct Case {
        std::string where, shows, text;
    };
    std::vector<Case> cases;
    std::ifstream in(EDID_TEST_DATA_DIR "/profiles/errors.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("== ", 0) == 0) {
            const size_t bar = line.find(" | ");
            const size_t quote = line.find('"', bar);
            cases.push_back(
                {line.substr(3, bar - 3), line.substr(quote + 1, line.rfind('"') - quote - 1), ""});
        } else if (!cases.empty()) {
            cases.back().text += line + "\n";
        }
    }
    ASSERT_EQ(cases.size(), 35u);
    for (const auto &c : cases) {
        const Parsed p = parse(c.text);
        ASSERT_EQ(p.result, PROFILE_INVALID) << c.text;
        EXPECT_EQ(p.error.rfind("p.toml:" + c.where + ":", 0), 0u) << p.error;
        EXPECT_NE(p.error.find(c.shows), std::string::npos) << p.error;
        for (const char ch : p.error) EXPECT_TRUE(ch >= 0x20 && ch <= 0x7E) << p.error;
    }
}

} // namespace
