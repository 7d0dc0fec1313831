// SPDX-License-Identifier: MIT
// Base block: the checks before decoding, the search for the CEA extension
// (directly or through the extension block maps), and the record as C code
// reads it.  Field values and reports are checked by the edid_dump golden
// tests, the encoder by the round trips.
#include "test_util.h"

#include <string.h>

#include <tuple>

#include <edid/edid.h>

using namespace test_util;

extern "C" int c_view_of_edid(const uint8_t *dump, size_t length);

namespace {

// A dump of `blocks` blocks: the base block of base_full.hex with byte 126
// = extensions, every further block zero.
Bytes dump(unsigned blocks, uint8_t extensions)
{
    Bytes d = read_dump("base_full.hex");
    d.resize(blocks * EDID_BLOCK_SIZE);
    d[126] = extensions;
    fix_checksum(d.data());
    return d;
}

// The checksum is tested first, then version 1.3; the header is not
// examined, and nothing is read past the length.
TEST(BaseBlock, Refusals)
{
    const struct {
        const char *what;
        unsigned byte, value, length;
        bool bad_sum;
        int result;
    } cases[] = {
        {"version 2.0 and a bad checksum", 18, 2, 128, true, EDID_DECODE_BAD_CHECKSUM},
        {"version 1.4", 19, 4, 128, false, EDID_DECODE_BAD_VERSION},
        {"version 2.0", 18, 2, 128, false, EDID_DECODE_BAD_VERSION},
        {"127 bytes", 18, 1, 127, false, EDID_DECODE_BAD_CHECKSUM},
        {"header 12 FF FF FF FF FF FF 00", 0, 0x12, 128, false, EDID_DECODE_OK},
    };
    for (const auto &c : cases) {
        Bytes d = dump(1, 0);
        d[c.byte] = uint8_t(c.value);
        fix_checksum(d.data());
        d[127] ^= c.bad_sum;
        EdidInfo info;
        EXPECT_EQ(edid_decode_bounded(d.data(), c.length, &info), c.result) << c.what;
    }
}

// A block put into a dump, in order of the block numbers: a CEA block
// (tag and revision; d = 6 and one video data block whose descriptor holds
// the block number, so the test tells which block was decoded), or, with
// revision 0, a block map (tag and entries).
struct Block {
    unsigned n;
    uint8_t tag, revision;
    std::vector<std::pair<unsigned, uint8_t>> entries = {};
    bool bad_sum = false;
};

// Decodes d with edid_decode_bounded and with edid_decode_sink, and
// expects of each what `probe` reads of its CEA record (-1: has_cea = 0).
template <class Probe>
void expect_decodes(const Bytes &d, int bounded, int sink, const char *what, Probe probe)
{
    for (auto [name, decode, expect] : {std::tuple{"bounded", &edid_decode_bounded, bounded},
                                        std::tuple{"sink", &edid_decode_sink, sink}}) {
        EdidInfo info;
        ASSERT_EQ(decode(d.data(), d.size(), &info), 0) << what << ", " << name;
        EXPECT_EQ(info.has_cea ? probe(info) : -1, expect) << what << ", " << name;
    }
}

TEST(BaseBlock, ExtensionSearch)
{
    const uint8_t CEA = CEA_EXTENSION_TAG, MAP = 0xF0, DISPLAYID = 0x70;
    const Block MAP1 = {1, MAP, 0}, CEA129 = {129, CEA, 3};
    // Byte 126 of the base block, the blocks put in (the dump ends with the
    // last of them), and the number of the block decoded as the CEA
    // extension (-1: none) by edid_decode_bounded and by edid_decode_sink.
    // The sink decode looks only at blocks 1 to byte 126, and without a
    // valid map in block 1 takes the first of them with tag 2.
    const struct {
        const char *what;
        uint8_t extensions;
        std::vector<Block> put;
        int found, sink;
    } cases[] = {
        {"no extension, CEA bytes present", 0, {{1, CEA, 3}}, -1, -1},
        {"one extension", 1, {{1, CEA, 3}}, 1, 1},
        {"one extension, tag 0x10", 1, {{1, 0x10, 3}}, -1, -1},
        {"one extension, revision 1", 1, {{1, CEA, 1}}, -1, -1},
        {"one extension, beyond the dump", 1, {}, -1, -1},
        {"two extensions, CEA where the map should be", 2, {{1, CEA, 3}}, -1, 1},
        {"CEA in block 1, DisplayID after it", 2, {{1, CEA, 3}, {2, DISPLAYID, 0}}, -1, 1},
        {"DisplayID in block 1, CEA after it", 2, {{1, DISPLAYID, 0}, {2, CEA, 3}}, -1, 2},
        {"no map: first tag 2 only", 3, {{1, DISPLAYID, 0}, {2, CEA, 1}, {3, CEA, 3}}, -1, -1},
        {"CEA past the count", 1, {{1, DISPLAYID, 0}, {2, CEA, 3}}, -1, -1},
        {"CEA past the count, 512 bytes", 2, {{1, DISPLAYID, 0}, {2, 0, 0}, {3, CEA, 3}}, -1, -1},
        {"map: first tag-2 entry only", 3, {{1, MAP, 0, {{1, 2}, {2, 2}}}, {2, CEA, 3}}, 2, 2},
        {"map: other tags skipped", 3, {{1, MAP, 0, {{1, 0x40}, {2, 2}}}, {3, CEA, 3}}, 3, 3},
        {"map: no retry", 3, {{1, MAP, 0, {{1, 2}, {2, 2}}}, {2, CEA, 2}, {3, CEA, 3}}, -1, -1},
        {"map: no tag 2, CEA in a block", 2, {{1, MAP, 0, {{1, DISPLAYID}}}, {2, CEA, 3}}, -1, -1},
        {"map: entry past the count", 2, {{1, MAP, 0, {{2, 2}}}, {3, CEA, 3}}, 3, -1},
        {"map: entry 126, the last", 127, {{1, MAP, 0, {{126, 2}}}, {127, CEA, 3}}, 127, 127},
        {"map with a wrong checksum", 2, {{1, MAP, 0, {{1, 2}}, true}, {2, CEA, 3}}, -1, 2},
        {"map with tag 0xF1", 2, {{1, 0xF1, 0, {{1, 2}}}, {2, CEA, 3}}, -1, 2},
        {"map entry beyond the dump", 2, {{1, MAP, 0, {{5, 2}}}}, -1, -1},
        // Block 128 is a second map when byte 126 is 128 or more; its tag and
        // checksum are not examined.
        {"map 2 unchecked", 200, {MAP1, {128, 0, 0, {{1, 2}}, true}, CEA129}, 129, 129},
        {"map 2, 127 extensions", 127, {MAP1, {128, MAP, 0, {{1, 2}}}, CEA129}, -1, -1},
        {"map 2: entry past the count", 128, {MAP1, {128, MAP, 0, {{1, 2}}}, CEA129}, 129, -1},
        {"map 2 beyond the dump", 200, {MAP1}, -1, -1},
    };
    for (const auto &c : cases) {
        Bytes d = dump(c.put.empty() ? 1 : c.put.back().n + 1, c.extensions);
        for (const Block &b : c.put) {
            uint8_t *p = d.data() + b.n * EDID_BLOCK_SIZE;
            const uint8_t cea[] = {b.tag, b.revision, 6, 0, 0x41, uint8_t(b.n)};
            memcpy(p, cea, b.revision ? sizeof cea : 1);
            for (auto [i, tag] : b.entries) p[i] = tag;
            fix_checksum(p);
            p[127] ^= b.bad_sum;
        }
        expect_decodes(d, c.found, c.sink, c.what, [](const EdidInfo &info) {
            const CeaShortVideoDescriptor &svd = info.cea.data_blocks[0].body.video.descriptors[0];
            return int(svd.native << 7 | svd.vic);
        });
    }
}

// The sink decode reads an EDID 1.4 range limits descriptor whose byte 4
// adds 255 to a rate: still a range limits descriptor (EDID 1.3 reads a
// non-zero byte 4 as a detailed timing), each offset rate the largest that
// EDID 1.3 holds, and the minimum offset only when its own bits say so
// (vertical: bits 1-0 = 10 maximum, 11 both; horizontal: bits 3-2).
TEST(BaseBlock, RangeLimitsRateOffsetsOfEdid14)
{
    const struct {
        uint8_t offsets;
        uint32_t min_v, max_v, min_h, max_h;
    } cases[] = {
        {0x00, 24, 75, 15, 81},   {0x02, 24, 255, 15, 81},  {0x03, 255, 255, 15, 81},
        {0x08, 24, 75, 15, 255},  {0x0C, 24, 75, 255, 255}, {0x0A, 24, 255, 15, 255},
    };
    for (const auto &c : cases) {
        Bytes d = dump(1, 0);
        d[19] = 4;
        const Bytes range = hex("00 00 00 FD 00 18 4B 0F 51 17 00 0A 20 20 20 20 20 20");
        std::copy(range.begin(), range.end(), d.begin() + 72);
        d[76] = c.offsets;
        fix_checksum(d.data());
        EdidInfo info;
        ASSERT_EQ(edid_decode_sink(d.data(), d.size(), &info), EDID_DECODE_OK);
        const EdidDescriptor &desc = info.descriptors[1];
        ASSERT_EQ(desc.type, uint32_t(EDID_DESC_RANGE_LIMITS)) << int(c.offsets);
        const EdidRangeLimits &r = desc.body.range_limits;
        EXPECT_EQ(std::tuple(r.min_v_hz, r.max_v_hz, r.min_h_khz, r.max_h_khz),
                  std::tuple(c.min_v, c.max_v, c.min_h, c.max_h))
            << int(c.offsets);
    }
}

// header_c.c reads the record through the header compiled as C.
TEST(BaseBlock, RecordReadFromC)
{
    Bytes d = read_dump("sample_tv.hex");
    EXPECT_EQ(c_view_of_edid(d.data(), d.size()), 1 | 4 | 8 | 16);
    d[0x40] ^= 1; // inside the base block: bad checksum
    EXPECT_EQ(c_view_of_edid(d.data(), d.size()), -1);
}

} // namespace
