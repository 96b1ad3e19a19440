// corvane-epg: loads recordings and EPG data files into one store and prints
// what it holds, the way the guide would find it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/epg_store.h"
#include "store/file_io.h"
#include "store/ts_reader.h"
#include "tools/common/difference_listing.h"
#include "tools/common/event_listing.h"
#include "tools/common/store_listing.h"

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
    "\n"
    "Loads the files in the order given into one EPG store. A file whose first\n"
    "three bytes are \"Epg\" is read as an EPG data file, any other as a recorded\n"
    "MPEG-2 transport stream. Data files are merged as the program merges them:\n"
    "the sections loaded before are discarded, the services kept.\n"
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
    "  save OUT.dat FILE...  write what the files hold as an EPG data file; an\n"
    "                        existing OUT.dat is replaced only when the save succeeds\n"
    "  diff A_HEX B_HEX      the pieces of Shift_JIS text A as drawn against text B (both\n"
    "                        in hex), one line each: \"normal HEX\" or \"diff HEX\"\n"
    "\n"
    "A progress bar is shown on standard error when it is a terminal.\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 on bad usage.\n";

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
bool loadFiles(EpgStore* store, char** files, int count) {
    for (int i = 0; i < count; ++i) {
        const char* path = files[i];
        InputFile probe;
        if (!probe.open(path)) {
            std::fprintf(stderr, "corvane-epg: cannot open %s: %s\n", path, std::strerror(errno));
            return false;
        }
        char head[3] = {};
        size_t got = probe.readFully(head, 3);
        probe.close();
        if (got == 3 && std::memcmp(head, "Epg", 3) == 0) {
            if (!readDataFile(store, path)) {
                std::fprintf(stderr, "corvane-epg: cannot read %s\n", path);
                return false;
            }
        } else {
            const char* slash = std::strrchr(path, '/');
            const char* backslash = std::strrchr(path, '\\');
            const char* name = slash > backslash ? slash + 1 : backslash ? backslash + 1 : path;
            TerminalProgress progress(name);
            readTransportStream(store, path, &progress);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    if (command == "diff") {
        const std::optional<std::string> listing = argc == 4 ? differenceListing(argv[2], argv[3]) : std::nullopt;
        if (!listing) {
            std::fputs("corvane-epg: diff needs two texts in hex digits (see --help)\n", stderr);
            return 2;
        }
        std::fputs(listing->c_str(), stdout);
        return 0;
    }
    const bool save = command == "save";
    if (command != "store" && command != "list" && !save) {
        std::fprintf(stderr, "corvane-epg: unknown command '%s' (see --help)\n", argv[1]);
        return 2;
    }
    const int firstFile = save ? 3 : 2;
    if (argc <= firstFile) {
        std::fprintf(stderr, "corvane-epg: %s needs %s (see --help)\n", argv[1],
                     save ? "an output file and at least one input file" : "at least one file");
        return 2;
    }

    EpgStore* store = createStore();
    if (!store) {
        std::fputs("corvane-epg: out of memory\n", stderr);
        return 1;
    }
    int status = 0;
    if (!loadFiles(store, argv + firstFile, argc - firstFile)) {
        status = 1;
    } else if (save) {
        errno = 0;
        if (!writeDataFile(argv[2], *store)) {
            std::fprintf(stderr, "corvane-epg: cannot save %s: %s\n", argv[2],
                         errno ? std::strerror(errno) : "write failed");
            status = 1;
        }
    } else if (command == "list") {
#ifdef _WIN32
        // UTF-8 lines ending in LF on every platform.
        std::fflush(stdout);
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        std::fputs(eventListing(*store).c_str(), stdout);
    } else {
        std::fputs(storeListing(*store).c_str(), stdout);
    }
    destroyStore(store);
    std::fflush(stdout);
    return status;
}
