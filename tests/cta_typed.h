// SPDX-License-Identifier: MIT
// cta_typed.h - helpers of the tests of the typed data block codecs
// (cta_hdmi.h, cta_colour.h): each kind's decoder, encoder and printer
// behind one switch on the kind, the data blocks of the real EDIDs of
// data/real, and golden report files.
#ifndef EDID_TESTS_CTA_TYPED_H
#define EDID_TESTS_CTA_TYPED_H

#include <edid/cta_colour.h>
#include <edid/cta_hdmi.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string.h>

#include "edid/cea.h"
#include "test_util.h"

namespace cta_typed {

using namespace test_util;

// What one block's typed codec made of it.
struct Coded {
    bool typed = false; // the kind has a typed codec here
    Bytes record;       // the decoded record's bytes
    Bytes encoded;      // header and payload; empty when the encoder refused
    std::string report; // the printer's lines
};

// The block decoded from wire (header first) with poison bytes after it up
// to 64, printed and encoded.
template <class R>
Coded run_codec(const Bytes &wire, uint8_t poison, void (*decode)(const uint8_t *, R *),
                uint32_t (*encode)(const R *, uint8_t *), void (*print)(const R *))
{
    Bytes in = wire;
    in.resize(64, poison);
    R r;
    memset(&r, 0x5A, sizeof r);
    decode(in.data(), &r);
    Coded out;
    out.typed = true;
    out.record.assign(reinterpret_cast<const uint8_t *>(&r),
                      reinterpret_cast<const uint8_t *>(&r) + sizeof r);
    out.report = printed([&] { print(&r); });
    Bytes enc(64, 0xEE);
    const uint32_t n = encode(&r, enc.data());
    if (n) enc.resize(n);
    out.encoded = n ? enc : Bytes();
    if (!n) {
        EXPECT_EQ(enc, Bytes(64, 0xEE)) << "a refusing encoder wrote";
    }
    return out;
}

// The kind's codec run on wire: cea_decode_NAME, cea_print_NAME and
// cea_encode_NAME on a record of type R.
#define CTA_TYPED_KIND(kind, R, name)                                                              \
    case kind:                                                                                     \
        return run_codec<R>(wire, poison, cea_decode_##name, cea_encode_##name, cea_print_##name);

inline Coded run(const Bytes &wire, uint8_t poison = 0xFF)
{
    switch (cea_block_kind(wire.data())) {
        CTA_TYPED_KIND(CEA_KIND_HDMI, CeaHdmiBlock, hdmi_block)
        CTA_TYPED_KIND(CEA_KIND_HDMI_FORUM, CeaHdmiForumBlock, hdmi_forum_block)
        CTA_TYPED_KIND(CEA_KIND_HDMI_FORUM_SINK_CAPABILITY, CeaHdmiForumBlock,
                       hdmi_forum_sink_capability)
        CTA_TYPED_KIND(CEA_KIND_HDMI_FORUM_EEODB, CeaEdidOverride, edid_override)
        CTA_TYPED_KIND(CEA_KIND_AMD, CeaAmdBlock, amd_block)
        CTA_TYPED_KIND(CEA_KIND_VIDEO_CAPABILITY, CeaVideoCapability, video_capability)
        CTA_TYPED_KIND(CEA_KIND_COLORIMETRY, CeaColorimetry, colorimetry)
        CTA_TYPED_KIND(CEA_KIND_HDR_STATIC_METADATA, CeaHdrStaticMetadata, hdr_static_metadata)
        CTA_TYPED_KIND(CEA_KIND_HDR_DYNAMIC_METADATA, CeaHdrDynamicMetadata, hdr_dynamic_metadata)
        CTA_TYPED_KIND(CEA_KIND_VENDOR_VIDEO, CeaVendorVideo, vendor_video)
    default: return Coded();
    }
}

// The names of the set flags, in the order given, blank-separated:
// names(flag, "name", flag, "name"...).
inline std::string names()
{
    return "";
}
template <class... Rest>
std::string names(int set, const char *name, Rest... rest)
{
    const std::string tail = names(rest...);
    return set ? name + (tail.empty() ? "" : " " + tail) : tail;
}

// token after s, blank-separated; nothing for an empty token.
inline void add(std::string &s, const std::string &token)
{
    if (!token.empty()) s += (s.empty() ? "" : " ") + token;
}

// A record of type R decoded from hex text, poison 0xFF after the block.
template <class R>
R decode(void (*decoder)(const uint8_t *, R *), const std::string &wire)
{
    Bytes in = hex(wire);
    in.resize(64, 0xFF);
    R r;
    decoder(in.data(), &r);
    return r;
}

// Every data block of the CEA blocks of the EDIDs of data/ (the real ones
// of data/real and the hex files that read), with the file's name, in file
// and collection order.
struct TestBlock {
    std::string file;
    Bytes wire;
};

inline std::vector<TestBlock> test_blocks()
{
    std::vector<TestBlock> blocks;
    std::vector<std::string> files;
    for (const char *dir : {"", "real/"})
        for (const auto &e :
             std::filesystem::directory_iterator(EDID_TEST_DATA_DIR "/" + std::string(dir)))
            if (e.path().extension() == ".bin" || e.path().extension() == ".hex")
                files.push_back(dir + e.path().filename().string());
    std::sort(files.begin(), files.end());
    static DumpFile dump;
    for (const auto &name : files) {
        const std::string path = EDID_TEST_DATA_DIR "/" + name;
        if (dump_file_read(path.c_str(), &dump) != DUMP_FILE_OK) continue;
        for (size_t at = EDID_BLOCK_SIZE; at + EDID_BLOCK_SIZE <= dump.length;
             at += EDID_BLOCK_SIZE) {
            const uint8_t *block = dump.bytes + at;
            if (block[0] != CEA_EXTENSION_TAG) continue;
            auto walk = edid_cea::walk(block, edid_cea::ZeroHeader::EMPTY_BLOCK);
            uint32_t offset, span;
            while (edid_cea::next(&walk, &offset, &span))
                blocks.push_back({name, Bytes(block + offset, block + offset + span)});
        }
    }
    return blocks;
}

// text against the golden file data/name; EDID_UPDATE_GOLDEN=1 writes it.
inline void expect_golden(const std::string &name, const std::string &text)
{
    const std::string path = EDID_TEST_DATA_DIR "/" + name;
    if (getenv("EDID_UPDATE_GOLDEN")) std::ofstream(path) << text;
    std::ifstream in(path);
    std::stringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(text, golden.str()) << "report differs from " << path;
}

} // namespace cta_typed

#endif
