// SPDX-License-Identifier: MIT
// Descriptor slots: classification, bodies and re-encoding.
#include "test_util.h"

#include <string.h>

#include <edid/edid.h>

using namespace test_util;

namespace {

// Slots, their type and, where they differ, their bytes once decoded and
// encoded again (the golden base block reports show what each kind prints).
TEST(Descriptor, ClassifiesAndReencodesSlots)
{
    const std::string EMPTY = "01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01";
    const struct {
        const char *what;
        uint32_t type;
        std::string wire, reencoded = "";
    } cases[] = {
        {"empty marker", EDID_DESC_EMPTY, EMPTY},
        {"empty marker, body not examined", EDID_DESC_EMPTY,
         "01 01 01 01 01 00 00 00 00 00 00 00 00 00 00 00 00 00", EMPTY},
        {"name", EDID_DESC_NAME, "00 00 00 FC 00 48 44 54 56 31 0A 20 20 20 20 20 20 20"},
        {"13 letters", EDID_DESC_NAME, "00 00 00 FC 00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D"},
        {"serial", EDID_DESC_SERIAL, "00 00 00 FF 00 31 32 33 34 35 36 37 38 39 30 0A 20 20"},
        {"range limits, GTF body dropped", EDID_DESC_RANGE_LIMITS,
         "00 00 00 FD 00 38 4C 1E 53 0F 02 00 28 78 E2 28 28 00",
         "00 00 00 FD 00 38 4C 1E 53 0F 00 0A 20 20 20 20 20 20"},
        {"white points", EDID_DESC_WHITE_POINT,
         "00 00 00 FB 00 01 01 50 54 78 00 00 00 00 00 01 01 01"},
        {"standard timing identifiers", EDID_DESC_STD_TIMINGS,
         "00 00 00 FA 00 D1 C0 81 80 01 01 01 01 01 01 01 01 0A",
         "00 00 00 FA 00 D1 C0 81 80 01 01 01 01 01 01 01 01 01"},
        {"unrecognised tag", 0x10, "00 00 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 07"},
        {"byte 2 set", EDID_DESC_TIMING, "00 00 05 FC 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {"byte 4 set", EDID_DESC_TIMING, "00 00 00 FC 01 48 44 54 56 31 0A 20 20 20 20 20 20 20"},
        {"tag 0x00", EDID_DESC_TIMING, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {"tag 0x01", EDID_DESC_EMPTY, "00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
         EMPTY},
    };
    for (const auto &c : cases) {
        Bytes wire = hex(c.wire);
        EdidDescriptor d;
        edid_decode_descriptor(wire.data(), &d);
        EXPECT_EQ(d.type, c.type) << c.what;
        Bytes out(18);
        edid_encode_descriptor(&d, out.data());
        EXPECT_EQ(out, hex(c.reencoded.empty() ? c.wire : c.reencoded)) << c.what;
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
