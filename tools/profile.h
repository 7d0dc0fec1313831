// SPDX-License-Identifier: MIT
// profile.h - a product's device profile: a TOML file that a firmware team
// keeps in its repository, read into the library's device record
// (EdidDevice).  Format version 1.  Its keys are the record's field
// names; the device is as it is (edid_device_init) for every key left out,
// and each key given changes its own field, or its own part of the audio
// side, and nothing else:
//
//   version = 1                 required: the format of the file
//   vendor_id = "QZR"           three letters A to Z
//   product_code = 1            0 to 65535
//   serial_number = 16843009    0 to 4294967295
//   week = 1                    0 to 255
//   year = 2007                 1990 to 2245
//   name = "QzrSnd K7"          up to 13 printable ASCII characters
//   thx = true                  the THX block (edid_build --thx sets it too)
//   video_latency_ms = 20       0 to 500: the picture through the device
//   audio_latency_ms = 40       0 to 500: the sound out of the device
//   max_tmds_mhz = 300          link limits, none when left out: 25 to 340,
//   max_tmds_character_rate_mhz = 600     0 to 600,
//   max_frl_rate = 3                      0 to 6
//   [audio]                     the audio side, part by part:
//     speakers = "5.1"          replaces the default speaker allocation: a
//                               layout, speaker pairs ["FL/FR", "LFE",
//                               "FC", ...], or [] for none
//     [[audio.format]]          the formats replace the default ones (format
//                               = [] for none); one table per short audio
//                               descriptor:
//       codec = "TrueHD"        the format's term or a name people use
//                               (PCM, Dolby Digital, DD+, DTS-HD MA, DTS:X,
//                               Dolby Atmos, DSD, AAC, HE-AAC, MPEG-H, AC4...);
//                               matched whatever the case, spaces, '-',
//                               '_', '.' and ':'; some names set flags below
//       channels = 8            1 to 8 (lpcm-3d 1 to 32); none for mpeg-h,
//                               ac-4 and auro-cx, which state no count
//       rates = [44.1, 48000]   numbers in kHz (32 44.1 48 88.2 96 176.4 192)
//                               or in Hz (32000 ... 192000)
//       sample_sizes = [16, 20, 24]   (lpcm, lpcm-3d)
//       max_bitrate_kbps = 640        (ac-3, mpeg-1, mp3, mpeg-2, aac-lc, dts, atrac)
//       options = 0x03                (one-bit-audio, e-ac-3, dts-hd, mat, dst)
//       atmos = true                  (e-ac-3, mat)
//       master_audio = true  dts_x = true  (dts-hd)
//       profile = 1                   (wma-pro)
//       flags = 6                     (the other types of format 15, bits 2..0)
//     dolby_atmos = true        adds Dolby's audio block, its zones from the
//                               speakers the side presents
//     blocks = ["E3 12 00 00"]  adds these audio blocks, whole, as hex
//
// Byte 2 of the codes 9 to 13 is what the codec's name implies (DTS:X:
// Master Audio and DTS:X; Dolby Atmos: TrueHD with objects), `options`
// ORed in, then `atmos`, `master_audio` and `dts_x` each set their bit to
// their value.  The audio side is written in this order: the speaker
// allocation, the audio data blocks of the formats (ten descriptors to a
// block), Dolby's audio block, the blocks given whole.  A side that an
// EDID checker would fail (edid_device_audio_check: audio without
// 2-channel LPCM at 32, 44.1 and 48 kHz, a second speaker allocation...)
// is refused.  Any other key, a value of the wrong type or out of range,
// or a file that is not TOML is an error of one line, "FILE:LINE: KEY:
// what", which quotes the value with control characters escaped and lists
// the words accepted.  A profile is ASCII text, comments included: a byte
// above 0x7F is an error too.
#ifndef EDID_TOOLS_PROFILE_H
#define EDID_TOOLS_PROFILE_H

#include <edid/device_edid.h>

#include <string>
#include <string_view>

enum ProfileResult {
    PROFILE_OK = 0,
    PROFILE_UNREADABLE, // the file cannot be read: errno tells why
    PROFILE_INVALID     // error holds "FILE:LINE: KEY: what is wrong"
};

// Reads the profile at path into device, which starts as the device as it
// is; on PROFILE_INVALID device holds nothing useful.
ProfileResult profile_read(const char *path, EdidDevice *device, std::string *error);

// The same for profile text; path names it in the error.
ProfileResult profile_parse(std::string_view text, const char *path, EdidDevice *device,
                            std::string *error);

#endif
