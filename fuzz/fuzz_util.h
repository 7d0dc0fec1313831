// SPDX-License-Identifier: MIT
// fuzz_util.h - shared by the libFuzzer targets: a check that turns a broken
// promise of the library into a crash libFuzzer records, the start-up that
// keeps every run out of the source tree, and the preparation of a fuzz
// input as an EDID dump.
#ifndef EDID_FUZZ_UTIL_H
#define EDID_FUZZ_UTIL_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <edid/edid.h>

// A failed check aborts, which libFuzzer reports as a crash and saves the
// input as a reproducer.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);               \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

namespace fuzz_tree {

namespace fs = std::filesystem;

// Whether path lies in the source tree outside this build's directory.
inline bool in_sources(const char *path)
{
    std::error_code e1, e2, e3;
    const fs::path p = fs::canonical(path, e1), source = fs::canonical(EDID_FUZZ_SOURCE_DIR, e2),
                   build = fs::canonical(EDID_FUZZ_BINARY_DIR, e3);
    const auto below = [&p](const fs::path &dir) {
        const fs::path r = p.lexically_relative(dir);
        return !r.empty() && *r.begin() != "..";
    };
    return !e1 && !e2 && !e3 && below(source) && !below(build);
}

// libFuzzer writes the new inputs it finds into the first corpus directory
// of its command line (with -merge, the merged corpus), and crash
// reproducers into the working directory unless told where.  So a scratch
// corpus, BUILD/fuzz/corpus/TARGET (fuzz/run.sh's), goes before a first
// directory that lies in the source tree, which is then only read; and
// reproducers go to BUILD/fuzz/artifacts/TARGET/ unless -artifact_prefix or
// -exact_artifact_path says where.  Input files (run once) and directories
// elsewhere are used as given.
inline void keep_out_of_sources(int *argc, char ***argv)
{
    static std::vector<char *> args;
    static std::string corpus, prefix;
    args.assign(*argv, *argv + *argc);
    size_t first = 0;
    bool artifacts_named = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg[0] != '-') first = first ? first : i;
        artifacts_named |=
            arg.rfind("-artifact_prefix=", 0) == 0 || arg.rfind("-exact_artifact_path=", 0) == 0;
    }
    const fs::path scratch = fs::path(EDID_FUZZ_BINARY_DIR) / "fuzz";
    std::error_code e;
    if (first && fs::is_directory(args[first], e) && in_sources(args[first])) {
        corpus = (scratch / "corpus" / EDID_FUZZ_TARGET).string();
        FUZZ_CHECK(fs::create_directories(corpus, e) || !e);
        fprintf(stderr, "%s: %s is in the source tree, only read; new inputs go to %s\n",
                EDID_FUZZ_TARGET, args[first], corpus.c_str());
        args.insert(args.begin() + long(first), corpus.data());
    }
    if (!artifacts_named) {
        const fs::path artifacts = scratch / "artifacts" / EDID_FUZZ_TARGET;
        FUZZ_CHECK(fs::create_directories(artifacts, e) || !e);
        prefix = "-artifact_prefix=" + artifacts.string() + "/";
        args.insert(args.begin() + 1, prefix.data());
    }
    *argc = int(args.size());
    args.push_back(nullptr);
    *argv = args.data();
}

} // namespace fuzz_tree

// libFuzzer's start-up, for every target (each is one translation unit),
// before it reads its command line: the reports go to /dev/null (printing
// is exercised, not shown), and nothing is written into the source tree.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (freopen("/dev/null", "w", stdout) == nullptr) {
        perror("/dev/null");
        abort();
    }
    fuzz_tree::keep_out_of_sources(argc, argv);
    return 0;
}

// Copies the input into a heap buffer of exactly size bytes (so that any read
// past the dump hits AddressSanitizer's red zone) and chooses how much of it
// a mutation may break.  A length that is a whole number of blocks is taken
// as a dump as it stands: the base block checksum is then tested like any
// other byte.  Any other length also exercises the bounds of the last,
// partial block, and there every whole block gets its checksum repaired
// first, so that mutations reach the decoders behind the checksum tests.
// The caller frees the result.
inline uint8_t *fuzz_dump(const uint8_t *data, size_t size)
{
    uint8_t *dump = static_cast<uint8_t *>(malloc(size ? size : 1));
    FUZZ_CHECK(dump != nullptr);
    if (size) memcpy(dump, data, size);
    if (size % EDID_BLOCK_SIZE != 0) {
        for (size_t start = 0; start + EDID_BLOCK_SIZE <= size; start += EDID_BLOCK_SIZE) {
            uint8_t *block = dump + start;
            block[EDID_BLOCK_SIZE - 1] = 0;
            block[EDID_BLOCK_SIZE - 1] = uint8_t(0u - edid_checksum(block));
        }
    }
    return dump;
}

#endif // EDID_FUZZ_UTIL_H
