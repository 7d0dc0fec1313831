// SPDX-License-Identifier: MIT
// test_util.h - helpers shared by the unit tests: bytes from hex text or a
// test data file, tables of test data, hex text repeated, block checksums,
// and the capture of what a print operation writes on standard output.
#ifndef EDID_TESTS_TEST_UTIL_H
#define EDID_TESTS_TEST_UTIL_H

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <edid/edid.h>

#include "tools/dump_file.h"
#include "tools/hex_text.h"

namespace test_util {

using Bytes = std::vector<uint8_t>;

// "02 3A 80" -> {0x02, 0x3A, 0x80}; hex text as the test data files hold it.
inline Bytes hex(const std::string &text)
{
    Bytes out(text.size() / 2 + 1);
    long n = hex_text_decode(text.data(), text.size(), out.data(), out.size());
    EXPECT_GE(n, 0) << "not hex text: " << text;
    out.resize(n < 0 ? 0 : size_t(n));
    return out;
}

// The EDID bytes of a file of tests/data (hex text or raw).
inline Bytes read_dump(const std::string &name)
{
    static DumpFile dump;
    const std::string path = EDID_TEST_DATA_DIR "/" + name;
    EXPECT_EQ(dump_file_read(path.c_str(), &dump), DUMP_FILE_OK) << path;
    return Bytes(dump.bytes, dump.bytes + dump.length);
}

// The rows of a section of a table in tests/data: the lines under
// "[section]", each split at '|' into cells without their outer blanks;
// '#' begins a comment line.  A section without rows fails the test.
inline std::vector<std::vector<std::string>> table(const std::string &file,
                                                   const std::string &section)
{
    std::ifstream in(EDID_TEST_DATA_DIR "/" + file);
    std::vector<std::vector<std::string>> rows;
    std::string current;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
        } else if (current == section) {
            std::istringstream cells(line);
            rows.emplace_back();
            for (std::string cell; std::getline(cells, cell, '|');) {
                cell.erase(0, cell.find_first_not_of(' '));
                rows.back().push_back(cell.erase(cell.find_last_not_of(' ') + 1));
            }
            if (line.back() == '|') rows.back().push_back(""); // an empty last cell
        }
    }
    EXPECT_FALSE(rows.empty()) << "no rows of " << section << " in " << file;
    return rows;
}

// n bytes as hex text: "02 3A 80".
inline std::string hex_of(const uint8_t *p, size_t n)
{
    std::string s;
    char byte[4];
    for (size_t i = 0; i < n; ++i) {
        snprintf(byte, sizeof byte, i ? " %02X" : "%02X", p[i]);
        s += byte;
    }
    return s;
}

// `bytes` (hex text) n times over.
inline std::string repeat(const std::string &bytes, int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += bytes + " ";
    return s;
}

// Sets byte 127 of a 128-byte block so that the block sums to zero.
inline void fix_checksum(uint8_t *block)
{
    block[EDID_BLOCK_SIZE - 1] = 0;
    block[EDID_BLOCK_SIZE - 1] = uint8_t(0 - edid_checksum(block));
}

// Standard output written by f, caught in a temporary file that stands in
// for file descriptor 1 meanwhile.
template <class F>
std::string printed(F f)
{
    fflush(stdout);
    FILE *capture = tmpfile();
    int saved = dup(STDOUT_FILENO);
    dup2(fileno(capture), STDOUT_FILENO);
    f();
    fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::string text;
    rewind(capture);
    for (int c; (c = fgetc(capture)) != EOF;) text += char(c);
    fclose(capture);
    return text;
}

} // namespace test_util

#endif
