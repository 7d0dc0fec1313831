// SPDX-License-Identifier: MIT
// Base block: decoder, extension search, report and encoder.
#include "test_util.h"

#include <string.h>

#include <edid/edid.h>

using test_util::Bytes;
using test_util::hex;
using test_util::printed;

extern "C" int c_view_of_edid(const uint8_t *dump, size_t length);

namespace {

// A plain EDID 1.3 base block: "SAM", 1080p preferred timing, range limits,
// name, serial; 640x480@60 established; 1920x1080@60 standard timing.
const char *const BASE =
    "00 FF FF FF FF FF FF 00 4C 2D 4E 0C 00 0E 00 01 01 19 01 03 80 A0 5A 78 0A EE 91 A3 54 4C"
    " 99 26 0F 50 54 20 00 00 D1 C0 01 01 01 01 01 01 01 01 01 01 01 01 01 01 02 3A 80 18 71 38"
    " 2D 40 58 2C 45 00 10 09 00 00 00 1E 00 00 00 FD 00 38 4C 1E 53 0F 00 0A 20 20 20 20 20 20"
    " 00 00 00 FC 00 53 41 4D 53 55 4E 47 0A 20 20 20 20 20 00 00 00 FF 00 30 31 32 33 34 35 0A"
    " 20 20 20 20 20 20 00 00";

void fix_checksum(uint8_t *block)
{
    block[127] = 0;
    block[127] = uint8_t(0 - edid_checksum(block));
}

// A dump of `blocks` blocks: the base block with byte 126 = extensions and
// every further block zero.
Bytes dump(unsigned blocks, uint8_t extensions)
{
    Bytes d = hex(BASE);
    d.resize(blocks * EDID_BLOCK_SIZE);
    d[126] = extensions;
    fix_checksum(d.data());
    return d;
}

// A CEA block at block n whose one video data block holds the byte `mark`,
// so a test can tell which block was decoded.
void put_cea(Bytes &d, unsigned n, uint8_t mark, uint8_t revision = 3)
{
    uint8_t *b = d.data() + n * EDID_BLOCK_SIZE;
    memset(b, 0, EDID_BLOCK_SIZE);
    const uint8_t head[] = {CEA_EXTENSION_TAG, revision, 6, 0, 0x41, mark};
    memcpy(b, head, sizeof head);
    fix_checksum(b);
}

void put_map(Bytes &d, unsigned n, std::initializer_list<std::pair<unsigned, uint8_t>> entries,
             uint8_t tag = 0xF0, bool valid = true)
{
    uint8_t *b = d.data() + n * EDID_BLOCK_SIZE;
    memset(b, 0, EDID_BLOCK_SIZE);
    b[0] = tag;
    for (auto [i, t] : entries) b[i] = t;
    fix_checksum(b);
    if (!valid) b[127] ^= 1;
}

EdidInfo decoded(const Bytes &d, int *result = nullptr)
{
    EdidInfo info;
    int r = edid_decode_bounded(d.data(), d.size(), &info);
    if (result) *result = r;
    return info;
}

TEST(BaseBlock, RefusesWithoutTouchingTheRecord)
{
    struct {
        const char *what;
        uint8_t version, revision;
        bool bad_sum;
        int result;
    } cases[] = {
        {"checksum first", 2, 0, true, -2},
        {"version 1.4", 1, 4, false, -3},
        {"version 2.0", 2, 0, false, -3},
    };
    for (const auto &c : cases) {
        Bytes d = dump(1, 0);
        d[18] = c.version;
        d[19] = c.revision;
        fix_checksum(d.data());
        if (c.bad_sum) d[127] ^= 0x40;
        EdidInfo info, before;
        memset(&info, 0x5A, sizeof info);
        before = info;
        EXPECT_EQ(edid_decode(d.data(), &info), c.result) << c.what;
        EXPECT_EQ(memcmp(&info, &before, sizeof info), 0) << c.what;
    }
    // A header that is not the standard pattern is decoded all the same.
    Bytes d = dump(1, 0);
    d[0] = 0x12;
    fix_checksum(d.data());
    int r;
    EXPECT_EQ(decoded(d, &r).header[0], 0x12);
    EXPECT_EQ(r, 0);
    // Shorter than a block: refused as a bad checksum, nothing read past the length.
    EdidInfo info;
    EXPECT_EQ(edid_decode_bounded(d.data(), 127, &info), -2);
}

// Which block the extension search took: the marker byte of its video
// block, or -1 when has_cea is 0.
int cea_found(const Bytes &d)
{
    EdidInfo info = decoded(d);
    if (!info.has_cea) return -1;
    const CeaShortVideoDescriptor &svd = info.cea.data_blocks[0].body.video.descriptors[0];
    return int(svd.native << 7 | svd.vic);
}

TEST(BaseBlock, ExtensionSearch)
{
    struct Case {
        const char *what;
        Bytes dump;
        int found;
    };
    auto make = [](unsigned blocks, uint8_t extensions, auto &&fill) {
        Bytes d = dump(blocks, extensions);
        fill(d);
        return d;
    };
    const Case cases[] = {
        {"no extension, CEA bytes present", make(2, 0, [](Bytes &d) { put_cea(d, 1, 1); }), -1},
        {"one extension", make(2, 1, [](Bytes &d) { put_cea(d, 1, 1); }), 1},
        {"one extension, not CEA", make(2, 1, [](Bytes &d) { put_cea(d, 1, 1); d[128] = 0x10; }), -1},
        {"one extension, revision 1", make(2, 1, [](Bytes &d) { put_cea(d, 1, 1, 1); }), -1},
        {"one extension, beyond the dump", dump(1, 1), -1},
        {"two extensions, CEA where the map should be",
         make(3, 2, [](Bytes &d) { put_cea(d, 1, 1); }), -1},
        {"map: first tag-2 entry only",
         make(4, 3, [](Bytes &d) { put_map(d, 1, {{1, 2}, {2, 2}}); put_cea(d, 2, 2); put_cea(d, 3, 3); }), 2},
        {"map: other tags skipped",
         make(4, 3, [](Bytes &d) { put_map(d, 1, {{1, 0x40}, {2, 2}}); put_cea(d, 3, 3); }), 3},
        {"map: first tag-2 block refused, later ones not tried",
         make(4, 3, [](Bytes &d) { put_map(d, 1, {{1, 2}, {2, 2}}); put_cea(d, 2, 2, 2); put_cea(d, 3, 3); }), -1},
        {"map with a wrong checksum",
         make(3, 2, [](Bytes &d) { put_map(d, 1, {{1, 2}}, 0xF0, false); put_cea(d, 2, 2); }), -1},
        {"map with a wrong tag", make(3, 2, [](Bytes &d) { put_map(d, 1, {{1, 2}}, 0xF1); put_cea(d, 2, 2); }), -1},
        {"map entry beyond the dump", make(2, 2, [](Bytes &d) { put_map(d, 1, {{5, 2}}); }), -1},
        {"second map at block 128",
         make(130, 200, [](Bytes &d) { put_map(d, 1, {}); put_map(d, 128, {{1, 2}}, 0x00, false); put_cea(d, 129, 0x81); }), 0x81},
        {"no second map below 128 extensions",
         make(130, 127, [](Bytes &d) { put_map(d, 1, {}); put_map(d, 128, {{1, 2}}); put_cea(d, 129, 0x81); }), -1},
        {"second map beyond the dump", make(128, 200, [](Bytes &d) { put_map(d, 1, {}); }), -1},
    };
    for (const Case &c : cases) EXPECT_EQ(cea_found(c.dump), c.found) << c.what;
}

TEST(BaseBlock, EncoderFacts)
{
    EdidInfo info = decoded(dump(1, 0));
    struct {
        uint32_t gamma;
        int year;
        uint8_t gamma_byte, year_byte;
    } cases[] = {{2252, 2007, 120, 17}, {1024, 1990, 0, 0}, {0, 1989, 156, 255}, {2253, 2245, 120, 255}};
    for (const auto &c : cases) {
        info.gamma = c.gamma;
        info.year = c.year;
        uint8_t out[EDID_BLOCK_SIZE];
        edid_encode(&info, out);
        EXPECT_EQ(out[23], c.gamma_byte) << c.gamma;
        EXPECT_EQ(out[17], c.year_byte) << c.year;
        EXPECT_EQ(edid_checksum(out), 0);
    }
    memcpy(info.vendor_id, "ABC", 4);
    info.standard_timings[0].h_active = 640; // raw_code alone decides the bytes
    info.has_cea = 0;
    uint8_t out[2 * EDID_BLOCK_SIZE];
    memset(out, 0xEE, sizeof out);
    edid_encode(&info, out);
    EXPECT_EQ(out[8], 0x04);
    EXPECT_EQ(out[9], 0x43);
    EXPECT_EQ(out[38], 0xD1);
    EXPECT_EQ(out[126], 0);
    EXPECT_EQ(out[EDID_BLOCK_SIZE], 0xEE); // nothing written after the base block
}

// Bytes 0 to 125 come back as they were, but for the reserved bit 7 of byte 8.
TEST(BaseBlock, ReencodingGivesTheSameBaseBytes)
{
    Bytes d = dump(1, 0);
    d[8] |= 0x80;
    d[35] = 0xA5;
    d[36] = 0x5A;
    d[37] = 0x85;
    fix_checksum(d.data());
    EdidInfo info = decoded(d);
    EXPECT_STREQ(info.vendor_id, "SAM");
    EXPECT_TRUE(info.est_720x400_70 && info.est_800x600_60 && info.est_1024x768_75);
    EXPECT_FALSE(info.est_720x400_88 || info.est_800x600_72 || info.est_1280x1024_75);
    EXPECT_TRUE(info.est_1152x870_75);
    EXPECT_EQ(info.manufacturer_mask, 5u);
    uint8_t out[EDID_BLOCK_SIZE];
    edid_encode(&info, out);
    d[8] &= 0x7F;
    fix_checksum(d.data());
    EXPECT_EQ(Bytes(out, out + EDID_BLOCK_SIZE), d);
}

TEST(BaseBlock, RecordReadFromC)
{
    Bytes d = dump(2, 1);
    put_cea(d, 1, 1);
    const uint8_t blocks[] = {0x23, 0x09, 0x07, 0x07, 0x83, 0x01, 0x00, 0x00}; // audio, speakers
    uint8_t *cea = d.data() + EDID_BLOCK_SIZE;
    cea[2] = 12;
    cea[3] = 0x40;
    memcpy(cea + 4, blocks, sizeof blocks);
    fix_checksum(cea);
    EXPECT_EQ(c_view_of_edid(d.data(), d.size()), 1 | 4 | 8 | 16);
    d[0x40] ^= 1; // inside the base block: bad checksum
    EXPECT_EQ(c_view_of_edid(d.data(), d.size()), -1);
}

} // namespace
