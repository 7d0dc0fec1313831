// SPDX-License-Identifier: MIT
// Descriptor slots: classification, bodies, report lines and re-encoding.
#include "test_util.h"

#include <string.h>

#include <edid/edid.h>

using test_util::Bytes;
using test_util::hex;

namespace {

// Slots, their type and their bytes once decoded and encoded again (the
// golden base block reports show what each kind prints).
struct SlotCase {
    const char *what;
    const char *wire;
    uint32_t type;
    const char *reencoded; // nullptr: the same bytes
};

const char *const EMPTY = "01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01";

const SlotCase SLOT_CASES[] = {
    {"empty marker", EMPTY, EDID_DESC_EMPTY, nullptr},
    {"empty marker, body not examined", "01 01 01 01 01 00 00 00 00 00 00 00 00 00 00 00 00 00",
     EDID_DESC_EMPTY, EMPTY},
    {"monitor name", "00 00 00 FC 00 48 44 54 56 31 0A 20 20 20 20 20 20 20", EDID_DESC_NAME, nullptr},
    {"13-letter name", "00 00 00 FC 00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D", EDID_DESC_NAME, nullptr},
    {"serial text", "00 00 00 FF 00 31 32 33 34 35 36 37 38 39 30 0A 20 20", EDID_DESC_SERIAL, nullptr},
    {"range limits, GTF body dropped", "00 00 00 FD 00 38 4C 1E 53 0F 02 00 28 78 E2 28 28 00",
     EDID_DESC_RANGE_LIMITS, "00 00 00 FD 00 38 4C 1E 53 0F 00 0A 20 20 20 20 20 20"},
    {"white points", "00 00 00 FB 00 01 01 50 54 78 00 00 00 00 00 01 01 01", EDID_DESC_WHITE_POINT,
     nullptr},
    {"standard timing identifiers", "00 00 00 FA 00 D1 C0 81 80 01 01 01 01 01 01 01 01 0A",
     EDID_DESC_STD_TIMINGS, "00 00 00 FA 00 D1 C0 81 80 01 01 01 01 01 01 01 01 01"},
    {"unrecognised tag", "00 00 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 07", 0x10, nullptr},
    {"zero clock, not a name", "00 00 05 FC 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
     EDID_DESC_TIMING, nullptr},
    {"tag 0x00 padding", "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", EDID_DESC_TIMING,
     nullptr},
    {"tag 0x01: empty", "00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00", EDID_DESC_EMPTY, EMPTY},
};

TEST(Descriptor, ClassifiesAndReencodesSlots)
{
    for (const SlotCase &c : SLOT_CASES) {
        SCOPED_TRACE(c.what);
        Bytes wire = hex(c.wire);
        EdidDescriptor d;
        edid_decode_descriptor(wire.data(), &d);
        EXPECT_EQ(d.type, c.type);
        Bytes out(18);
        edid_encode_descriptor(&d, out.data());
        EXPECT_EQ(out, c.reencoded ? hex(c.reencoded) : wire);
    }
}

TEST(Descriptor, TextCodec)
{
    struct {
        const char *text, *wire;
    } cases[] = {
        {"HDTV1", "48 44 54 56 31 0A 20 20 20 20 20 20 20"},
        {"ABCDEFGHIJKL", "41 42 43 44 45 46 47 48 49 4A 4B 4C 0A"},   // 12: 0x0A, no blank
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
    // Decoding keeps blanks and NULs before the line feed, and stops there.
    char text[14];
    edid_decode_text(hex("41 20 00 42 0A 43 43 43 43 43 43 43 43").data(), text);
    EXPECT_EQ(memcmp(text, "A \0B\0", 5), 0);
}

TEST(Descriptor, RangeLimitsClockStepAndWhitePointRoundTrip)
{
    EdidRangeLimits r{50, 75, 30, 80, 155};
    Bytes out(13);
    edid_encode_range_limits(&r, out.data());
    EXPECT_EQ(out, hex("32 4B 1E 50 0F 00 0A 20 20 20 20 20 20"));

    // Every gamma byte and every 10-bit coordinate survives decode and encode.
    for (unsigned g = 0; g < 256; ++g) {
        const uint8_t w[5] = {uint8_t(g), uint8_t(g & 0x0F), uint8_t(g ^ 0x5A), uint8_t(~g), uint8_t(g)};
        EdidWhitePoint p;
        edid_decode_white_point(w, &p);
        uint8_t back[5];
        edid_encode_white_point(&p, back);
        ASSERT_EQ(memcmp(w, back, 5), 0) << g;
    }
}

} // namespace
