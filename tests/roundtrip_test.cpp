// SPDX-License-Identifier: MIT
// Round trips of the encoder as properties: decode -> encode -> decode over
// every EDID of the test data (the fuzz target fuzz_edid_roundtrip tries
// the same property on mutated dumps).
#include "test_util.h"

#include <dirent.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include <edid/edid.h>

#include "tools/dump_file.h"

using test_util::Bytes;
using test_util::printed;

namespace {

Bytes read_dump(const std::string &path)
{
    static DumpFile dump;
    EXPECT_EQ(dump_file_read(path.c_str(), &dump), DUMP_FILE_OK) << path;
    return Bytes(dump.bytes, dump.bytes + dump.length);
}

std::vector<std::string> data_files()
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(EDID_TEST_DATA_DIR)) {
        while (dirent *e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".hex") == 0) names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

Bytes encoded(const EdidInfo &info)
{
    Bytes out(2 * EDID_BLOCK_SIZE, 0xEE);
    edid_encode(&info, out.data());
    out.resize(info.has_cea ? 2 * EDID_BLOCK_SIZE : EDID_BLOCK_SIZE);
    return out;
}

// The encoded form of `bytes` carries everything the wire format carries:
// its blocks have valid checksums, decode to a record that encodes to the
// same bytes again, and the record's report is the original's.  Returns the
// encoded bytes (empty when the dump is refused).
Bytes check_round_trip(const Bytes &bytes, bool same_report)
{
    EdidInfo first, second;
    if (edid_decode_bounded(bytes.data(), bytes.size(), &first) != 0) return {};
    Bytes once = encoded(first);
    for (size_t b = 0; b < once.size(); b += EDID_BLOCK_SIZE) EXPECT_EQ(edid_checksum(&once[b]), 0);
    EXPECT_EQ(edid_decode_bounded(once.data(), once.size(), &second), 0);
    EXPECT_EQ(second.has_cea, first.has_cea);
    EXPECT_EQ(encoded(second), once);
    if (same_report) {
        EXPECT_EQ(printed([&] { edid_print(&second); }), printed([&] { edid_print(&first); }));
    }
    return once;
}

TEST(RoundTrip, EveryTestEdid)
{
    // Files whose blocks are already in the encoder's canonical form.
    const std::string canonical[] = {"device_default_port1.hex", "device_default_port1_thx.hex",
                                     "device_repeater_port2.hex"};
    std::vector<std::string> files = data_files();
    ASSERT_GT(files.size(), 10u);
    for (const std::string &name : files) {
        SCOPED_TRACE(name);
        Bytes bytes = read_dump(std::string(EDID_TEST_DATA_DIR "/") + name);
        // A collection that runs into byte 127 cannot be written back whole.
        Bytes once = check_round_trip(bytes, name != "tv_cea_edges.hex");
        if (std::find(std::begin(canonical), std::end(canonical), name) != std::end(canonical)) {
            EXPECT_EQ(once, bytes);
        }
    }
}

} // namespace
