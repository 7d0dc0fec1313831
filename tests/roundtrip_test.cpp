// SPDX-License-Identifier: MIT
// Round trips of the encoder as properties: decode -> encode -> decode over
// every EDID of the test data (the fuzz target fuzz_edid_roundtrip tries
// the same property on mutated dumps).
#include "test_util.h"

#include <dirent.h>

#include <set>
#include <string>

#include <edid/edid.h>

using namespace test_util;

namespace {

Bytes encoded(const EdidInfo &info)
{
    Bytes out(2 * EDID_BLOCK_SIZE, 0xEE);
    edid_encode(&info, out.data());
    out.resize(info.has_cea ? 2 * EDID_BLOCK_SIZE : EDID_BLOCK_SIZE);
    return out;
}

// The encoded form of every test EDID that decodes carries everything the
// wire format carries: its blocks have valid checksums, decode to a record
// that encodes to the same bytes again, and the record's report is the
// original's.  The device EDIDs are already in the encoder's form.
TEST(RoundTrip, EveryTestEdid)
{
    const std::set<std::string> canonical = {
        "device_default_port1.hex", "device_default_port1_thx.hex", "device_repeater_port2.hex"};
    unsigned files = 0;
    DIR *dir = opendir(EDID_TEST_DATA_DIR);
    ASSERT_NE(dir, nullptr);
    while (dirent *e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".hex") != 0) continue;
        SCOPED_TRACE(name);
        ++files;
        Bytes bytes = read_dump(name);
        EdidInfo first, second;
        if (edid_decode_bounded(bytes.data(), bytes.size(), &first) != 0) continue;
        Bytes once = encoded(first);
        for (size_t b = 0; b < once.size(); b += EDID_BLOCK_SIZE)
            EXPECT_EQ(edid_checksum(&once[b]), 0);
        ASSERT_EQ(edid_decode_bounded(once.data(), once.size(), &second), 0);
        EXPECT_EQ(encoded(second), once);
        // A collection that runs into byte 127 cannot be written back whole.
        if (name != "tv_cea_edges.hex") {
            EXPECT_EQ(printed([&] { edid_print(&second); }), printed([&] { edid_print(&first); }));
        }
        if (canonical.count(name)) {
            EXPECT_EQ(once, bytes);
        }
    }
    closedir(dir);
    EXPECT_GT(files, 10u);
}

} // namespace
