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
// The default audio side's speakers: FL/FR LFE FC RL/RR FLC/FRC.
const std::string SPEAKERS = "83 2F 00 00";
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

// The cases of a file of data/profiles: each a line "== HEAD", then the
// profile's text up to the next case; the lines before the first case are
// comments.
std::vector<std::pair<std::string, std::string>> cases_of(const std::string &file)
{
    std::vector<std::pair<std::string, std::string>> cases;
    std::ifstream in(EDID_TEST_DATA_DIR "/profiles/" + file);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("== ", 0) == 0)
            cases.emplace_back(line.substr(3), "");
        else if (!cases.empty())
            cases.back().second += line + "\n";
    }
    EXPECT_FALSE(cases.empty()) << file;
    return cases;
}

// The text between the first and the last '"' of s.
std::string unquoted(const std::string &s)
{
    const size_t first = s.find('"');
    return s.substr(first + 1, s.rfind('"') - first - 1);
}

// Each key changes its own part of the device and nothing else: the audio
// sides of data/profiles/keys.txt, the identity and the link limits.
TEST(Profile, EachKeyOverridesTheDeviceOnItsOwn)
{
    const auto cases = cases_of("keys.txt");
    ASSERT_EQ(cases.size(), 10u);
    for (const auto &[expected, text] : cases) {
        const Parsed p = parse(text);
        ASSERT_EQ(p.result, PROFILE_OK) << text << p.error;
        EXPECT_EQ(side(p.device), unquoted(expected)) << text;
        EXPECT_EQ(p.device.thx, text.find("thx") != std::string::npos) << text;
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
// audio descriptor that follows basic audio's (data/profiles/codecs.txt).
TEST(Profile, CodecNamesAndRates)
{
    const auto cases = cases_of("codecs.txt");
    ASSERT_EQ(cases.size(), 16u);
    for (const auto &[sad, format] : cases) {
        const Parsed p = parse(V1 + "[audio]\n" + BASIC + "[[audio.format]]\n" + format);
        ASSERT_EQ(p.result, PROFILE_OK) << format << "\n" << p.error;
        EXPECT_EQ(side(p.device), SPEAKERS + " 26 09 07 00 " + sad) << format;
    }
}

// Every mistake of data/profiles/errors.txt is one line,
// "p.toml:LINE: KEY: what", that shows the value as written and, for a
// word, the words accepted.
TEST(Profile, ErrorsNameTheLineTheKeyAndWhatIsAccepted)
{
    const auto cases = cases_of("errors.txt");
    ASSERT_EQ(cases.size(), 35u);
    for (const auto &[head, text] : cases) {
        const Parsed p = parse(text);
        ASSERT_EQ(p.result, PROFILE_INVALID) << text;
        EXPECT_EQ(p.error.rfind("p.toml:" + head.substr(0, head.find(" | ")) + ":", 0), 0u)
            << p.error;
        EXPECT_NE(p.error.find(unquoted(head)), std::string::npos) << p.error;
        for (const char ch : p.error) EXPECT_TRUE(ch >= 0x20 && ch <= 0x7E) << p.error;
    }
}

} // namespace
