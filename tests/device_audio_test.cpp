// SPDX-License-Identifier: MIT
// The device record's audio side: the four ways to fill it, the rules the
// builders apply to it (basic audio, an added speaker allocation), its
// room, and the builder on a device record.  The shipped profiles
// and real receivers are checked end to end (device.cmake).
#include <string.h>

#include "cea_util.h"
#include "test_util.h"
#include <edid/device_edid.h>

namespace {

using namespace test_util;

std::string side(const EdidDeviceAudio &a)
{
    return hex_of(a.blocks, a.size);
}

// The data blocks of an encoded device EDID's CEA block, in hex.
std::vector<std::string> cea_blocks(const EdidInfo &edid)
{
    uint8_t bytes[2 * EDID_BLOCK_SIZE];
    edid_encode(&edid, bytes);
    std::vector<std::string> blocks;
    const uint8_t *cea = bytes + EDID_BLOCK_SIZE;
    for (unsigned at = 4; at < cea[2]; at += 1 + (cea[at] & 0x1F))
        blocks.push_back(hex_of(cea + at, 1 + (cea[at] & 0x1F)));
    return blocks;
}

constexpr uint8_t BASIC = CEA_AUDIO_RATE_32 | CEA_AUDIO_RATE_44 | CEA_AUDIO_RATE_48;
constexpr uint8_t ALL_RATES = 0x7F;
constexpr uint8_t DEPTHS = CEA_AUDIO_DEPTH_16 | CEA_AUDIO_DEPTH_20 | CEA_AUDIO_DEPTH_24;

// Short audio descriptors as receivers announce them.
TEST(DeviceAudio, FormatsAsShortAudioDescriptors)
{
    const struct {
        EdidAudioFormat format;
        const char *sad;
    } cases[] = {
        {{CEA_AUDIO_LPCM, 0, 8, ALL_RATES, DEPTHS}, "0F 7F 07"},
        {{CEA_AUDIO_AC3, 0, 6, BASIC, 640 / 8}, "15 07 50"},
        {{CEA_AUDIO_EAC3, 0, 8, CEA_AUDIO_RATE_44 | CEA_AUDIO_RATE_48, 1}, "57 06 01"},
        {{CEA_AUDIO_DTS_HD, 0, 8, 0x7E, 3}, "5F 7E 03"},
        {{CEA_AUDIO_WMA_PRO, 0, 2, BASIC, 0xFF}, "71 07 07"}, // the profile, 3 bits
        {{CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_LPCM_3D, 32, ALL_RATES, DEPTHS}, "FF FF 6F"},
        {{CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_LPCM_3D, 10, ALL_RATES, DEPTHS}, "F9 7F 6F"},
        {{CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG_H_3D, 5, ALL_RATES, 1}, "78 7F 59"},
        {{CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_AAC_LC, 2, BASIC, 0xFE}, "79 07 36"},
        {{CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_MPEG4_HE_AAC, 2, BASIC, 0}, "79 07 20"}, // lowest type
    };
    for (const auto &c : cases) {
        EdidDeviceAudio a = {};
        ASSERT_EQ(edid_device_audio_add_formats(&a, &c.format, 1), EDID_DEVICE_OK) << c.sad;
        EXPECT_EQ(side(a), "23 " + std::string(c.sad));
    }
    // Eleven formats take two blocks; formats without a descriptor change nothing.
    EdidAudioFormat many[11];
    for (EdidAudioFormat &f : many) f = {CEA_AUDIO_AC3, 0, 2, BASIC, 80};
    EdidDeviceAudio a = {};
    ASSERT_EQ(edid_device_audio_add_formats(&a, many, 11), EDID_DEVICE_OK);
    EXPECT_EQ(side(a), "3E " + cea_test::repeat("11 07 50", 10) + "23 11 07 50");
    const EdidAudioFormat bad[] = {
        {0, 0, 2, BASIC, 0},
        {16, 0, 2, BASIC, 0},
        {CEA_AUDIO_LPCM, 0, 0, BASIC, DEPTHS},
        {CEA_AUDIO_LPCM, 0, 9, BASIC, DEPTHS},
        {CEA_AUDIO_EXTENDED, 3, 2, BASIC, 0},
        {CEA_AUDIO_EXTENDED, 9, 2, BASIC, 0},
        {CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_LPCM_3D, 33, BASIC, 0},
    };
    for (const EdidAudioFormat &f : bad) {
        EXPECT_EQ(edid_device_audio_add_formats(&a, &f, 1), EDID_DEVICE_BAD_FORMAT);
        EXPECT_EQ(a.size, 35u);
    }
}

TEST(DeviceAudio, SpeakersLayoutsAndBlocks)
{
    const struct {
        const char *layout;
        const char *block;
    } cases[] = {
        {"2.0", "83 01 00 00"},   {"5.1", "83 0F 00 00"},   {"7.1", "83 4F 00 00"},
        {"5.1.2", "83 0F 01 00"}, {"7.1.4", "83 4F 01 01"}, {"9.1.6", "83 CF 81 01"},
    };
    for (const auto &c : cases) {
        EdidDeviceAudio a = {};
        edid_device_audio_add_speakers(&a, edid_speaker_layout(c.layout));
        EXPECT_EQ(side(a), c.block) << c.layout;
    }
    EXPECT_EQ(edid_speaker_layout("7.1.5"), 0u);
    // Dolby's audio block, zones from the speakers.
    EdidDeviceAudio a = {};
    edid_device_audio_add_dolby_atmos(&a, edid_speaker_layout("7.1.4"));
    edid_device_audio_add_dolby_atmos(&a, edid_speaker_layout("2.0"));
    EXPECT_EQ(side(a), "E6 11 46 D0 00 70 00 E6 11 46 D0 00 00 00");
    // Whole blocks: audio kinds only, the length as the header says.
    EXPECT_EQ(edid_device_audio_add_block(&a, hex("E3 13 00 00").data(), 4), EDID_DEVICE_OK);
    EXPECT_EQ(edid_device_audio_add_block(&a, hex("E3 05 C0 00").data(), 4), EDID_DEVICE_NOT_AUDIO);
    EXPECT_EQ(edid_device_audio_add_block(&a, hex("43 01 02 03").data(), 4), EDID_DEVICE_NOT_AUDIO);
    EXPECT_EQ(edid_device_audio_add_block(&a, hex("23 09 07").data(), 3), EDID_DEVICE_NOT_AUDIO);
    EXPECT_EQ(a.size, 18u);
}

// A receiver's audio blocks, byte for byte and in order, wherever its CEA
// block is; refusals leave the side as it was.
TEST(DeviceAudio, FromAnEdid)
{
    const Bytes denon = read_dump("real/avr-denon-x2300w-below-lg-oled55b6v.bin");
    EdidDeviceAudio a;
    ASSERT_EQ(edid_device_audio_from_edid(denon.data(), denon.size(), &a), EDID_DEVICE_OK);
    EXPECT_EQ(side(a), "35 0F 7F 07 3D 1E C0 15 07 50 5F 7E 03 57 06 03 67 7E 03 5F 7E 01 "
                       "83 5F 00 00 E6 11 46 D0 00 70 00");
    const Bytes msi = read_dump("real/monitor-msi-meg342c-cea-then-displayid.bin");
    ASSERT_EQ(edid_device_audio_from_edid(msi.data(), msi.size(), &a), EDID_DEVICE_OK);
    EXPECT_EQ(side(a), "23 09 07 07 83 01 00 00");

    // Only from the CEA block that the sink decode decodes: not from a CEA
    // block of another revision, nor from a DisplayID block that a block map
    // names as CEA (here holding the Denon's data blocks).
    Bytes revision_1 = denon;
    revision_1[EDID_BLOCK_SIZE + 1] = 1;
    fix_checksum(&revision_1[EDID_BLOCK_SIZE]);
    Bytes mapped(denon.begin(), denon.begin() + EDID_BLOCK_SIZE);
    mapped[126] = 2;
    fix_checksum(mapped.data());
    Bytes map(EDID_BLOCK_SIZE, 0);
    map[0] = 0xF0;
    map[1] = CEA_EXTENSION_TAG;
    fix_checksum(map.data());
    mapped.insert(mapped.end(), map.begin(), map.end());
    mapped.insert(mapped.end(), denon.begin() + EDID_BLOCK_SIZE, denon.end());
    mapped[2 * EDID_BLOCK_SIZE] = 0x70; // DisplayID
    fix_checksum(&mapped[2 * EDID_BLOCK_SIZE]);
    for (const Bytes *dump : {&revision_1, &mapped}) {
        EdidDeviceAudio none;
        ASSERT_EQ(edid_device_audio_from_edid(dump->data(), dump->size(), &none), EDID_DEVICE_OK);
        EXPECT_EQ(none.size, 0u) << side(none);
        EdidInfo sink;
        ASSERT_EQ(edid_decode_sink(dump->data(), dump->size(), &sink), EDID_DECODE_OK);
        EXPECT_FALSE(sink.has_cea);
    }

    // 26 audio blocks of 3 descriptors: 260 bytes, more than the side holds.
    Bytes big = read_dump("real/tv-lg-oled55b6v.bin");
    uint8_t *cea = &big[EDID_BLOCK_SIZE];
    const Bytes sads = hex(cea_test::repeat("29 09 07 07 15 07 50 3D 07 50", 12));
    memcpy(cea + 4, sads.data(), sads.size());
    cea[2] = uint8_t(4 + sads.size());
    fix_checksum(cea);
    Bytes bad = denon;
    bad[127] ^= 1;
    const struct {
        const Bytes *dump;
        int result;
    } refusals[] = {{&big, EDID_DEVICE_AUDIO_TOO_LARGE}, {&bad, EDID_DECODE_BAD_CHECKSUM}};
    for (const auto &r : refusals) {
        EXPECT_EQ(edid_device_audio_from_edid(r.dump->data(), r.dump->size(), &a), r.result);
        EXPECT_EQ(side(a), "23 09 07 07 83 01 00 00");
    }
}

// Sides that edid-decode --check fails, each for one rule, beside the
// nearest side it passes.
TEST(DeviceAudio, CheckOfTheRulesCheckersApply)
{
    const std::string basic = "23 09 07 07 "; // 2-channel LPCM at 32, 44.1 and 48 kHz
    const std::string room = "EB 13 60 00 00 00 00 00 00 00 00 00 "; // SLD bit, 1 speaker
    const std::string room_alone = "EB 13 40 00 00 00 00 00 00 00 00 00 ";
    const struct {
        std::string side;
        int result;
    } cases[] = {
        {"", EDID_DEVICE_OK},
        {basic + "83 0F 00 00 E6 11 46 D0 00 70 00", EDID_DEVICE_OK},
        {"83 0F 00 00", EDID_DEVICE_AUDIO_NO_BASIC},  // speakers without formats
        {"E6 11 46 D0 00 70 00", EDID_DEVICE_AUDIO_NO_BASIC},
        {"23 15 07 50", EDID_DEVICE_AUDIO_NO_BASIC},  // AC-3 alone
        {"23 09 06 07", EDID_DEVICE_AUDIO_NO_BASIC},  // LPCM without 32 kHz
        {"23 08 07 07", EDID_DEVICE_AUDIO_NO_BASIC},  // LPCM with 1 channel
        {basic + "22 09 07", EDID_DEVICE_AUDIO_SHORT_BLOCK},
        {basic + "82 01 00", EDID_DEVICE_AUDIO_SHORT_BLOCK},
        {basic + "E3 11 46 D0", EDID_DEVICE_AUDIO_SHORT_BLOCK},
        {basic + "E2 12 00", EDID_DEVICE_AUDIO_SHORT_BLOCK},
        {basic + "E3 12 00 00", EDID_DEVICE_OK},
        {basic + "E4 13 4F 00 00", EDID_DEVICE_AUDIO_SHORT_BLOCK},
        {basic + "E5 13 4F 00 00 00", EDID_DEVICE_OK},
        {basic + "E2 14 20", EDID_DEVICE_AUDIO_SHORT_BLOCK},
        {basic + "23 00 07 07", EDID_DEVICE_BAD_FORMAT},
        {basic + "23 79 07 18", EDID_DEVICE_BAD_FORMAT}, // extension type 3
        {basic + "23 79 07 20", EDID_DEVICE_OK},         // 4, MPEG-4 HE-AAC
        {basic + "83 01 00 00 83 01 00 00", EDID_DEVICE_AUDIO_REPEATED},
        {basic + "E3 12 00 00 E3 12 00 00", EDID_DEVICE_AUDIO_REPEATED},
        {basic + room_alone + room_alone, EDID_DEVICE_AUDIO_REPEATED},
        {basic + room_alone, EDID_DEVICE_OK},
        {basic + room + "E3 14 20 01", EDID_DEVICE_OK},
        {basic + room, EDID_DEVICE_AUDIO_UNPAIRED},
        {basic + room_alone + "E3 14 20 01", EDID_DEVICE_AUDIO_UNPAIRED},
        {basic + "E3 14 20 01", EDID_DEVICE_AUDIO_UNPAIRED},
        {basic + "E3 05 C0 00", EDID_DEVICE_NOT_AUDIO},
    };
    for (const auto &c : cases) {
        EdidDeviceAudio a = {};
        const Bytes bytes = hex(c.side);
        memcpy(a.blocks, bytes.data(), bytes.size());
        a.size = uint32_t(bytes.size());
        EXPECT_EQ(edid_device_audio_check(&a), c.result) << c.side;
    }
}

// basic_audio and the added speaker allocation follow what the side announces.
TEST(DeviceAudio, RulesOnTheAudioSide)
{
    const struct {
        EdidAudioFormat format;
        bool basic;
        const char *added; // the speaker allocation the builder adds, or ""
    } cases[] = {
        {{CEA_AUDIO_LPCM, 0, 2, BASIC, DEPTHS}, true, ""},
        {{CEA_AUDIO_LPCM, 0, 8, BASIC, DEPTHS}, true, "83 4F 00 00"},
        {{CEA_AUDIO_LPCM, 0, 2, CEA_AUDIO_RATE_44 | CEA_AUDIO_RATE_48, DEPTHS}, false, ""},
        {{CEA_AUDIO_LPCM, 0, 1, BASIC, DEPTHS}, false, ""},
        {{CEA_AUDIO_AC3, 0, 6, BASIC, 80}, false, "83 0F 00 00"},
        {{CEA_AUDIO_DTS, 0, 3, BASIC, 80}, false, "83 03 00 00"},
        {{CEA_AUDIO_EXTENDED, CEA_AUDIO_EXT_LPCM_3D, 24, BASIC, DEPTHS}, false, "83 4F 00 00"},
    };
    EdidDevice device;
    edid_device_init(&device);
    EdidInfo out;
    for (const auto &c : cases) {
        device.audio.size = 0;
        edid_device_audio_add_formats(&device.audio, &c.format, 1);
        ASSERT_EQ(edid_device_build(&device, nullptr, 1, &out, nullptr), EDID_DEVICE_OK);
        EXPECT_EQ(out.cea.basic_audio, c.basic) << side(device.audio);
        // Video capability, colorimetry, HDMI block, audio block, the added speakers.
        const std::vector<std::string> blocks = cea_blocks(out);
        EXPECT_EQ(blocks.size(), *c.added ? 5u : 4u) << side(device.audio);
        EXPECT_EQ(blocks.back(), *c.added ? c.added : blocks.back());
    }
    // No audio at all: no basic audio, no blocks.
    device.audio.size = 0;
    edid_device_build(&device, nullptr, 1, &out, nullptr);
    EXPECT_EQ(out.cea.basic_audio, 0u);
    EXPECT_EQ(cea_blocks(out).size(), 3u);
}

// edid_device_build refuses a device it cannot present, with the output
// and the left-out summary untouched; a block the records cannot hold bit
// for bit is kept whole.
TEST(DeviceAudio, BuilderOnADeviceRecord)
{
    EdidDevice device;
    edid_device_init(&device);
    static EdidInfo a, b, sink; // sink: no CEA block
    EdidLeftOut left;
    memset(&left, 0x5A, sizeof left);
    const EdidLeftOut left_before = left;
    EdidDevice refused = device;
    memcpy(refused.vendor_id, "Q1R", 3);
    memset(&b, 0x5A, sizeof b);
    const EdidInfo before = b;
    EXPECT_EQ(edid_device_build(&refused, &sink, 3, &b, &left), EDID_DEVICE_BAD_VENDOR);
    refused = device;
    refused.audio.size = EDID_DEVICE_AUDIO_BYTES + 1;
    EXPECT_EQ(edid_device_build(&refused, &sink, 3, &b, &left), EDID_DEVICE_AUDIO_TOO_LARGE);
    refused.audio.size = 3; // a block cut short
    EXPECT_EQ(edid_device_build(&refused, nullptr, 3, &b, &left), EDID_DEVICE_NOT_AUDIO);
    refused.audio = {2, {0x41, 0x10}}; // a whole block, of video
    EXPECT_EQ(edid_device_build(&refused, nullptr, 3, &b, &left), EDID_DEVICE_NOT_AUDIO);
    // 8-channel audio needs the 4 bytes of an added speaker allocation: a
    // side of 73 bytes fits, one of 77 (the side full) does not.
    refused.audio.size = 0;
    const EdidAudioFormat f = {CEA_AUDIO_LPCM, 0, 8, BASIC, DEPTHS};
    edid_device_audio_add_formats(&refused.audio, &f, 1);
    const Bytes vendor_audio = hex("FF 11" + cea_test::repeat("00", 30));
    for (int i = 0; i < 2; ++i)
        edid_device_audio_add_block(&refused.audio, vendor_audio.data(), 32);
    edid_device_audio_add_block(&refused.audio, hex("E4 11 00 00 00").data(), 5);
    EXPECT_EQ(edid_device_check(&refused), EDID_DEVICE_OK);
    EXPECT_EQ(edid_device_audio_add_block(&refused.audio, hex("E3 11 00 00").data(), 4),
              EDID_DEVICE_OK);
    EXPECT_EQ(edid_device_check(&refused), EDID_DEVICE_AUDIO_TOO_LARGE);
    EXPECT_EQ(memcmp(&b, &before, sizeof b), 0);
    EXPECT_EQ(memcmp(&left, &left_before, sizeof left), 0);

    device.audio.size = 0;
    edid_device_audio_add_speakers(&device.audio, edid_speaker_layout("7.1.4"));
    ASSERT_EQ(edid_device_build(&device, nullptr, 3, &a, nullptr), EDID_DEVICE_OK);
    const CeaDataBlock &speakers = a.cea.data_blocks[3];
    EXPECT_EQ(speakers.tag, CEA_TAG_WHOLE | CEA_TAG_SPEAKER);
    EXPECT_EQ(cea_blocks(a)[3], "83 4F 01 01");
    EXPECT_EQ(printed([&] { cea_print_data_block(&speakers); }),
              "Datablock: 4 Speaker configuration data block\n"
              "Speaker configuration: FL/FR LFE FC RL/RR RLC/RRC\n");
}

} // namespace
