// SPDX-License-Identifier: MIT
// edid_build - writes the 256-byte EDID (base block and CEA-861 block) that
// the device presents on one of its inputs: its default EDID, or, with
// --sink, the repeater EDID below the television whose EDID the file holds.
//
//   edid_build -p|--port N [-s|--sink TV_EDID_FILE] [-k|--keep-video] [-t|--thx]
//              [--profile FILE] [--audio-from EDID_FILE | --audio-passthrough]
//              [--hex] [-o|--output OUT_FILE]
//   edid_build --from-json FILE [--hex] [-o|--output OUT_FILE]
//
// --from-json writes the bytes of an EDID's JSON form (docs/json.md, as
// edid_dump --json writes it, edited or not) instead, every block it holds,
// with their checksums; JSON that is malformed, not such a form, or edited
// so that it cannot be written is refused with one line that names the
// place (line and column, or the JSON Pointer of the value), status 6.
// --hex writes any output as hex text, 30 bytes a line as xxd -p does.
//
// Options are parsed by getopt_long: "--port 2", "--port=2", "-p 2" and
// "-p2" are the same, as are unique abbreviations of the long names; the
// last of a repeated option counts; parsing stops at the first argument
// that is not an option, which is an error.
//
// EDID files (--sink, --audio-from) are raw EDID bytes or hex text (digit
// pairs with any white space, '#' comments), told apart by content: text
// that decodes as hex pairs is hex, a file with a NUL byte (a raw EDID
// begins 00 FF) is raw.  They may be pipes or sysfs files; "-" is standard
// input.  Each is read to its end; one longer than 1 MiB is refused after
// little more is read.
// The output goes to OUT_FILE through a temporary file beside it that is
// renamed over it only when complete, so OUT_FILE is either untouched or
// whole.  "-o -" writes to standard output, whatever it is; without -o the
// output goes to standard output unless that is a terminal.
//
// The sink may be EDID 1.3 or 1.4.  --keep-video builds with the
// video-keeping builders (<edid/device_edid.h>) for the device that
// --profile describes (the device as it is without it), lists on standard
// error one line for each item of the sink that the EDID leaves out, and
// takes the device's audio side from --audio-from's EDID or, with
// --audio-passthrough, from the sink's own.  The profile and audio options
// need --keep-video: without it the bytes are those of the 2007 builders.

#include <errno.h>
#include <getopt.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "dump_file.h"
#include "profile.h"
#include <edid/device_edid.h>
#if EDID_JSON
#include "json_form.h"
#endif

// Exit statuses, also listed in the usage text.
enum {
    EXIT_DONE = 0,
    EXIT_USAGE = 1,      // bad or missing option or port, output to a terminal
    EXIT_INPUT_FILE = 2, // an input file (sink, audio EDID, profile) missing or unreadable
    EXIT_INPUT_EDID = 3, // an EDID file that is no decodable EDID 1.3 or 1.4, or whose audio
                         // side the device's EDID cannot hold
    EXIT_OUTPUT = 4,     // output not written
    EXIT_PROFILE = 5,    // a profile with an error
    EXIT_JSON = 6        // a JSON form refused
};

