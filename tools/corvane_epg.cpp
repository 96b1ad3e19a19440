// corvane-epg: loads recordings and EPG data files into one store and prints
// what it holds, the way the guide would find it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/service_settings.h"
#include "corvane_version.h"
#include "reserve/change_detection.h"
#include "reserve/reservation_watch.h"
#include "store/data_file.h"
#include "store/epg_file.h"
#include "store/epg_store.h"
#include "store/ini_settings.h"
#include "tools/common/change_listing.h"
#include "tools/common/difference_listing.h"
#include "tools/common/event_listing.h"
#include "tools/common/find_listing.h"
#include "tools/common/guide_export.h"
#include "tools/common/json_writer.h"
#include "tools/common/reservation_listing.h"
#include "tools/common/shift_jis_utf8.h"
#include "tools/common/store_listing.h"
#include "tools/common/xmltv_writer.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

using namespace corvane;

namespace {

const char kUsage[] =
    "usage: corvane-epg COMMAND ...\n"
    "       corvane-epg --help | --version\n"
    "\n"
    "Loads the files in the order given into one EPG store, as the program does:\n"
    "a file whose first three bytes are \"Epg\" is read as an EPG data file, any\n"
    "other as a recorded MPEG-2 transport stream; a file shorter than five bytes\n"
    "cannot be read. Data files are merged as the program merges them: the\n"
    "sections loaded before are discarded, the services kept.\n"
    "\n"
    "commands:\n"
    "  store FILE...         print the services and every stored section:\n"
    "                          tot YYYY-MM-DD HH:MM:SS\n"
    "                          service INDEX CLASS SERVICE_ID PHYSICAL_CH TSID REMOTE_KEY\n"
    "                                  SATFREQ_HEX PROVIDER_HEX SERVICE_HEX TSNAME_HEX\n"
    "                          slot INDEX KIND SEQ LENGTH UPDATE_COUNT CRC_HEX\n"
    "                        (KIND is basic, extended, pf or baseline; times are local)\n"
    "  list FILE...          print one tab-separated line per event of every basic\n"
    "                        schedule section, by service, section and event order:\n"
    "                          SERVICE_ID CLASS EVENT_ID START END GENRE1 GENRE2\n"
    "                          COMPONENT_TYPE AUDIO_TYPE TITLE TEXT\n"
    "                        (times local \"YYYY-MM-DD HH:MM\", genres -1 when absent,\n"
    "                        types decimal, texts UTF-8 with tab, CR and LF as \\t \\r \\n)\n"
    "  find [OPTIONS] QUERY FILE...\n"
    "                        print the lines of list (same columns, same order) of the\n"
    "                        programmes whose title holds every word of QUERY (words\n"
    "                        separated by blanks); full-width and half-width letters,\n"
    "                        digits, symbols and katakana, capitals and small letters,\n"
    "                        and the ideographic and the ASCII blank count as the\n"
    "                        same, hiragana and katakana do not (see --kana)\n"
    "  save OUT.dat FILE...  write what the files hold as an EPG data file; an\n"
    "                        existing OUT.dat is replaced only when the save succeeds\n"
    "  changes FILE...       run the change detection after each file that brought\n"
    "                        new data, as the program does on its next tick, then\n"
    "                        print one tab-separated line per change, in the order found:\n"
    "                          SERVICE_ID CLASS OLD_START OLD_END OLD_VIDEO OLD_AUDIO\n"
    "                          OLD_GENRE OLD_NAME_HEX NEW_START NEW_END NEW_VIDEO\n"
    "                          NEW_AUDIO NEW_GENRE NEW_NAME_HEX\n"
    "                        (times local \"YYYY-MM-DD HH:MM\" or \"-\" for none, numbers\n"
    "                        decimal, names the raw broadcast bytes in lower-case hex\n"
    "                        or \"-\" when empty; an addition has no old side, a\n"
    "                        removal no new side)\n"
    "  reservations [--now SECONDS] [--epgtimer FILE] [--tvrock FILE] [--ini FILE] [FILE...]\n"
    "                        collect the reservations of EpgTimer's reservation file\n"
    "                        and TvRock's schedule file as the program does at SECONDS\n"
    "                        (since 1970; default now) against the store of FILE...,\n"
    "                        with the iEPG station names and remote-control numbers of\n"
    "                        the settings file --ini, and print one line per record in\n"
    "                        the order of the list:\n"
    "                          KIND START END SERVICE_ID EVENT_ID CONFLICT VALID\n"
    "                          NETWORK_KIND TITLE_HEX\n"
    "                        (times in seconds since 1970, the Shift_JIS title in\n"
    "                        lower-case hex or \"-\" when empty)\n"
    "  diff A_HEX B_HEX      the pieces of Shift_JIS text A as drawn against text B (both\n"
    "                        in hex), one line each: \"normal HEX\" or \"diff HEX\"\n"
    "  xmltv [OPTIONS] FILE...\n"
    "                        write the scheduled programmes as an XMLTV document\n"
    "                        (UTF-8): a <channel> per service with programmes, id\n"
    "                        SERVICE_ID.ORIGINAL_NETWORK_ID.isdb, display names the\n"
    "                        service name and the channel number; a <programme> per\n"
    "                        programme by channel and time, times on the broadcast's\n"
    "                        clock (+0900), title, desc, categories (genre names in\n"
    "                        Japanese, major genre in English), <episode-num\n"
    "                        system=\"isdb_event\"> ORIGINAL_NETWORK_ID.SERVICE_ID.EVENT_ID,\n"
    "                        video aspect and quality, audio stereo\n"
    "  json [OPTIONS] FILE...\n"
    "                        write the same programmes as a JSON array of objects with\n"
    "                        id ((ORIGINAL_NETWORK_ID * 100000 + SERVICE_ID) * 100000\n"
    "                        + EVENT_ID), eventId, serviceId, networkId, startAt and\n"
    "                        duration (milliseconds), isFree, name, description,\n"
    "                        extended, genres, video and audios\n"
    "\n"
    "options of xmltv and json:\n"
    "  -o OUT                write to OUT (replaced only when the export succeeds)\n"
    "                        instead of standard output\n"
    "  --since DATETIME      only programmes that end after DATETIME\n"
    "  --until DATETIME      only programmes that start before DATETIME\n"
    "                        (local time, \"YYYY-MM-DD\", \"YYYY-MM-DD HH:MM\" or\n"
    "                        \"YYYY-MM-DD HH:MM:SS\")\n"
    "  --service ID          only the service with this service id (repeatable)\n"
    "A recording without programme data gives an empty document.\n"
    "\n"
    "options of find:\n"
    "  --desc                look for the words in the short and the extended text too\n"
    "                        (each word in the title or a description)\n"
    "  --kana                hiragana and katakana match each other\n"
    "  --since DATETIME      only programmes that end after DATETIME\n"
    "  --until DATETIME      only programmes that start before DATETIME\n"
    "                        (local time as list prints it: \"YYYY-MM-DD\",\n"
    "                        \"YYYY-MM-DD HH:MM\" or \"YYYY-MM-DD HH:MM:SS\", 'T' may\n"
    "                        stand for the blank)\n"
    "  --service ID          only the service with this service id (repeatable)\n"
    "  --                    ends the options (before a QUERY that starts with '-')\n"
    "QUERY is UTF-8 (on Windows, text of the system's code page).\n"
    "\n"
    "A progress bar is shown on standard error when it is a terminal.\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 on bad usage;\n"
    "find: 0 when it found programmes, 1 when it found none, 2 on bad usage or when a\n"
    "file cannot be read.\n";

// A one-line progress bar on a terminal.
class TerminalProgress : public ProgressSink {
public:
    explicit TerminalProgress(const char* name) : name_(name), enabled_(isatty(fileno(stderr))) {}
    ~TerminalProgress() override {
        if (enabled_ && drawn_) std::fputs("\n", stderr);
    }
    bool reportProgress(int64_t done, int64_t total) override {
        if (!enabled_) return true;
        int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (percent == last_) return true;
        last_ = percent;
        drawn_ = true;
        char bar[41];
        int filled = percent * 40 / 100;
        for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
        bar[40] = 0;
        std::fprintf(stderr, "\r%s [%s] %3d%%", name_, bar, percent);
        std::fflush(stderr);
        return true;
    }

private:
    const char* name_;
    bool enabled_;
    bool drawn_ = false;
    int last_ = -1;
};

// Loads each file into the store; false (with a message) when one cannot be read.
// With `changes`, the change detection runs after each file that set `changed`.
bool loadFiles(EpgStore* store, char* const* files, int count, ChangeList* changes = nullptr) {
    for (int i = 0; i < count; ++i) {
        const char* path = files[i];
        const char* slash = std::strrchr(path, '/');
        const char* backslash = std::strrchr(path, '\\');
        const char* name = slash > backslash ? slash + 1 : backslash ? backslash + 1 : path;
        TerminalProgress progress(name);
        errno = 0;
        if (loadEpgFile(store, path, &progress) == LoadOutcome::skipped) {
            if (errno != 0)
                std::fprintf(stderr, "corvane-epg: cannot open %s: %s\n", path, std::strerror(errno));
            else
                std::fprintf(stderr, "corvane-epg: cannot read %s: shorter than five bytes\n", path);
            return false;
        }
        if (changes && store->changed) {
            store->changed = 0;
            detectEpgChanges(store, *changes);
        }
    }
    return true;
}

// Standard output for UTF-8 text ending in LF on every platform.
void binaryStandardOutput() {
#ifdef _WIN32
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

class StandardOutput : public ExportOutput {
public:
    void write(std::string_view text) override {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) failed = true;
    }
    bool failed = false;
};

class FileOutput : public ExportOutput {
public:
    explicit FileOutput(AtomicOutputFile& file) : file_(file) {}
    void write(std::string_view text) override { file_.write(text.data(), text.size()); }

private:
    AtomicOutputFile& file_;
};

struct Arguments {
    std::string command;
    std::string output;  // save: the data file; xmltv, json: -o (empty: standard output)
    ExportFilter filter;
    std::vector<char*> files;
    // find
    std::string query;
    bool descriptions = false, kana = false;
    // reservations
    std::optional<int64_t> now;
    std::string epgTimerFile, tvRockFile, settingsFile;
};

// Parses the command line; an empty command after a message on bad usage.
Arguments parseArguments(int argc, char** argv) {
    Arguments a;
    a.command = argv[1];
    const bool exporting = a.command == "xmltv" || a.command == "json";
    const bool reservations = a.command == "reservations";
    const bool finding = a.command == "find";
    if (a.command != "store" && a.command != "list" && a.command != "changes" && a.command != "save" &&
        !exporting && !reservations && !finding) {
        std::fprintf(stderr, "corvane-epg: unknown command '%s' (see --help)\n", argv[1]);
        return {};
    }
    int i = 2;
    if (a.command == "save" && i < argc) a.output = argv[i++];
    bool options = exporting || reservations || finding;
    bool queryGiven = false;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options || arg.empty() || arg[0] != '-') {
            if (finding && !queryGiven) {
                a.query = argv[i];
                queryGiven = true;
            } else {
                a.files.push_back(argv[i]);
            }
            continue;
        }
        if (arg == "--") {
            options = false;
            continue;
        }
        if (finding && (arg == "--desc" || arg == "--kana")) {
            (arg == "--desc" ? a.descriptions : a.kana) = true;
            continue;
        }
        const bool windowed = arg == "--since" || arg == "--until" || arg == "--service";
        const bool known = exporting ? arg == "-o" || windowed
                           : finding ? windowed
                                     : arg == "--now" || arg == "--epgtimer" || arg == "--tvrock" || arg == "--ini";
        if (!known) {
            std::fprintf(stderr, "corvane-epg: unknown option '%s' (see --help)\n", argv[i]);
            return {};
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "corvane-epg: %s needs a value (see --help)\n", argv[i]);
            return {};
        }
        const char* value = argv[++i];
        if (arg == "--now") {
            char* end = nullptr;
            errno = 0;
            const long long seconds = std::strtoll(value, &end, 10);
            if (end == value || *end != '\0' || errno == ERANGE) {
                std::fprintf(stderr, "corvane-epg: bad time '%s' (seconds since 1970)\n", value);
                return {};
            }
            a.now = seconds;
        } else if (arg == "--epgtimer" || arg == "--tvrock" || arg == "--ini") {
            (arg == "--epgtimer" ? a.epgTimerFile : arg == "--tvrock" ? a.tvRockFile : a.settingsFile) = value;
        } else if (arg == "-o") {
            a.output = value;
        } else if (arg == "--service") {
            char* end = nullptr;
            const long id = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || id < 0 || id > 0xFFFF) {
                std::fprintf(stderr, "corvane-epg: bad service id '%s' (a number 0 to 65535)\n", value);
                return {};
            }
            a.filter.serviceIds.push_back(static_cast<int>(id));
        } else if (!parseLocalDateTime(value, arg == "--since" ? &a.filter.since : &a.filter.until)) {
            std::fprintf(stderr,
                         "corvane-epg: bad date and time '%s' for %s "
                         "(YYYY-MM-DD, YYYY-MM-DD HH:MM or YYYY-MM-DD HH:MM:SS)\n",
                         value, argv[i - 1]);
            return {};
        }
    }
    if ((a.files.empty() && !reservations) || (a.command == "save" && a.output.empty())) {
        std::fprintf(stderr, "corvane-epg: %s needs %s (see --help)\n", argv[1],
                     a.command == "save" ? "an output file and at least one input file"
                     : finding           ? "a query and at least one file"
                                         : "at least one file");
        return {};
    }
    return a;
}

