// SPDX-License-Identifier: MIT
// edid_build - writes the 256-byte EDID (base block and CEA-861 block) that
// the device presents on one of its inputs: its default EDID, or, with
// --sink, the repeater EDID below the television whose EDID the file holds.
//
//   edid_build -p|--port N [-s|--sink TV_EDID_FILE] [-k|--keep-video] [-t|--thx]
//              [-o|--output OUT_FILE]
//
// Options are parsed by getopt_long: "--port 2", "--port=2", "-p 2" and
// "-p2" are the same, as are unique abbreviations of the long names; the
// last of a repeated option counts; parsing stops at the first argument
// that is not an option, which is an error.
//
// The sink file is raw EDID bytes or hex text (digit pairs with any white
// space, '#' comments), told apart by content: text that decodes as hex
// pairs is hex, a file with a NUL byte (a raw EDID begins 00 FF) is raw.
// It may be a pipe or a sysfs file; "-" is standard input.  It is read to
// its end; one longer than 1 MiB is refused after little more is read.
// The output goes to OUT_FILE through a temporary file beside it that is
// renamed over it only when complete, so OUT_FILE is either untouched or
// whole.  "-o -" writes to standard output, whatever it is; without -o the
// output goes to standard output unless that is a terminal.
//
// The sink may be EDID 1.3 or 1.4.  --keep-video builds with the
// video-keeping builders (<edid/device_edid.h>) and lists on standard error
// one line for each item of the sink that the EDID leaves out.

#include <errno.h>
#include <getopt.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tools/dump_file.h"
#include "tools/left_out.h"
#include <edid/device_edid.h>

// Exit statuses, also listed in the usage text.
enum {
    EXIT_DONE = 0,
    EXIT_USAGE = 1,     // bad or missing option or port, output to a terminal
    EXIT_SINK_FILE = 2, // sink file missing or unreadable
    EXIT_SINK_EDID = 3, // sink file holds no decodable EDID 1.3 or 1.4
    EXIT_OUTPUT = 4     // output not written
};

