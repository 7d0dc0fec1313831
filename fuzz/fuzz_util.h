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

#include <errno.h>
#include <limits.h>
#include <sys/stat.h>

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

// Whether `path` lies in the source tree outside this build's directory.
inline bool in_sources(const char *path)
{
    char real[PATH_MAX], source[PATH_MAX], build[PATH_MAX];
    if (!realpath(path, real) || !realpath(EDID_FUZZ_SOURCE_DIR, source) ||
        !realpath(EDID_FUZZ_BINARY_DIR, build))
        return false;
    const auto below = [&real](const char *dir) {
        const size_t n = strlen(dir);
        return strncmp(real, dir, n) == 0 && (real[n] == '\0' || real[n] == '/');
    };
    return below(source) && !below(build);
}

// BUILD/fuzz/KIND/TARGET in `path`, created with the directories above it.
inline char *scratch(char *path, const char *kind)
{
    snprintf(path, PATH_MAX, "%s/fuzz/%s/%s", EDID_FUZZ_BINARY_DIR, kind, EDID_FUZZ_TARGET);
    for (char *slash = strchr(path + 1, '/');; slash = strchr(slash + 1, '/')) {
        if (slash) *slash = '\0';
        FUZZ_CHECK(mkdir(path, 0777) == 0 || errno == EEXIST);
        if (!slash) return path;
        *slash = '/';
    }
}

// libFuzzer writes the new inputs it finds into the first corpus directory
// of its command line (with -merge, the merged corpus), and crash
// reproducers into the working directory.  When either lies in the source
// tree, a scratch corpus (BUILD/fuzz/corpus/TARGET, as fuzz/run.sh uses)
// goes before that directory, which is then only read, and the reproducers
// go to BUILD/fuzz/artifacts/TARGET.  Input files (run once) and
// directories elsewhere are used as given.
inline void keep_out_of_sources(int *argc, char ***argv)
{
    int first_input = 0;
    bool artifacts_named = false;
    for (int i = 1; i < *argc; ++i) {
        const char *arg = (*argv)[i];
        const auto flag = [arg](const char *name) { return strncmp(arg, name, strlen(name)) == 0; };
        if (arg[0] != '-')
            first_input = first_input ? first_input : i;
        else if (flag("-artifact_prefix=") || flag("-exact_artifact_path="))
            artifacts_named = true;
    }
    struct stat st;
    const bool corpus_in_sources = first_input && stat((*argv)[first_input], &st) == 0 &&
                                   S_ISDIR(st.st_mode) && in_sources((*argv)[first_input]);
    const bool artifacts_in_sources = !artifacts_named && in_sources(".");
    if (!corpus_in_sources && !artifacts_in_sources) return;

    static char corpus[PATH_MAX], artifacts[PATH_MAX], prefix[PATH_MAX + 32];
    static char **args; // the new command line, null-ended
    args = static_cast<char **>(calloc(size_t(*argc) + 3, sizeof *args));
    FUZZ_CHECK(args != nullptr);
    int n = 0;
    args[n++] = (*argv)[0];
    if (artifacts_in_sources) {
        snprintf(prefix, sizeof prefix, "-artifact_prefix=%s/", scratch(artifacts, "artifacts"));
        fprintf(stderr, "%s: crash reproducers go to %s/\n", EDID_FUZZ_TARGET, artifacts);
        args[n++] = prefix;
    }
    for (int i = 1; i < *argc; ++i) {
        if (i == first_input && corpus_in_sources) {
            args[n++] = scratch(corpus, "corpus");
            fprintf(stderr, "%s: %s is in the source tree, only read; new inputs go to %s\n",
                    EDID_FUZZ_TARGET, (*argv)[i], corpus);
        }
        args[n++] = (*argv)[i];
    }
    *argc = n;
    *argv = args;
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
