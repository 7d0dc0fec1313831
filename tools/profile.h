// SPDX-License-Identifier: MIT
// profile.h - a product's device profile: a TOML file that a firmware team
// keeps in its repository, read into the library's device record
// (EdidDevice).  The file's keys, with the device as it is for every key
// left out (edid_device_init):
//
//   [identity]   vendor = "QZR"  product = 1  serial = 16843009  week = 1
//                year = 2007  name = "QzrSnd K7"  (up to 13 characters)
//   [audio]      the whole audio side, when the table is there:
//                speakers = "5.1" (a layout) or ["FL/FR", "LFE", "FC", ...]
//                dolby_atmos = true (Dolby's audio block, zones from the speakers)
//                thx = true (the THX block)
//                blocks = ["E6 11 46 D0 00 70 00"] (audio blocks kept whole, hex)
//                [[audio.format]] one table per short audio descriptor:
//                  codec = "lpcm"  channels = 8  rates = [32, 44.1, 48]
//                  sample_sizes = [16, 20, 24]   (lpcm, lpcm-3d)
//                  max_bitrate_kbps = 640        (ac-3, mpeg-1, mp3, mpeg-2, aac-lc, dts, atrac)
//                  atmos = true                  (e-ac-3, mat)
//                  master_audio = true  dts_x = true  (dts-hd)
//                  options = 0x03                (one-bit-audio, e-ac-3, dts-hd, mat, dst)
//                  profile = 1                   (wma-pro)
//                  flags = 6                     (the types of format 15, byte 2 bits 2..0)
//   [latency]    video_ms = 20  audio_ms = 40  (0 to 500)
//   [link]       max_tmds_mhz = 300  max_tmds_character_rate_mhz = 600  max_frl_rate = 3
//
// The audio side is written in this order: the speaker allocation, the
// audio data blocks of the formats (ten descriptors to a block), Dolby's
// audio block, the blocks kept whole.  Any other key, a value of the wrong
// type or out of range, or a file that is not TOML is an error that names
// the file, the line and the key.  A profile is ASCII text, comments
// included: a byte above 0x7F is an error too.
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
