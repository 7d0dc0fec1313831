// Detailed timings: 18 wire bytes <-> EdidDetailedTiming, and the report.
#include "test_util.h"

#include "edid/edid.h"

using test_util::Bytes;
using test_util::hex;
using test_util::printed;

namespace {

const char *const DTD_1080P = "02 3A 80 18 71 38 2D 40 58 2C 45 00 10 09 00 00 00 1E";

EdidDetailedTiming decode(const Bytes &b)
{
    EdidDetailedTiming t;
    edid_decode_detailed_timing(b.data(), &t);
    return t;
}

Bytes encode(const EdidDetailedTiming &t)
{
    Bytes out(18);
    edid_encode_detailed_timing(&t, out.data());
    return out;
}

TEST(DetailedTiming, Decodes1080p60)
{
    EdidDetailedTiming t = decode(hex(DTD_1080P));
    EXPECT_EQ(t.pixel_clock, 14850u);
    EXPECT_EQ(t.h_active, 1920u);
    EXPECT_EQ(t.h_blank, 280u);
    EXPECT_EQ(t.v_active, 1080u);
    EXPECT_EQ(t.v_blank, 45u);
    EXPECT_EQ(t.h_sync_offset, 88u);
    EXPECT_EQ(t.h_sync_width, 44u);
    EXPECT_EQ(t.v_sync_offset, 4u);
    EXPECT_EQ(t.v_sync_width, 5u);
    EXPECT_EQ(t.h_image_mm, 16u);
    EXPECT_EQ(t.v_image_mm, 9u);
    EXPECT_EQ(t.h_border + t.v_border, 0u);
    EXPECT_EQ(printed([&] { edid_print_detailed_timing(&t); }),
              "Pixel clock: 148.500 MHz\n"
              "Horizontal active: 1920\tBlank: 280\n"
              "Vertical active: 1080\tBlank: 45\n"
              "Horizontal sync offset: 88\tWidth: 44\n"
              "Vertical sync offset: 4\tWidth: 5\n"
              "Image size: 16mm X 9mm\n"
              "Horizontal border: 0\tVertical: 0\n"
              "Flags: Progressive Normal Digital_sync Separate_sync V+ H+\n");
    EXPECT_EQ(encode(t), hex(DTD_1080P));
}

std::string flags_line(uint8_t byte17)
{
    Bytes b = hex(DTD_1080P);
    b[17] = byte17;
    EdidDetailedTiming t = decode(b);
    std::string out = printed([&] { edid_print_detailed_timing(&t); });
    return out.substr(out.rfind("Flags:"));
}

TEST(DetailedTiming, FlagsLine)
{
    EXPECT_EQ(flags_line(0x80), "Flags: Interlaced Normal V- H-\n");
    EXPECT_EQ(flags_line(0x01), "Flags: Progressive Normal V- H-\n");
    EXPECT_EQ(flags_line(0x20), "Flags: Progressive Type1 V- H-\n");
    EXPECT_EQ(flags_line(0x40), "Flags: Progressive Type2 V- H-\n");
    EXPECT_EQ(flags_line(0x6A), "Flags: Progressive Type3 Separate_sync V- H+\n");
    EXPECT_EQ(flags_line(0x14), "Flags: Progressive Normal Digital_sync V+ H-\n");
}

TEST(DetailedTiming, EveryFlagsByteRoundTripsExceptBitZero)
{
    for (unsigned f = 0; f < 256; ++f) {
        Bytes b = hex(DTD_1080P);
        b[17] = uint8_t(f);
        EXPECT_EQ(encode(decode(b))[17], f & 0xFE) << f;
    }
}

TEST(DetailedTiming, WidestValuesSurviveAndWiderOnesLoseHighBits)
{
    // Every field at the top of its wire width.
    Bytes widest = hex("FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FE");
    EdidDetailedTiming t = decode(widest);
    EXPECT_EQ(t.pixel_clock, 0xFFFFu);
    EXPECT_EQ(t.h_active, 0xFFFu);
    EXPECT_EQ(t.h_sync_offset, 0x3FFu);
    EXPECT_EQ(t.v_sync_offset, 0x3Fu);
    EXPECT_EQ(t.v_sync_width, 0x3Fu);
    EXPECT_EQ(t.h_image_mm, 0xFFFu);
    EXPECT_EQ(encode(t), widest);

    EdidDetailedTiming wide{};
    wide.pixel_clock = 0x12345;
    wide.h_active = 0x1ABC;
    wide.h_sync_offset = 0x7FF;
    wide.v_sync_width = 0x7F;
    wide.h_border = 0x1FF;
    EdidDetailedTiming back = decode(encode(wide));
    EXPECT_EQ(back.pixel_clock, 0x2345u);
    EXPECT_EQ(back.h_active, 0xABCu);
    EXPECT_EQ(back.h_sync_offset, 0x3FFu);
    EXPECT_EQ(back.v_sync_width, 0x3Fu);
    EXPECT_EQ(back.h_border, 0xFFu);
}

TEST(DetailedTiming, PixelClockThousandths)
{
    struct {
        uint32_t clock;
        const char *line;
    } cases[] = {{14850, "Pixel clock: 148.500 MHz\n"}, {7425, "Pixel clock: 74.250 MHz\n"},
                 {2518, "Pixel clock: 25.180 MHz\n"},   {2505, "Pixel clock: 25.050 MHz\n"},
                 {0, "Pixel clock: 0.000 MHz\n"}};
    for (const auto &c : cases) {
        EdidDetailedTiming t{};
        t.pixel_clock = c.clock;
        std::string out = printed([&] { edid_print_detailed_timing(&t); });
        EXPECT_EQ(out.substr(0, out.find('\n') + 1), c.line);
    }
}

} // namespace
