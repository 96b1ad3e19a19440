// corvane-epg: loads recordings and EPG data files into one store and prints
// what it holds, the way the guide would find it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/epg_file.h"
#include "store/epg_store.h"
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
    "  save OUT.dat FILE...  write what the files hold as an EPG data file; an\n"
    "                        existing OUT.dat is replaced only when the save succeeds\n"
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