namespace {

const char usage_text[] =
    "Usage: edid_build --port N [--sink TV_EDID_FILE] [--keep-video] [--thx] [-o OUT_FILE]\n"
    "Writes the 256-byte EDID that the device presents on input N: its default\n"
    "EDID, or with --sink the repeater EDID below the television whose EDID the\n"
    "file holds (raw bytes, or hex digit pairs as printed by xxd -p or\n"
    "xrandr --verbose; '#' starts a comment).\n"
    "  -p, --port N         input number, 0 to 15\n"
    "  -s, --sink FILE      EDID of the downstream sink; - for standard input\n"
    "  -k, --keep-video     keep the sink's video capabilities (HDMI Forum block,\n"
    "                       HDR, colorimetry, 4:2:0...) in an EDID that checkers\n"
    "                       pass; list what is left out on standard error\n"
    "  -t, --thx            add the THX vendor-specific data block\n"
    "  -o, --output FILE    output file; - for standard output, the default\n"
    "                       unless that is a terminal\n"
    "  -h, --help           print this text\n"
    "Exit status: 0 done, 1 usage, 2 sink file unreadable, 3 sink not a\n"
    "decodable EDID 1.3 or 1.4, 4 output not written.\n";

// The options: getopt_long's table and the short option string, in step.
// In the string, '+' stops parsing at the first argument that is not an
// option, and ':' makes a missing value the result ':', told apart from an
// unknown option ('?').
const option long_options[] = {
    {"port", required_argument, nullptr, 'p'},   // input number
    {"sink", required_argument, nullptr, 's'},   // sink EDID file, - standard input
    {"keep-video", no_argument, nullptr, 'k'},   // video-keeping builders
    {"thx", no_argument, nullptr, 't'},          // THX block
    {"output", required_argument, nullptr, 'o'}, // output file, - standard output
    {"help", no_argument, nullptr, 'h'},         // usage text
    {nullptr, 0, nullptr, 0},
};
const char short_options[] = "+:p:s:kto:h";

constexpr unsigned MAX_PORT = DEVICE_PORT_MASK;
constexpr size_t EDID_OUT_SIZE = 2 * EDID_BLOCK_SIZE;

struct Options {
    long port = -1; // -1: not given
    const char *sink = nullptr;
    const char *out = nullptr;
    bool thx = false;
    bool keep_video = false;
};

int fail(int status, const char *what, const char *detail)
{
    fprintf(stderr, "edid_build: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
    return status;
}

// A decimal input number 0 to 15, or -1.
long parse_port(const char *text)
{
    size_t length = strlen(text);
    if (length == 0 || strspn(text, "0123456789") != length) return -1;
    errno = 0;
    unsigned long port = strtoul(text, nullptr, 10);
    return errno == 0 && port <= MAX_PORT ? long(port) : -1;
}

// Returns EXIT_DONE with opt filled, EXIT_USAGE after an error line, or -1
// after printing the help text.
int parse_args(int argc, char **argv, Options *opt)
{
    opterr = 0; // the errors below are this tool's own lines
    for (;;) {
        // The argument that getopt_long parses now (no permutation: '+').
        const char *arg = argv[optind];
        int c = getopt_long(argc, argv, short_options, long_options, nullptr);
        if (c == -1) break;
        // A failed option as the user wrote it: a long one whole, a short
        // one alone rather than with the cluster it came in.
        std::string name =
            strncmp(arg, "--", 2) == 0 ? std::string(arg) : std::string("-") + char(optopt);
        switch (c) {
        case 'p':
            opt->port = parse_port(optarg);
            if (opt->port < 0) {
                std::string what =
                    std::string("--port '") + optarg + "' is not an input number 0 to 15";
                return fail(EXIT_USAGE, what.c_str(), nullptr);
            }
            break;
        case 's': opt->sink = optarg; break;
        case 'k': opt->keep_video = true; break;
        case 't': opt->thx = true; break;
        case 'o': opt->out = optarg; break;
        case 'h': fputs(usage_text, stdout); return -1;
        case ':': return fail(EXIT_USAGE, "missing value after", name.c_str());
        default:
            return fail(EXIT_USAGE, ("unknown option '" + name + "' (see --help)").c_str(),
                        nullptr);
        }
    }
    if (optind < argc) {
        std::string what = std::string("unexpected argument '") + argv[optind] + "' (see --help)";
        return fail(EXIT_USAGE, what.c_str(), nullptr);
    }
    if (opt->port < 0) return fail(EXIT_USAGE, "missing --port N (see --help)", nullptr);
    if (!opt->out && isatty(STDOUT_FILENO))
        return fail(EXIT_USAGE, "standard output is a terminal; give -o OUT_FILE or redirect it",
                    nullptr);
    return EXIT_DONE;
}

// The sink's EDID as read: its bytes, and the record decoded from them.
DumpFile sink_dump;

// Reads and decodes the sink's EDID into sink.
int read_sink(const char *path, EdidInfo *sink)
{
    DumpFile &dump = sink_dump;
    switch (dump_file_read(path, &dump)) {
    case DUMP_FILE_OK: break;
    case DUMP_FILE_UNREADABLE: return fail(EXIT_SINK_FILE, path, strerror(errno));
    case DUMP_FILE_TOO_LONG:
        return fail(EXIT_SINK_EDID, path, "larger than 1 MiB, not an EDID dump");
    case DUMP_FILE_NOT_EDID:
        return fail(EXIT_SINK_EDID, path, "text that is not hex digit pairs, and not a raw EDID");
    }
    if (dump.length < EDID_BLOCK_SIZE) {
        std::string detail =
            std::to_string(dump.length) + " bytes, shorter than one 128-byte EDID block";
        return fail(EXIT_SINK_EDID, path, detail.c_str());
    }
    switch (edid_decode_sink(dump.bytes, dump.length, sink)) {
    case 0: return EXIT_DONE;
    case EDID_DECODE_BAD_CHECKSUM: return fail(EXIT_SINK_EDID, path, "bad base block checksum");
    case EDID_DECODE_BAD_VERSION: return fail(EXIT_SINK_EDID, path, "not EDID version 1.3 or 1.4");
    default: return fail(EXIT_SINK_EDID, path, "not a decodable EDID");
    }
}

int write_stdout(const uint8_t *bytes, size_t length)
{
    if (fwrite(bytes, 1, length, stdout) != length || fflush(stdout) != 0)
        return fail(EXIT_OUTPUT, "standard output", strerror(errno));
    return EXIT_DONE;
}

// Writes a temporary file beside path and renames it over path, so that
// path never holds a partial EDID; the temporary file is removed on failure.
int write_file(const char *path, const uint8_t *bytes, size_t length)
{
    std::string temp = std::string(path) + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return fail(EXIT_OUTPUT, path, strerror(errno));
    mode_t mask = umask(0);
    umask(mask);
    bool ok = fchmod(fd, 0666 & ~mask) == 0;
    size_t done = 0;
    while (ok && done < length) {
        ssize_t n = write(fd, bytes + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += size_t(n);
    }
    if (ok && fsync(fd) != 0) ok = false;
    int error = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(temp.c_str(), path) == 0) return EXIT_DONE;
    if (ok) error = errno;
    unlink(temp.c_str());
    return fail(EXIT_OUTPUT, path, strerror(error));
}

} // namespace

int main(int argc, char **argv)
{
    Options opt;
    int status = parse_args(argc, argv, &opt);
    if (status < 0) return EXIT_DONE;
    if (status != EXIT_DONE) return status;

    static EdidInfo sink;
    if (opt.sink) {
        status = read_sink(opt.sink, &sink);
        if (status != EXIT_DONE) return status;
    }

    cea_thx_block_enabled = opt.thx ? 1 : 0;
    static EdidInfo edid;
    static EdidLeftOut left_out;
    if (opt.sink && opt.keep_video) {
        edid_build_repeater_video(&sink, &edid, uint32_t(opt.port), &left_out);
        left_out_print(stderr, "edid_build: ", &sink, &left_out);
        left_out_print_extensions(stderr, "edid_build: ", sink_dump.bytes, sink_dump.length);
    } else if (opt.sink) {
        edid_build_repeater(&sink, &edid, uint32_t(opt.port));
    } else if (opt.keep_video) {
        edid_build_default_video(&edid, uint32_t(opt.port));
    } else {
        edid_build_default(&edid, uint32_t(opt.port));
    }
    uint8_t bytes[EDID_OUT_SIZE];
    edid_encode(&edid, bytes);

    if (!opt.out || strcmp(opt.out, "-") == 0) return write_stdout(bytes, sizeof bytes);
    return write_file(opt.out, bytes, sizeof bytes);
}