namespace {

const char usage_text[] =
    "Usage: edid_build --port N [--sink TV_EDID_FILE] [--keep-video] [--thx]\n"
    "                  [--profile FILE] [--audio-from EDID_FILE | --audio-passthrough]\n"
    "                  [--hex] [-o OUT_FILE]\n"
    "       edid_build --from-json FILE [--hex] [-o OUT_FILE]\n"
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
    "  --profile FILE       the device as a TOML profile describes it: identity,\n"
    "                       audio formats and speakers, latencies, link limits\n"
    "  --audio-from FILE    present the audio blocks of this EDID, byte for byte\n"
    "  --audio-passthrough  present the sink's own audio blocks (needs --sink)\n"
    "                       (the last three need --keep-video)\n"
    "  --from-json FILE     write the EDID of a JSON form (edid_dump --json),\n"
    "                       edited or not; - for standard input\n"
    "  --hex                write hex text, 30 bytes a line (xxd -p), not bytes\n"
    "  -o, --output FILE    output file; - for standard output, the default\n"
    "                       unless that is a terminal\n"
    "  -h, --help           print this text\n"
    "Exit status: 0 done, 1 usage, 2 an input file unreadable, 3 an EDID file\n"
    "not a decodable EDID 1.3 or 1.4 (or its audio too large), 4 output not\n"
    "written, 5 the profile has an error, 6 the JSON form is refused.\n";

// The options: getopt_long's table and the short option string, in step.
// In the string, '+' stops parsing at the first argument that is not an
// option, and ':' makes a missing value the result ':', told apart from an
// unknown option ('?').
const option long_options[] = {
    {"port", required_argument, nullptr, 'p'},        // input number
    {"sink", required_argument, nullptr, 's'},        // sink EDID file, - standard input
    {"keep-video", no_argument, nullptr, 'k'},        // video-keeping builders
    {"thx", no_argument, nullptr, 't'},               // THX block
    {"profile", required_argument, nullptr, 'P'},     // device profile
    {"audio-from", required_argument, nullptr, 'A'},  // EDID whose audio blocks the device presents
    {"audio-passthrough", no_argument, nullptr, 'T'}, // the sink's audio blocks
    {"from-json", required_argument, nullptr, 'J'},   // the EDID of a JSON form
    {"hex", no_argument, nullptr, 'H'},               // hex text output
    {"output", required_argument, nullptr, 'o'},      // output file, - standard output
    {"help", no_argument, nullptr, 'h'},              // usage text
    {nullptr, 0, nullptr, 0},
};
// The long-only options have values outside the short option string.
const char short_options[] = "+:p:s:kto:h";

constexpr unsigned MAX_PORT = DEVICE_PORT_MASK;
constexpr size_t EDID_OUT_SIZE = 2 * EDID_BLOCK_SIZE;

struct Options {
    long port = -1; // -1: not given
    const char *sink = nullptr;
    const char *out = nullptr;
    const char *profile = nullptr;
    const char *audio_from = nullptr;
    const char *from_json = nullptr;
    bool hex = false;
    bool thx = false;
    bool keep_video = false;
    bool audio_passthrough = false;
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
        case 'P': opt->profile = optarg; break;
        case 'A': opt->audio_from = optarg; break;
        case 'T': opt->audio_passthrough = true; break;
        case 'J': opt->from_json = optarg; break;
        case 'H': opt->hex = true; break;
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
    const bool device_options = opt->port >= 0 || opt->sink || opt->keep_video || opt->thx ||
                                opt->profile || opt->audio_from || opt->audio_passthrough;
    if (opt->from_json && device_options)
        return fail(EXIT_USAGE, "--from-json takes only --hex and -o", nullptr);
    if (!opt->from_json && opt->port < 0)
        return fail(EXIT_USAGE, "missing --port N (see --help)", nullptr);
    const char *device_option = opt->profile             ? "--profile"
                                : opt->audio_from        ? "--audio-from"
                                : opt->audio_passthrough ? "--audio-passthrough"
                                                         : nullptr;
    if (device_option && !opt->keep_video)
        return fail(EXIT_USAGE, (std::string(device_option) + " needs --keep-video").c_str(),
                    nullptr);
    if (opt->audio_from && opt->audio_passthrough)
        return fail(EXIT_USAGE, "--audio-from and --audio-passthrough exclude each other", nullptr);
    if (opt->audio_passthrough && !opt->sink)
        return fail(EXIT_USAGE, "--audio-passthrough needs --sink", nullptr);
    // Hex text may go to a terminal; bytes may not.
    if (!opt->out && !opt->hex && isatty(STDOUT_FILENO))
        return fail(EXIT_USAGE, "standard output is a terminal; give -o OUT_FILE or redirect it",
                    nullptr);
    return EXIT_DONE;
}

// The EDID files as read: the sink's, and the one whose audio blocks the
// device presents.
DumpFile sink_dump, audio_dump;

// Reads an EDID file whole into dump: EXIT_DONE, or an error line.
int read_edid(const char *path, DumpFile *dump)
{
    switch (dump_file_read(path, dump)) {
    case DUMP_FILE_OK: break;
    case DUMP_FILE_UNREADABLE: return fail(EXIT_INPUT_FILE, path, strerror(errno));
    case DUMP_FILE_TOO_LONG:
        return fail(EXIT_INPUT_EDID, path, "larger than 1 MiB, not an EDID dump");
    case DUMP_FILE_NOT_EDID:
        return fail(EXIT_INPUT_EDID, path, "text that is not hex digit pairs, and not a raw EDID");
    }
    if (dump->length < EDID_BLOCK_SIZE) {
        std::string detail =
            std::to_string(dump->length) + " bytes, shorter than one 128-byte EDID block";
        return fail(EXIT_INPUT_EDID, path, detail.c_str());
    }
    return EXIT_DONE;
}

// A refusal of an EDID file by the library, as a line.
int refused(const char *path, int result)
{
    return fail(EXIT_INPUT_EDID, path, edid_device_result_text(result));
}

// Reads and decodes the sink's EDID into sink.
int read_sink(const char *path, EdidInfo *sink)
{
    int status = read_edid(path, &sink_dump);
    if (status != EXIT_DONE) return status;
    status = edid_decode_sink(sink_dump.bytes, sink_dump.length, sink);
    return status == EDID_DECODE_OK ? EXIT_DONE : refused(path, status);
}

// The device that --profile, --thx and the audio options describe.
int read_device(const Options &opt, EdidDevice *device)
{
    if (opt.profile) {
        std::string error;
        switch (profile_read(opt.profile, device, &error)) {
        case PROFILE_OK: break;
        case PROFILE_UNREADABLE: return fail(EXIT_INPUT_FILE, opt.profile, strerror(errno));
        case PROFILE_INVALID: return fail(EXIT_PROFILE, error.c_str(), nullptr);
        }
    } else {
        edid_device_init(device);
    }
    if (opt.thx) device->thx = 1;
    const char *path = opt.audio_from ? opt.audio_from : opt.sink;
    const DumpFile *dump = &sink_dump;
    if (opt.audio_from) {
        const int status = read_edid(opt.audio_from, &audio_dump);
        if (status != EXIT_DONE) return status;
        dump = &audio_dump;
    } else if (!opt.audio_passthrough) {
        return EXIT_DONE;
    }
    const int result = edid_device_audio_from_edid(dump->bytes, dump->length, &device->audio);
    if (result != EDID_DEVICE_OK) return refused(path, result);
    if (opt.audio_from && device->audio.size == 0)
        return fail(EXIT_INPUT_EDID, path, "no audio data blocks to present");
    if (edid_device_check(device) != EDID_DEVICE_OK)
        return refused(path, EDID_DEVICE_AUDIO_TOO_LARGE);
    return EXIT_DONE;
}

// Builds with the video-keeping builders; what the sink loses goes to
// standard error.
int build_keeping_video(const Options &opt, const EdidInfo *sink, EdidInfo *edid)
{
    static EdidDevice device;
    int status = read_device(opt, &device);
    if (status != EXIT_DONE) return status;
    static EdidLeftOut left_out;
    status = edid_device_build(&device, sink, uint32_t(opt.port), edid, &left_out);
    if (status != EDID_DEVICE_OK)
        return fail(EXIT_PROFILE, edid_device_result_text(status), nullptr);
    if (!sink) return EXIT_DONE;
    edid_left_out_extensions(sink_dump.bytes, sink_dump.length, &left_out);
    const uint32_t count =
        left_out.count < uint32_t(EDID_LEFT_OUT_MAX) ? left_out.count : uint32_t(EDID_LEFT_OUT_MAX);
    char line[EDID_LEFT_OUT_LINE];
    for (uint32_t i = 0; i < count; ++i) {
        edid_left_out_line(sink, &left_out.items[i], line, sizeof line);
        fprintf(stderr, "edid_build: %s\n", line);
    }
    if (left_out.count > count)
        fprintf(stderr, "edid_build: left out %u more items\n", unsigned(left_out.count - count));
    return EXIT_DONE;
}

// Bytes as hex text: 30 bytes a line, as xxd -p writes them.
std::string hex_text(const uint8_t *bytes, size_t length)
{
    constexpr size_t LINE_BYTES = 30;
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        if ((i + 1) % LINE_BYTES == 0 || i + 1 == length) text += '\n';
    }
    return text;
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

// The output, raw or as hex text.
int write_output(const Options &opt, const uint8_t *bytes, size_t length)
{
    std::string text;
    if (opt.hex) {
        text = hex_text(bytes, length);
        bytes = reinterpret_cast<const uint8_t *>(text.data());
        length = text.size();
    }
    if (!opt.out || strcmp(opt.out, "-") == 0) return write_stdout(bytes, length);
    return write_file(opt.out, bytes, length);
}

// The EDID of a JSON form.
int build_from_json(const Options &opt)
{
#if EDID_JSON
    static DumpFile text; // the JSON text
    FILE *stream = dump_file_open(opt.from_json);
    if (!stream) return fail(EXIT_INPUT_FILE, opt.from_json, strerror(errno));
    size_t length = 0;
    const DumpFileResult read = dump_file_load(stream, text.bytes, sizeof text.bytes, &length);
    const int error = errno;
    if (stream != stdin) fclose(stream);
    if (read == DUMP_FILE_UNREADABLE) return fail(EXIT_INPUT_FILE, opt.from_json, strerror(error));
    if (read == DUMP_FILE_TOO_LONG)
        return fail(EXIT_JSON, opt.from_json, "larger than 1 MiB, not an EDID's JSON form");
    Json form;
    std::vector<uint8_t> edid;
    std::string why;
    if (!json_form_parse(reinterpret_cast<const char *>(text.bytes), length, &form, &why) ||
        !json_form_to_edid(form, &edid, &why))
        return fail(EXIT_JSON, opt.from_json, why.c_str());
    return write_output(opt, edid.data(), edid.size());
#else
    return fail(EXIT_USAGE, "--from-json: this edid_build was built without nlohmann/json, which "
                            "reads the JSON form",
                nullptr);
#endif
}

} // namespace

int main(int argc, char **argv)
{
    Options opt;
    int status = parse_args(argc, argv, &opt);
    if (status < 0) return EXIT_DONE;
    if (status != EXIT_DONE) return status;
    if (opt.from_json) return build_from_json(opt);

    static EdidInfo sink;
    if (opt.sink) {
        status = read_sink(opt.sink, &sink);
        if (status != EXIT_DONE) return status;
    }

    static EdidInfo edid;
    if (opt.keep_video) {
        status = build_keeping_video(opt, opt.sink ? &sink : nullptr, &edid);
        if (status != EXIT_DONE) return status;
    } else {
        cea_thx_block_enabled = opt.thx ? 1 : 0;
        if (opt.sink)
            edid_build_repeater(&sink, &edid, uint32_t(opt.port));
        else
            edid_build_default(&edid, uint32_t(opt.port));
    }
    uint8_t bytes[EDID_OUT_SIZE];
    edid_encode(&edid, bytes);
    return write_output(opt, bytes, sizeof bytes);
}
