// readDataFileBytes over arbitrary bytes and damaged saved files. An input
// starting with "Epg" is the file as it is (saved files serve as seeds); any
// other input is the body of a file behind "Epg00" or "Epg01" (bit 0 of its
// first byte), its other bytes following. Each file is loaded into a new
// store, which must survive a save and reload, and into a store that already
// holds a day of schedule with baselines, so that merging and the baseline
// alignment run; that store is then decoded throughout, compared with its
// baselines and loaded again. Loading with fewer of the file's bytes kept
// where the sections are lent from gives the same store.
#include "fuzz_support.h"

using namespace corvane;
using namespace corvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool whole = size >= 3 && std::memcmp(data, "Epg", 3) == 0;
    Bytes file = whole ? Bytes(data, data + size) : Bytes{'E', 'p', 'g', '0', uint8_t(data[0] & 1 ? '0' : '1')};
    if (!whole) file.insert(file.end(), data + 1, data + size);
    // Anything that is not a whole header leaves the store untouched.
    auto rejected = [&](size_t n) {
        StorePtr store = newStore();
        FUZZ_CHECK(!readDataFileBytes(store.get(), data, n) && store->serviceCount == 0 && store->changed == 0);
    };
    if (!whole) rejected(size);
    for (size_t cut = 0; whole && cut < 5 && cut <= size; ++cut) rejected(cut);
    if (file.size() < 5) return 0;

    StorePtr fresh = newStore();
    FUZZ_CHECK(readDataFileBytes(fresh.get(), file.data(), file.size()) && fresh->changed == 1);
    checkStore(*fresh);
    checkDataFileRoundTrip(*fresh);
    StorePtr limited = newStore();
    FUZZ_CHECK(readDataFileBytes(limited.get(), file.data(), file.size(), 1 + data[0] * 131u % file.size()));
    FUZZ_CHECK(sameStores(*fresh, *limited, true));

    // The first EIT sections of the sample recording, files as broadcast.
    StorePtr merged = newStore();
    for (size_t i = 0, n = 0; i < sampleSections().size() && n < 160; ++i) {
        const auto& [pid, section] = sampleSections()[i];
        if (pid == bc::kEitPid) storeEitSection(merged.get(), section.data(), section.size()), ++n;
    }
    const int before = merged->serviceCount;
    FUZZ_CHECK(readDataFileBytes(merged.get(), file.data(), file.size()) && merged->serviceCount >= before);
    checkStore(*merged);
    for (int i = 0; i < merged->serviceCount; ++i)
        for (int k = 0; k < kSlotsPerTable; ++k) FUZZ_CHECK(merged->services[i]->basicAt(k).updateCount == 1);
    decodeEverything(*merged);
    checkChangeDetection(*merged);
    FUZZ_CHECK(readDataFileBytes(merged.get(), file.data(), file.size()));
    checkStore(*merged);
    decodeEverything(*merged, 0);
    return 0;
}
