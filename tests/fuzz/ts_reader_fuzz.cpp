// readTransportStreamBytes over arbitrary bytes: captures and recordings are
// seeds as they are. EIT is collected only after a time table; for half of
// the inputs the store already knows the time, as after an earlier file, so
// that EIT anywhere is collected. Each input is read with a block size chosen
// from its length and with the default one, and the stores must come out the
// same; a third read is stopped through the progress sink. Both ways of the
// CRC agree on the input's bytes, from an offset and a start of its choice.
#include "fuzz_support.h"
#include "store/crc32.h"

using namespace corvane;
using namespace corvane::fuzz;

static StorePtr read(const uint8_t* data, size_t size, bool timeKnown, size_t blockSize, int stopAt) {
    StorePtr store = newStore();
    if (timeKnown) {
        store->totYear = 2024, store->totMonth = 1, store->totDay = 1, store->totHour = 12;
        store->totTime = localTimeOf(2024, 1, 1, 12, 0, 0);
    }
    CheckingProgress progress(stopAt);
    readTransportStreamBytes(store.get(), data, size, &progress, blockSize);
    checkStore(*store);
    return store;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const size_t kBlockSizes[] = {1, 188, 1000, 4096, 8191, 8192, 10000, 65536};
    const bool timeKnown = size > 0 && (data[size - 1] & 1);
    const size_t skip = size > 0 ? data[0] % 16 % size : 0;
    const uint32_t start = size >= 4 ? 0xFFFFFFFFu ^ (uint32_t{data[1]} << 24 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 8) : 0xFFFFFFFFu;
    FUZZ_CHECK(!crc32FoldingAvailable() ||
               crc32MpegFolded(data + skip, size - skip, start) == crc32MpegTable(data + skip, size - skip, start));
    StorePtr whole = read(data, size, timeKnown, 0, 0);
    FUZZ_CHECK(sameStores(*whole, *read(data, size, timeKnown, kBlockSizes[size / 3 % 8], 0), true));
    decodeEverything(*whole, 16);
    decodeEverything(*read(data, size, timeKnown, kBlockSizes[size / 3 % 8], 1 + size % 3), 0);
    return 0;
}
