// Time of the XMLTV and JSON exports of the dense benchmark guide (300
// services, eight days, about 100,000 programmes), the load excluded: the
// documents are counted, not stored. run-bench.sh adds load and export of a
// 1 GB recording with corvane-epg against `corvane-epg store`.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string_view>

#include "bench/dense_guide.h"
#include "tools/common/guide_export.h"
#include "tools/common/json_writer.h"
#include "tools/common/xmltv_writer.h"

using namespace corvane;

namespace {

class CountingOutput : public ExportOutput {
public:
    void write(std::string_view text) override { bytes += text.size(); }
    size_t bytes = 0;
};

const char* only = nullptr;  // the one measurement asked for on the command line

template <typename Export>
void measure(const char* name, Export exportTo) {
    if (only && std::string_view(only) != name) return;
    double best = 1e9;
    size_t bytes = 0;
    for (int round = 0; round < 5; ++round) {
        CountingOutput out;
        auto start = std::chrono::steady_clock::now();
        exportTo(out);
        auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
        bytes = out.bytes;
    }
    std::printf("%-6s %7.1f ms, %6.1f MB%s\n", name, best, bytes / 1e6,
                std::string_view(name) == "decode" ? "" : " (goal < 300 ms)");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) only = argv[1];  // decode, xmltv or json
    size_t programmes = 0;
    EpgStore* store =
        bench::denseStore(broadcast::broadcastTime(2026, 12, 7), {3600, 1200, 1800, 1800, 1200, 2400}, programmes);
    std::printf("services %d, programmes %zu\n", store->serviceCount, programmes);
    // What both share: choosing and decoding the programmes, texts to UTF-8.
    measure("decode", [&](ExportOutput& out) {
        GuideExport guide(*store, {});
        ExportProgramme p;
        for (const ExportChannel& c : guide.channels())
            for (const EventView& e : c.events)
                if (guide.decode(c, e, p)) out.write(p.name);
    });
    measure("xmltv", [&](ExportOutput& out) { writeXmltv(*store, {}, out); });
    measure("json", [&](ExportOutput& out) { writeProgrammeJson(*store, {}, out); });
    destroyStore(store);
    return 0;
}
