// corvane-sample: writes a deterministic sample recording (MPEG-2 transport
// stream with ISDB service information) for trying out and benchmarking the
// program.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "corvane_version.h"
#include "tools/broadcast/sample_recording.h"

namespace {

const char kUsage[] =
    "usage: corvane-sample [--date YYYY-MM-DD] [--days N] [--size BYTES] [--unit 188|192|204] [--revised] OUT.ts\n"
    "       corvane-sample --help | --version\n"
    "\n"
    "Writes a sample recording: terrestrial, BS and CS services with their network (NIT),\n"
    "service (SDT), time (TOT) and event information (EIT present/following and schedule,\n"
    "basic and extended), Japanese names and programme texts, and filler video packets.\n"
    "The same arguments always give the same bytes.\n"
    "\n"
    "  --date YYYY-MM-DD  date of the time table and first day of the schedule\n"
    "                     (default: today, local time); the time table says 12:00:00\n"
    "  --days N           days of schedule, 1 to 8 (default 8)\n"
    "  --size BYTES       size of the file, rounded down to whole units; K, M or G\n"
    "                     multiply by 1024, 1024^2 or 1024^3. The tables are repeated\n"
    "                     to about 3 percent of the packets, filler packets make up the\n"
    "                     rest. The file never holds less than one full cycle of the\n"
    "                     tables (default: one cycle and as many filler packets)\n"
    "  --unit 188|192|204 packet unit: plain packets, a 4-byte time stamp before each,\n"
    "                     or 16 bytes after each (default 188)\n"
    "  --revised          a later version of the same schedule, for trying out the\n"
    "                     update information: on every third service the programmes\n"
    "                     from 20:00 of the first day are retitled, moved and replaced\n"
    "  --help             show this text\n"
    "  --version          show the version\n";

int badArguments(const std::string& message) {
    std::fprintf(stderr, "corvane-sample: %s\n(try corvane-sample --help)\n", message.c_str());
    return 2;
}

bool parseInt(const char* text, long long low, long long high, long long& value) {
    if (!*text) return false;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 10);
    if (*end || v < low || v > high) return false;
    value = v;
    return true;
}

bool parseSize(const std::string& text, uint64_t& size) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    size_t digits = text.find_first_not_of("0123456789");
    std::string number = text.substr(0, digits);
    if (number.size() > 15) return false;
    uint64_t value = std::strtoull(number.c_str(), nullptr, 10);
    if (digits != std::string::npos) {
        std::string suffix = text.substr(digits);
        int shift = suffix == "K" || suffix == "k" ? 10 : suffix == "M" ? 20 : suffix == "G" ? 30 : -1;
        if (shift < 0) return false;
        value <<= shift;
    }
    size = value;
    return true;
}

bool parseDate(const std::string& text, corvane::broadcast::SampleOptions& o) {
    long long y, m, d;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!parseInt(text.substr(0, 4).c_str(), 1858, 2038, y) || !parseInt(text.substr(5, 2).c_str(), 1, 12, m) ||
        !parseInt(text.substr(8, 2).c_str(), 1, 31, d))
        return false;
    o.year = static_cast<int>(y), o.month = static_cast<int>(m), o.day = static_cast<int>(d);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    corvane::broadcast::SampleOptions options;
    std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now)) {
        options.year = local->tm_year + 1900;
        options.month = local->tm_mon + 1;
        options.day = local->tm_mday;
    }
    std::string output;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("corvane-sample " CORVANE_VERSION);
            return 0;
        }
        if (arg == "--revised") {
            options.revised = true;
            continue;
        }
        bool takesValue = arg == "--date" || arg == "--days" || arg == "--size" || arg == "--unit";
        if (takesValue && i + 1 >= argc) return badArguments(arg + " needs a value");
        std::string value = takesValue ? argv[++i] : "";
        long long number = 0;
        if (arg == "--date") {
            if (!parseDate(value, options)) return badArguments("--date wants YYYY-MM-DD, got " + value);
        } else if (arg == "--days") {
            if (!parseInt(value.c_str(), 1, 8, number)) return badArguments("--days wants 1 to 8, got " + value);
            options.days = static_cast<int>(number);
        } else if (arg == "--size") {
            if (!parseSize(value, options.size)) return badArguments("--size wants a byte count, got " + value);
        } else if (arg == "--unit") {
            if (!parseInt(value.c_str(), 188, 204, number) || (number != 188 && number != 192 && number != 204))
                return badArguments("--unit wants 188, 192 or 204, got " + value);
            options.unitSize = static_cast<int>(number);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return badArguments("unknown option " + arg);
        } else if (output.empty()) {
            output = arg;
        } else {
            return badArguments("only one output file, got " + output + " and " + arg);
        }
    }
    if (output.empty()) return badArguments("no output file given");
    std::string problem = corvane::broadcast::checkSampleOptions(options);
    if (!problem.empty()) return badArguments(problem);

    std::string error;
    if (!corvane::broadcast::writeSampleRecording(options, output, error)) {
        std::fprintf(stderr, "corvane-sample: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
