// SPDX-License-Identifier: MIT
// Descriptor slots: classification, bodies and re-encoding.
#include "test_util.h"

#include <string.h>

#include <edid/edid.h>

using namespace test_util;

namespace {

// The slots of data/base_rows.txt: their type and, where they differ,
// their bytes once decoded and encoded again.
TEST(Descriptor, ClassifiesAndReencodesSlots)
{
    for (const auto &row : table("base_rows.txt", "descriptor_slots")) {
        const std::string &what = row.at(0), &wire = row.at(2);
        EdidDescriptor d;
        edid_decode_descriptor(hex(wire).data(), &d);
        EXPECT_EQ(d.type, uint32_t(std::stoul(row.at(1), nullptr, 16))) << what;
        Bytes out(18);
        edid_encode_descriptor(&d, out.data());
        EXPECT_EQ(out, hex(row.size() > 3 ? row[3] : wire)) << what;
    }
}

TEST(Descriptor, TextCodec)
{
    struct {
        const char *text, *wire;
    } cases[] = {
        {"HDTV1", "48 44 54 56 31 0A 20 20 20 20 20 20 20"},
        {"ABCDEFGHIJKL", "41 42 43 44 45 46 47 48 49 4A 4B 4C 0A"},     // 12: 0x0A, no blank
        {"ABCDEFGHIJKLMNOP", "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D"}, // cut to 13
        {"", "0A 20 20 20 20 20 20 20 20 20 20 20 20"},
        // The wire form itself as text (what the device builder stores) encodes the same.
        {"HDTV1\n       ", "48 44 54 56 31 0A 20 20 20 20 20 20 20"},
    };
    for (const auto &c : cases) {
        Bytes out(13);
        edid_encode_text(c.text, out.data());
        EXPECT_EQ(out, hex(c.wire)) << c.text;
    }
    // Decoding keeps blanks and NULs before the line feed, and stops there
    // or after 13 bytes.
    char text[EDID_TEXT_SIZE + 1];
    edid_decode_text(hex("41 20 00 42 0A 43 43 43 43 43 43 43 43").data(), text);
    EXPECT_EQ(memcmp(text, "A \0B\0", 5), 0);
    edid_decode_text(hex("41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E").data(), text);
    EXPECT_STREQ(text, "ABCDEFGHIJKLM");
}

// Every gamma byte and every 10-bit coordinate survives decode and encode.
TEST(Descriptor, WhitePointRoundTrip)
{
    for (unsigned g = 0; g < 256; ++g) {
        const uint8_t w[5] = {uint8_t(g), uint8_t(g & 0x0F), uint8_t(g ^ 0x5A), uint8_t(~g),
                              uint8_t(g)};
        EdidWhitePoint p;
        edid_decode_white_point(w, &p);
        uint8_t back[5];
        edid_encode_white_point(&p, back);
        ASSERT_EQ(memcmp(w, back, 5), 0) << g;
    }
}

} // namespace