// Writes the export of the store to the -o file or to standard output.
bool exportStore(const Arguments& a, const EpgStore& store) {
    auto write = [&](ExportOutput& out) {
        if (a.command == "xmltv") writeXmltv(store, a.filter, out);
        else writeProgrammeJson(store, a.filter, out);
    };
    if (a.output.empty()) {
        binaryStandardOutput();
        StandardOutput out;
        write(out);
        if (std::fflush(stdout) != 0 || out.failed) {
            std::fputs("corvane-epg: cannot write to standard output\n", stderr);
            return false;
        }
        return true;
    }
    AtomicOutputFile file;
    errno = 0;
    if (file.open(a.output.c_str())) {
        FileOutput out(file);
        write(out);
        if (file.commit()) return true;
    }
    std::fprintf(stderr, "corvane-epg: cannot write %s: %s\n", a.output.c_str(),
                 errno ? std::strerror(errno) : "write failed");
    return false;
}

// Collects the reservations of the files named as the program's first tick
// does, and prints them; false (with a message) when a file cannot be read.
bool listReservations(const Arguments& a, const EpgStore& store) {
    ReservationFiles& files = systemReservationFiles();
    for (const std::string* path : {&a.epgTimerFile, &a.tvRockFile}) {
        FileStamp stamp;
        if (!path->empty() && files.stamp(path->c_str(), stamp) != FileStatus::ok) {
            std::fprintf(stderr, "corvane-epg: cannot read %s\n", path->c_str());
            return false;
        }
    }
    // Without --ini no settings file is read: every value has its default.
    IniFileSettings settings(a.settingsFile);
    SettingsServicePreferences preferences(settings);
    const ReservationSources sources{.epgTimer = !a.epgTimerFile.empty(), .tvRock = !a.tvRockFile.empty(),
                                     .jobs = false, .epgTimerFile = a.epgTimerFile.c_str(),
                                     .tvRockFile = a.tvRockFile.c_str()};
    const int64_t now = a.now ? *a.now : static_cast<int64_t>(std::time(nullptr));
    ReservationWatch watch;
    ReservationList list;
    resetReservationWatch(watch);
    collectReservations(watch, sources, {&store, files, preferences, nullptr, now}, list);
    binaryStandardOutput();
    std::fputs(reservationListing(list).c_str(), stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::puts("corvane-epg " CORVANE_VERSION);
        return 0;
    }
    if (std::strcmp(argv[1], "diff") == 0) {
        const std::optional<std::string> listing = argc == 4 ? differenceListing(argv[2], argv[3]) : std::nullopt;
        if (!listing) {
            std::fputs("corvane-epg: diff needs two texts in hex digits (see --help)\n", stderr);
            return 2;
        }
        std::fputs(listing->c_str(), stdout);
        return 0;
    }
    const Arguments arguments = parseArguments(argc, argv);
    if (arguments.command.empty()) return 2;
    const bool finding = arguments.command == "find";
    FindRequest request{.query = arguments.query, .descriptions = arguments.descriptions, .kana = arguments.kana,
                        .filter = arguments.filter};
#ifndef _WIN32
    if (finding) {
        std::optional<std::string> query = utf8ToShiftJis(arguments.query);
        if (!query) {
            std::fputs("corvane-epg: the query is not UTF-8\n", stderr);
            return 2;
        }
        request.query = std::move(*query);
    }
#endif

    EpgStore* store = createStore();
    if (!store) {
        std::fputs("corvane-epg: out of memory\n", stderr);
        return 1;
    }
    int status = 0;
    ChangeList changes;
    if (!loadFiles(store, arguments.files.data(), static_cast<int>(arguments.files.size()),
                   arguments.command == "changes" ? &changes : nullptr)) {
        status = finding ? 2 : 1;
    } else if (finding) {
        const std::string listing = findListing(*store, request);
        binaryStandardOutput();
        std::fputs(listing.c_str(), stdout);
        status = listing.empty() ? 1 : 0;
    } else if (arguments.command == "save") {
        errno = 0;
        if (!writeDataFile(arguments.output.c_str(), *store)) {
            std::fprintf(stderr, "corvane-epg: cannot save %s: %s\n", arguments.output.c_str(),
                         errno ? std::strerror(errno) : "write failed");
            status = 1;
        }
    } else if (arguments.command == "list" || arguments.command == "changes") {
        binaryStandardOutput();
        std::fputs((arguments.command == "list" ? eventListing(*store) : changeListing(changes)).c_str(), stdout);
    } else if (arguments.command == "reservations") {
        if (!listReservations(arguments, *store)) status = 1;
    } else if (arguments.command == "store") {
        std::fputs(storeListing(*store).c_str(), stdout);
    } else if (!exportStore(arguments, *store)) {
        status = 1;
    }
    destroyStore(store);
    std::fflush(stdout);
    return status;
}
