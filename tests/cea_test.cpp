// SPDX-License-Identifier: MIT
// CEA-861 extension block: the scan of the data block collection and of the
// detailed timings, the data block and block encoders, and counts above the
// record's capacity.  Reports are checked by the edid_dump golden tests
// (golden_cea.cmake), round trips by roundtrip_test.cpp.
#include <string.h>

#include <algorithm>
#include <tuple>

#include "test_util.h"

using namespace test_util;

namespace {

// 1920x1080 at 148.5 MHz, digital separate sync, V+ H+.
const std::string DTD = "02 3A 80 18 71 38 2D 40 58 2C 45 00 10 09 00 00 00 1E";
// Data blocks of tag 5 and length 31, three of them (bytes 4 to 99 of a
// block), and of tags 6 and 5 and lengths 18, 26 and 27.
const std::string RAW31 = "BF " + repeat("AA", 31), RAW3 = repeat(RAW31, 3);
const std::string RAW18 = "D2 " + repeat("AA", 18), RAW26 = "BA " + repeat("AA", 26),
                  RAW27 = "BB " + repeat("AA", 27);

// A data block decoded from its wire bytes (header first), followed by
// 0xFF bytes that show in the record if the decoder reads past the block.
CeaDataBlock decoded(const std::string &wire)
{
    Bytes b = hex(wire);
    b.resize(1 + CEA_MAX_PAYLOAD + 1, 0xFF);
    CeaDataBlock block{};
    cea_decode_data_block(b.data(), &block);
    return block;
}

// A data block encoded to wire bytes: its header and as much payload as
// the header's length says.
Bytes encoded(const CeaDataBlock &block)
{
    Bytes b(1 + CEA_MAX_PAYLOAD, 0xEE);
    cea_encode_data_block(&block, b.data());
    b.resize(1 + (b[0] & 0x1F));
    return b;
}

// A CEA block (tag 2, revision 3) holding `bytes` from offset 2 (d, the
// capability byte, the collection), followed by 128 bytes of `beyond`, or
// alone when beyond is -1.
Bytes cea_block(const std::string &bytes, int beyond)
{
    Bytes block = hex("02 03 " + bytes);
    block.resize(EDID_BLOCK_SIZE);
    block.resize(beyond < 0 ? EDID_BLOCK_SIZE : 2 * EDID_BLOCK_SIZE, uint8_t(beyond));
    return Bytes(block.begin(), block.end()); // storage of exactly that size
}

// cea_encode's block, checked for its checksum and for nothing written past
// it; `what` names the record in failure messages.
Bytes encode(const CeaExtension &cea, const char *what)
{
    Bytes out(EDID_BLOCK_SIZE + 1, 0x5A);
    cea_encode(&cea, out.data());
    EXPECT_EQ(edid_checksum(out.data()), 0) << what;
    EXPECT_EQ(out[EDID_BLOCK_SIZE], 0x5A) << what;
    return out;
}

TEST(CeaDecode, ScanOfBlocksAndTimings)
{
    using Tags = std::vector<uint8_t>;
    const std::string d0 = "00 00 " + RAW3; // d = 0, raw blocks at bytes 4 to 99
    // The bytes from offset 2 (d first); the tags of the decoded data blocks
    // in order; the number of detailed timings.
    const struct {
        const char *name;
        std::string bytes;
        Tags tags;
        uint32_t timings;
    } cases[] = {
        {"d0_empty", "00 00", {}, 0},
        {"d0_blocks_to_zero_header", "00 00 43 90 1F 04 83 01 00 00 00 " + DTD, {2, 4}, 0},
        {"d4_no_blocks_six_timings", "04 00 " + repeat(DTD, 6), {}, 6},
        // d = 1 to 3: blocks up to the end, timings from d.
        {"d1_blocks_to_128_timings_from_1", "01 00 41 90 00 " + repeat("01", 120), {2}, 6},
        {"zero_header_mid_collection", "14 00 43 90 1F 04 00 83 01 00 00", {2}, 0},
        {"tag0_with_length_is_a_block", "09 00 02 AA BB 41 90 " + DTD, {0, 2}, 1},
        {"block_past_d_decoded_whole", "06 00 44 01 02 03 04", {2}, 1},
        {"d109_one_timing", "6D 00 41 90 " + repeat("00", 103) + DTD, {2}, 1},
        {"d_above_109_no_timings", "6E 00 41 90 " + repeat("00", 104) + repeat("01", 17), {2}, 0},
        {"timing_bytes_0_1_zero", "04 00 00 00 05", {}, 1},
        {"at_most_61_blocks", "00 00 " + repeat("40", 123), Tags(CEA_MAX_DATA_BLOCKS, 2), 0},
        {"block_past_127_ends_scan", d0 + "3F", {5, 5, 5}, 0},
        {"d_above_128_to_header_128", "C8 00 " + RAW3 + RAW27, {5, 5, 5, 5}, 0},
        {"speaker_0_in_127", d0 + RAW26 + "80", {5, 5, 5, 5, 4}, 0},
        {"audio_block_ending_at_127", d0 + "3B " + repeat("09 07 07", 9), {5, 5, 5, 1}, 0},
    };
    for (const auto &c : cases) {
        // The bytes after the block (0x40 would add video blocks, 0xFF
        // speaker flags or a raw block) must not change the record.  The
        // block alone on the heap (-1) lets a sanitizer report a read past it.
        CeaExtension cea[3];
        memset(cea, 0, sizeof cea);
        for (int i = 0; int beyond : {0x40, 0xFF, -1})
            ASSERT_EQ(cea_decode(cea_block(c.bytes, beyond).data(), &cea[i++]), 0) << c.name;
        EXPECT_EQ(memcmp(&cea[0], &cea[1], sizeof cea[0]), 0) << c.name;
        Tags tags;
        for (uint32_t i = 0; i < cea[0].data_block_count; i++)
            tags.push_back(cea[0].data_blocks[i].tag);
        EXPECT_EQ(tags, c.tags) << c.name;
        EXPECT_EQ(cea[0].detailed_timing_count, c.timings) << c.name;
    }
}

// The sink decode (edid_decode_sink) reads a zero header before d as an
// empty block of tag 0 and length 0: passed over, not kept, not counted
// against the 61 slots.  cea_decode ends the collection there, and so do
// both when d is not an offset inside the block after byte 4.
TEST(CeaDecode, EmptyBlocksInSinkDecode)
{
    using Tags = std::vector<uint8_t>;
    const std::string VIDEO = "41 90 ", SPEAKERS = "83 01 00 00 ";
    // The bytes from offset 2 (d first); the tags of the data blocks that
    // cea_decode and the sink decode find.
    const struct {
        const char *name;
        std::string bytes;
        Tags tags, sink;
    } cases[] = {
        {"at_start", "07 00 00 " + VIDEO + DTD, {}, {2}},
        {"in_the_middle", "0B 00 " + VIDEO + "00 " + SPEAKERS + DTD, {2}, {2, 4}},
        {"several_in_a_row", "0D 00 " + VIDEO + "00 00 00 " + SPEAKERS + DTD, {2}, {2, 4}},
        {"last_byte_before_d", "0B 00 " + VIDEO + SPEAKERS + "00 " + DTD, {2, 4}, {2, 4}},
        {"not_counted", "7F 00 " + repeat("00 40", 61), {}, Tags(CEA_MAX_DATA_BLOCKS, 2)},
        {"capacity", "7F 00 00 " + repeat("40", 62), {}, Tags(CEA_MAX_DATA_BLOCKS, 2)},
        {"d0", "00 00 " + VIDEO + "00 " + SPEAKERS, {2}, {2}},
        {"d3", "03 00 " + VIDEO + "00 " + SPEAKERS, {2}, {2}},
        {"d4", "04 00 00 " + VIDEO + SPEAKERS, {}, {}},
        {"d200", "C8 00 " + VIDEO + "00 " + SPEAKERS, {2}, {2}},
    };
    // A base block that announces one extension; the dump ends with the
    // CEA block, so that a sanitizer reports a read past it.
    Bytes base = read_dump("base_full.hex");
    base.resize(EDID_BLOCK_SIZE);
    base[EDID_BLOCK_SIZE - 2] = 1;
    fix_checksum(base.data());
    for (const auto &c : cases) {
        Bytes block = cea_block(c.bytes, -1), dump(2 * EDID_BLOCK_SIZE);
        std::copy(base.begin(), base.end(), dump.begin());
        std::copy(block.begin(), block.end(), dump.begin() + EDID_BLOCK_SIZE);
        CeaExtension cea;
        EdidInfo sink;
        ASSERT_EQ(cea_decode(block.data(), &cea), 0) << c.name;
        ASSERT_EQ(edid_decode_sink(dump.data(), dump.size(), &sink), 0) << c.name;
        ASSERT_TRUE(sink.has_cea) << c.name;
        for (auto [by, decoded, want] : {std::tuple{"cea_decode", &cea, c.tags},
                                         std::tuple{"edid_decode_sink", &sink.cea, c.sink}}) {
            Tags tags;
            for (uint32_t i = 0; i < decoded->data_block_count; i++)
                tags.push_back(decoded->data_blocks[i].tag);
            EXPECT_EQ(tags, want) << c.name << ", " << by;
        }
        EXPECT_EQ(sink.cea.detailed_timing_count, cea.detailed_timing_count) << c.name;
    }
}

TEST(CeaEncode, Bytes)
{
    // Byte 3, the number of copies of DTD, the data blocks' wire bytes; the
    // bytes expected from offset 2.
    const struct {
        const char *name;
        std::string caps;
        uint32_t timings;
        std::vector<std::string> blocks;
        std::string expect;
    } cases[] = {
        // Basic audio; LPCM 2 channels 48/44.1/32 kHz 24/20/16 bit; FL/FR.
        {"example", "40", 0, {"23 09 07 07", "83 01 00 00"}, "0C 40 23 09 07 07 83 01 00 00 00"},
        {"empty", "00", 0, {}, "00 00 " + repeat("00", 123) + "FB"},
        {"timings_only_from_4", "FF", 2, {}, "04 FF " + repeat(DTD, 2)},
        {"timing_at_109", "00", 6, {RAW31, RAW18}, "37 00 " + RAW31 + RAW18 + repeat(DTD, 4)},
        {"tag0_size0_is_one_zero_byte", "00", 0, {"00"}, "05 00 00"},
        {"blocks_to_126_no_timing", "00", 1, {RAW31, RAW31, RAW31, RAW26}, "7F 00 " + RAW3 + RAW26},
        {"block_to_127_left_out", "00", 1, {RAW31, RAW31, RAW31, RAW27}, "64 00 " + RAW3 + DTD},
    };
    for (const auto &c : cases) {
        CeaExtension cea; // the capability bits and six copies of DTD
        Bytes block = cea_block("04 " + c.caps + " " + repeat(DTD, 6), -1);
        ASSERT_EQ(cea_decode(block.data(), &cea), 0) << c.name;
        cea.detailed_timing_count = c.timings;
        cea.data_block_count = uint32_t(c.blocks.size());
        std::transform(c.blocks.begin(), c.blocks.end(), cea.data_blocks, decoded);
        Bytes out = encode(cea, c.name), want = hex("02 03 " + c.expect);
        EXPECT_EQ(Bytes(out.begin(), out.begin() + want.size()), want) << c.name;
    }
}

// A hand-filled record whose every count and size is far above capacity:
// encoder and printers take the capacity (61 blocks, 6 timings, 31 raw
// bytes, 10 audio descriptors, 31 video descriptors, 28 vendor bytes).
TEST(CeaExtension, CountsAboveCapacityAreClamped)
{
    CeaExtension cea;
    memset(&cea, 0xFF, sizeof cea);
    for (uint32_t i = 0; i < CEA_MAX_DATA_BLOCKS; i++)
        cea.data_blocks[i].tag = uint8_t(i % 5); // raw, audio, video, vendor, speakers
    // Raw, audio and video blocks fill bytes 4 to 98; the vendor block does
    // not fit, one timing follows.
    Bytes out = encode(cea, "above capacity");
    EXPECT_EQ(Bytes({out[2], out[4], out[36], out[67]}), hex("63 1F 3E 5F"));
    // Counts and sizes are printed as the record holds them, the entries up
    // to the capacity only (a sanitizer run sees any read past it).
    std::string report = printed([&] { cea_print(&cea); });
    for (const char *text :
         {"Data blocks: 4294967295\tDetailed timings: 4294967295\n", "\t Size: 4294967295\n"})
        EXPECT_NE(report.find(text), std::string::npos) << text;
}

// Audio, vendor-specific, speaker allocation and raw data blocks: what a
// decoded block is written back as where the wire form changes or reaches
// its limits, or holds bits that must stay apart (PCM sample sizes, the WMA
// Pro profile).
TEST(DataBlock, WrittenBack)
{
    const std::string ramp28 = "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 "
                               "15 16 17 18 19 1A 1B 1C";
    const struct {
        std::string wire, written; // 0xFF bytes follow the wire bytes
    } cases[] = {
        // Audio: linear PCM 2 channels, 16-bit samples only; AC-3 at 640 kbps;
        // WMA Pro, the profile in bits 2..0 of byte 2; trailing bytes that
        // make no whole descriptor are dropped.
        {"23 09 7F 01", "23 09 7F 01"},
        {"23 15 07 50", "23 15 07 50"},
        {"23 71 06 FD", "23 71 06 05"},
        {"25 09 07 07 AA BB", "23 09 07 07"},
        // Vendor-specific: 28 payload bytes after the OUI at most; a block
        // shorter than its OUI keeps the OUI bytes it has and no payload.
        {"7F 03 0C 00 " + ramp28, "7F 03 0C 00 " + ramp28},
        {"62 03 0C", "63 03 0C 00"},
        {"61 03", "63 03 00 00"},
        {"60", "63 00 00 00"},
        // Speaker allocation: always length 3, reserved bits 0; length 0
        // takes its flags from the next byte.
        {"83 FF 12 34", "83 7F 00 00"},
        {"81 05", "83 05 00 00"},
        {"80 41", "83 41 00 00"},
        // Tags 0, 5, 6, 7: the payload as it stood, 31 bytes at most.
        {"1F " + repeat("AA", 31), "1F " + repeat("AA", 31)},
    };
    for (const auto &c : cases) EXPECT_EQ(encoded(decoded(c.wire)), hex(c.written)) << c.wire;
}

} // namespace
