// SPDX-License-Identifier: MIT
// The device record's audio side: the four ways to fill it, the rules that
// checkers apply to it, the rules the builders apply (basic audio, an
// added speaker allocation), its room, and the devices the builder
// refuses.  The shipped profiles and real receivers are checked end to end
// (device.cmake).
#include <map>

#include "device_util.h"

namespace {

using namespace device_test;

std::string side(const EdidDeviceAudio &a)
{
    return hex_of(a.blocks, a.size);
}

constexpr uint8_t BASIC = CEA_AUDIO_RATE_32 | CEA_AUDIO_RATE_44 | CEA_AUDIO_RATE_48;
constexpr uint8_t ALL_RATES = 0x7F, EXT = CEA_AUDIO_EXTENDED;
constexpr uint8_t DEPTHS = CEA_AUDIO_DEPTH_16 | CEA_AUDIO_DEPTH_20 | CEA_AUDIO_DEPTH_24;

// Short audio descriptors as receivers announce them; a side of one of
// them has basic audio only with 2-channel LPCM at 32, 44.1 and 48 kHz, and
// more than two channels add a speaker allocation.
TEST(DeviceAudio, FormatsAndWhatTheyAnnounce)
{
    const struct {
        EdidAudioFormat format;
        const char *sad;
        bool basic;
        const char *added; // the speaker allocation the builder adds, or ""
    } rows[] = {
        {{CEA_AUDIO_LPCM, 0, 2, BASIC, DEPTHS}, "09 07 07", true, ""},
        {{CEA_AUDIO_LPCM, 0, 8, ALL_RATES, DEPTHS}, "0F 7F 07", true, "83 4F 00 00"},
        {{CEA_AUDIO_LPCM, 0, 2, 0x06, DEPTHS}, "09 06 07", false, ""}, // no 32 kHz
        {{CEA_AUDIO_LPCM, 0, 1, BASIC, DEPTHS}, "08 07 07", false, ""},
        {{CEA_AUDIO_AC3, 0, 6, BASIC, 640 / 8}, "15 07 50", false, "83 0F 00 00"},
        {{CEA_AUDIO_DTS, 0, 3, BASIC, 80}, "3A 07 50", false, "83 03 00 00"},
        {{CEA_AUDIO_EAC3, 0, 8, 0x06, 1}, "57 06 01", false, "83 4F 00 00"}, // 44.1, 48 kHz
        {{CEA_AUDIO_DTS_HD, 0, 8, 0x7E, 3}, "5F 7E 03", false, "83 4F 00 00"},
        {{CEA_AUDIO_WMA_PRO, 0, 2, BASIC, 0xFF}, "71 07 07", false, ""}, // the profile, 3 bits
        {{EXT, CEA_AUDIO_EXT_LPCM_3D, 32, ALL_RATES, DEPTHS}, "FF FF 6F", false, "83 4F 00 00"},
        {{EXT, CEA_AUDIO_EXT_LPCM_3D, 10, ALL_RATES, DEPTHS}, "F9 7F 6F", false, "83 4F 00 00"},
        {{EXT, CEA_AUDIO_EXT_MPEG_H_3D, 5, ALL_RATES, 1}, "78 7F 59", false, ""}, // no count
        {{EXT, CEA_AUDIO_EXT_MPEG4_AAC_LC, 2, BASIC, 0xFE}, "79 07 36", false, ""},
        {{EXT, CEA_AUDIO_EXT_MPEG4_HE_AAC, 2, BASIC, 0}, "79 07 20", false, ""}, // lowest type
    };
    for (const auto &r : rows) {
        EdidDevice device = device_with();
        device.audio.size = 0;
        ASSERT_EQ(edid_device_audio_add_formats(&device.audio, &r.format, 1), 0) << r.sad;
        EXPECT_EQ(side(device.audio), "23 " + std::string(r.sad));
        // Video capability, colorimetry, HDMI block, audio block, the added speakers.
        const Built b = build(nullptr, device);
        EXPECT_EQ(b.out.cea.basic_audio, r.basic) << r.sad;
        EXPECT_EQ(b.blocks.size(), *r.added ? 5u : 4u) << r.sad;
        EXPECT_TRUE(!*r.added || b.blocks.back() == r.added) << r.sad;
    }
    // No audio at all: no basic audio, no blocks.
    EdidDevice none = device_with();
    none.audio.size = 0;
    const Built b = build(nullptr, none);
    EXPECT_EQ(b.out.cea.basic_audio, 0u);
    EXPECT_EQ(b.blocks.size(), 3u);
    // Eleven formats take two blocks; formats without a descriptor change nothing.
    EdidAudioFormat many[11];
    for (EdidAudioFormat &f : many) f = {CEA_AUDIO_AC3, 0, 2, BASIC, 80};
    EdidDeviceAudio a = {};
    ASSERT_EQ(edid_device_audio_add_formats(&a, many, 11), EDID_DEVICE_OK);
    EXPECT_EQ(side(a), "3E " + repeat("11 07 50", 10) + "23 11 07 50");
    const uint8_t bad[][3] = {
        {0, 0, 2},   {16, 0, 2},  {CEA_AUDIO_LPCM, 0, 0},          {CEA_AUDIO_LPCM, 0, 9},
        {EXT, 3, 2}, {EXT, 9, 2}, {EXT, CEA_AUDIO_EXT_LPCM_3D, 33}};
    for (const auto &f : bad) {
        const EdidAudioFormat format = {f[0], f[1], f[2], BASIC, DEPTHS};
        EXPECT_EQ(edid_device_audio_add_formats(&a, &format, 1), EDID_DEVICE_BAD_FORMAT);
        EXPECT_EQ(a.size, 35u);
    }
}

// Speaker layouts, each kept whole in the EDID (the records would drop
// bits of some); Dolby's block with its zones; whole blocks of audio kinds.
TEST(DeviceAudio, SpeakersLayoutsAndBlocks)
{
    const struct {
        const char *layout, *block;
    } rows[] = {
        {"2.0", "83 01 00 00"},   {"5.1", "83 0F 00 00"},   {"7.1", "83 4F 00 00"},
        {"5.1.2", "83 0F 01 00"}, {"7.1.4", "83 4F 01 01"}, {"9.1.6", "83 CF 81 01"},
    };
    for (const auto &r : rows) {
        EdidDevice device = device_with();
        device.audio.size = 0;
        edid_device_audio_add_speakers(&device.audio, edid_speaker_layout(r.layout));
        EXPECT_EQ(side(device.audio), r.block) << r.layout;
        EXPECT_EQ(build(nullptr, device).blocks.back(), r.block) << r.layout;
    }
    EXPECT_EQ(edid_speaker_layout("7.1.5"), 0u);
    EdidDeviceAudio a = {};
    edid_device_audio_add_dolby_atmos(&a, edid_speaker_layout("7.1.4"));
    edid_device_audio_add_dolby_atmos(&a, edid_speaker_layout("2.0"));
    EXPECT_EQ(side(a), "E6 11 46 D0 00 70 00 E6 11 46 D0 00 00 00");
    EXPECT_EQ(edid_device_audio_add_block(&a, hex("E3 13 00 00").data(), 4), EDID_DEVICE_OK);
    for (const char *other : {"E3 05 C0 00", "43 01 02 03", "23 09 07"}) { // video, a cut block
        const Bytes b = hex(other);
        EXPECT_EQ(edid_device_audio_add_block(&a, b.data(), b.size()), EDID_DEVICE_NOT_AUDIO);
    }
    EXPECT_EQ(a.size, 18u);
}

// A receiver's audio blocks, byte for byte and in order, only from the CEA
// block that the sink decode decodes; refusals leave the side as it was.
TEST(DeviceAudio, FromAnEdid)
{
    const Bytes denon = read_dump("real/avr-denon-x2300w-below-lg-oled55b6v.bin");
    const auto from = [](const Bytes &dump, EdidDeviceAudio *a) {
        return edid_device_audio_from_edid(dump.data(), dump.size(), a);
    };
    EdidDeviceAudio a;
    const std::string DENON = "35 0F 7F 07 3D 1E C0 15 07 50 5F 7E 03 57 06 03 67 7E 03 5F 7E 01 "
                              "83 5F 00 00 E6 11 46 D0 00 70 00";
    ASSERT_EQ(from(denon, &a), EDID_DEVICE_OK);
    EXPECT_EQ(side(a), DENON);

    // Not from a CEA block of another revision, nor from a DisplayID block
    // that a block map names as CEA (here holding the Denon's data blocks).
    Bytes revision_1 = denon, mapped(denon.begin(), denon.begin() + EDID_BLOCK_SIZE), map(128);
    revision_1[EDID_BLOCK_SIZE + 1] = 1;
    fix_checksum(&revision_1[EDID_BLOCK_SIZE]);
    mapped[126] = 2;
    map[0] = 0xF0;
    map[1] = CEA_EXTENSION_TAG;
    mapped.insert(mapped.end(), map.begin(), map.end());
    mapped.insert(mapped.end(), denon.begin() + EDID_BLOCK_SIZE, denon.end());
    mapped[2 * EDID_BLOCK_SIZE] = 0x70; // DisplayID
    for (int b = 0; b < 3; ++b) fix_checksum(&mapped[b * EDID_BLOCK_SIZE]);
    for (const Bytes *dump : {&revision_1, &mapped}) {
        EdidDeviceAudio none;
        ASSERT_EQ(from(*dump, &none), EDID_DEVICE_OK);
        EXPECT_EQ(none.size, 0u) << side(none);
        EdidInfo sink;
        ASSERT_EQ(edid_decode_sink(dump->data(), dump->size(), &sink), EDID_DECODE_OK);
        EXPECT_FALSE(sink.has_cea);
    }

    // 26 audio blocks of 3 descriptors: 260 bytes, more than the side holds.
    Bytes big = read_dump("real/tv-lg-oled55b6v.bin"), bad = denon;
    const Bytes sads = hex(repeat("29 09 07 07 15 07 50 3D 07 50", 12));
    std::copy(sads.begin(), sads.end(), &big[EDID_BLOCK_SIZE + 4]);
    big[EDID_BLOCK_SIZE + 2] = uint8_t(4 + sads.size());
    fix_checksum(&big[EDID_BLOCK_SIZE]);
    bad[127] ^= 1;
    EXPECT_EQ(from(big, &a), EDID_DEVICE_AUDIO_TOO_LARGE);
    EXPECT_EQ(from(bad, &a), EDID_DECODE_BAD_CHECKSUM);
    EXPECT_EQ(side(a), DENON);
}

// Sides that edid-decode --check fails, each for one rule, beside the
// nearest side it passes (data/device_rows.txt).
TEST(DeviceAudio, CheckOfTheRulesCheckersApply)
{
    const std::map<std::string, int> results = {
        {"OK", EDID_DEVICE_OK},
        {"AUDIO_NO_BASIC", EDID_DEVICE_AUDIO_NO_BASIC},
        {"BAD_FORMAT", EDID_DEVICE_BAD_FORMAT},
        {"AUDIO_SHORT_BLOCK", EDID_DEVICE_AUDIO_SHORT_BLOCK},
        {"NOT_AUDIO", EDID_DEVICE_NOT_AUDIO},
        {"AUDIO_REPEATED", EDID_DEVICE_AUDIO_REPEATED},
        {"AUDIO_UNPAIRED", EDID_DEVICE_AUDIO_UNPAIRED}};
    for (const auto &row : table("device_rows.txt", "audio_check")) {
        EdidDeviceAudio a = {};
        const Bytes bytes = hex(row.at(0));
        std::copy(bytes.begin(), bytes.end(), a.blocks);
        a.size = uint32_t(bytes.size());
        EXPECT_EQ(edid_device_audio_check(&a), results.at(row.at(1))) << row[0];
    }
}

// edid_device_build refuses a device it cannot present, with the output
// and the left-out summary untouched: vendor letters, a side too large,
// cut short, of video; 8-channel audio needs the 4 bytes of an added
// speaker allocation: a side of 73 bytes fits, one of 77 (the side full)
// does not.
TEST(DeviceAudio, RefusedDevices)
{
    EdidDevice d[5];
    for (EdidDevice &x : d) x = device_with();
    memcpy(d[0].vendor_id, "Q1R", 3);
    d[1].audio.size = EDID_DEVICE_AUDIO_BYTES + 1;
    d[2].audio.size = 3;
    d[3].audio = {2, {0x41, 0x10}};
    d[4].audio = {4, {0x23, 0x0F, 0x07, 0x07}};
    const Bytes vendor_audio = hex("FF 11" + repeat("00", 30));
    for (int i = 0; i < 2; ++i) edid_device_audio_add_block(&d[4].audio, vendor_audio.data(), 32);
    edid_device_audio_add_block(&d[4].audio, hex("E4 11 00 00 00").data(), 5);
    EXPECT_EQ(edid_device_check(&d[4]), EDID_DEVICE_OK);
    EXPECT_EQ(edid_device_audio_add_block(&d[4].audio, hex("E3 11 00 00").data(), 4), 0);
    const int results[] = {EDID_DEVICE_BAD_VENDOR, EDID_DEVICE_AUDIO_TOO_LARGE,
                           EDID_DEVICE_NOT_AUDIO, EDID_DEVICE_NOT_AUDIO,
                           EDID_DEVICE_AUDIO_TOO_LARGE};
    static EdidInfo sink, out, before; // sink: no CEA block
    EdidLeftOut left, left_before;
    memset(&out, 0x5A, sizeof out);
    memset(&left, 0x5A, sizeof left);
    before = out;
    left_before = left;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(edid_device_check(&d[i]), results[i]);
        EXPECT_EQ(edid_device_build(&d[i], &sink, 3, &out, &left), results[i]);
        EXPECT_EQ(edid_device_build(&d[i], nullptr, 3, &out, &left), results[i]);
    }
    EXPECT_EQ(memcmp(&out, &before, sizeof out), 0);
    EXPECT_EQ(memcmp(&left, &left_before, sizeof left), 0);
}

} // namespace
