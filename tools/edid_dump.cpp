// SPDX-License-Identifier: MIT
// edid_dump [--lenient | --json] FILE - reads a raw EDID dump, decodes it and
// prints the report, or its JSON form.  FILE "-" is standard input.
//
// --lenient, only as the first argument and followed by FILE, decodes with
// edid_decode_sink (the decode of the device builders) instead of
// edid_decode_bounded: EDID 1.4 base blocks are reported as well as 1.3; the
// CEA block is looked for only among the extensions that byte 126 announces,
// through a valid block map, else as the first with tag 2 (so one in block 1
// before a DisplayID block is found); and empty data blocks (zero header
// bytes before the detailed timings) are passed over.  The size lines, the
// report, the input handling and the exit statuses are those without it.  A
// FILE named --lenient is reached as ./--lenient.
//
// --json, in the same place, prints the JSON form of the EDID instead
// (docs/json.md): every block that byte 126 announces and the buffer holds,
// with the typed fields of the library's records, and "bytes" where they do
// not give the bytes back; no size lines.  A base block that is not EDID
// 1.3 or 1.4 has no JSON form: one line on standard error, status 5.
//
// Exit status: 0 the file was read (decoded, or "Error interpreting edid"),
// 1 usage, 2 the file cannot be opened, 3 the buffer cannot be allocated,
// 4 the file cannot be read whole, 5 (--json) not EDID 1.3 or 1.4.
//
// The buffer is the file size rounded up to whole 128-byte blocks; the bytes
// after the file's own are cleared, so a short last block reads as if padded
// with zeros, and the decoder is bounded by the buffer: a block that the
// extension count or a block map designates beyond it counts as absent.
//
// A file's size is found by seeking to its end.  Where that tells nothing,
// because the seek fails (a pipe, a FIFO, a terminal) or the file reports
// size 0 (sysfs and procfs files, which hold bytes all the same), the input
// is read to its end first; the size lines then show the bytes read, and
// the run goes on as for a regular file of those bytes.  So:
//   - input that yields no bytes ends as an empty file does: size lines 0
//     and 0, the "fread" message, status 4;
//   - input longer than 32768 bytes (256 blocks, the base block and the 255
//     extensions that its count byte can announce) is no EDID: one line on
//     standard error, nothing on standard output, status 4, after reading
//     little more than 32768 bytes, so an endless stream ends too;
//   - a read error: the "fread" message with the system's reason, nothing
//     on standard output, status 4.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dump_file.h"
#include <edid/cta.h>
#include <edid/edid.h>
#if EDID_JSON
#include "json_form.h"
#endif

enum { EXIT_USAGE = 1, EXIT_OPEN = 2, EXIT_ALLOC = 3, EXIT_READ = 4, EXIT_NO_FORM = 5 };

// The longest EDID: the base block and 255 extension blocks.
constexpr size_t EDID_MAX_SIZE = 256 * EDID_BLOCK_SIZE;

constexpr char LENIENT_OPTION[] = "--lenient";
constexpr char JSON_OPTION[] = "--json";

namespace {

// The JSON form of the buffer on standard output.
int print_json(const uint8_t *buffer, size_t length, const char *path)
{
#if EDID_JSON
    Json form;
    std::string error;
    if (!json_form_of_edid(buffer, length, &form, &error)) {
        fprintf(stderr, "edid_dump: %s: %s\n", path, error.c_str());
        return EXIT_NO_FORM;
    }
    const std::string text = json_form_text(form);
    fwrite(text.data(), 1, text.size(), stdout);
    return 0;
#else
    (void)buffer, (void)length, (void)path;
    fputs("edid_dump: --json: this edid_dump was built without nlohmann/json, which writes the "
          "JSON form\n",
          stderr);
    return EXIT_USAGE;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    if (argc <= 1) {
        fprintf(stderr, "Usage: %s <edid filename>\n", argv[0]);
        exit(EXIT_USAGE);
    }
    // Only the first argument is an option, and only with a file after it.
    const bool lenient = strcmp(argv[1], LENIENT_OPTION) == 0;
    const bool json = strcmp(argv[1], JSON_OPTION) == 0;
    if (lenient && argc <= 2) {
        fprintf(stderr, "Usage: %s [%s] <edid filename>\n", argv[0], LENIENT_OPTION);
        exit(EXIT_USAGE);
    }
    if (json && argc <= 2) {
        fprintf(stderr, "Usage: %s %s <edid filename>\n", argv[0], JSON_OPTION);
        exit(EXIT_USAGE);
    }
    const char *path = lenient || json ? argv[2] : argv[1];
    FILE *file = dump_file_open(path);
    if (!file) {
        perror(path);
        exit(EXIT_OPEN);
    }
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fseek(file, 0, SEEK_SET);

    // Input of no known size is read here, into a buffer of the longest
    // EDID.  errno is cleared so that input without bytes gives the same
    // "fread" message as an empty file, not the failed seek's reason.
    static uint8_t streamed_bytes[EDID_MAX_SIZE];
    bool streamed = size <= 0;
    if (streamed) {
        errno = 0;
        size_t length = 0;
        switch (dump_file_load(file, streamed_bytes, sizeof streamed_bytes, &length)) {
        case DUMP_FILE_OK: break;
        case DUMP_FILE_TOO_LONG:
            fprintf(stderr, "%s: longer than %zu bytes (256 blocks), the most an EDID holds\n",
                    path, sizeof streamed_bytes);
            fclose(file);
            exit(EXIT_READ);
        default:
            perror("fread");
            fclose(file);
            exit(EXIT_READ);
        }
        size = long(length);
    }

    // The size rounded up to whole blocks, in wrapping arithmetic: a size
    // near LONG_MAX, as a directory reports on some file systems, gives a
    // negative reserved size rather than an overflow, and is not read.
    EdidInfo info;
    long reserved = long((unsigned long)size + 127) / 128 * 128;
    if (!json) {
        printf("Edid structure size: %d\n", int(sizeof info));
        printf("Edid file size: %ld\n", size);
        printf("Space reserved for it: %ld\n", reserved);
    }

    // At least one byte, so that an empty file fails in the read, as it does
    // with the GNU C library's malloc(0), on every C library.
    uint8_t *buffer = static_cast<uint8_t *>(malloc(size_t(reserved > 0 ? reserved : 1)));
    if (!buffer) {
        perror("malloc");
        fclose(file);
        exit(EXIT_ALLOC);
    }
    // One item of the whole file size, or the bytes already read.  An empty
    // file, input without bytes, and a size beyond the buffer have no whole
    // item.
    if (reserved < size) errno = EFBIG;
    bool whole =
        streamed ? size > 0 : reserved >= size && fread(buffer, size_t(size), 1, file) == 1;
    if (!whole) {
        perror("fread");
        fclose(file);
        exit(EXIT_READ);
    }
    if (streamed) memcpy(buffer, streamed_bytes, size_t(size));
    fclose(file);
    memset(buffer + size, 0, size_t(reserved - size));
    if (json) {
        const int status = print_json(buffer, size_t(reserved), path);
        free(buffer);
        return status;
    }

    const int decoded = lenient ? edid_decode_sink(buffer, size_t(reserved), &info)
                                : edid_decode_bounded(buffer, size_t(reserved), &info);
    if (decoded < 0)
        puts("Error interpreting edid");
    else if (lenient)
        edid_print_typed(&info, edid_sink_cea_block(buffer, size_t(reserved)));
    else
        edid_print(&info);
    free(buffer);
    return 0;
}
