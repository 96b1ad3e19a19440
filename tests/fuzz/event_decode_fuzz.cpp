// The event decoders over arbitrary sections placed straight into the store:
// the data file lets any bytes into any slot as long as their section_length
// matches, so the decoders must cope with whatever a slot holds.
//
// The input is sections back to back (raw section dumps serve as seeds), each
// as long as its section_length says, cut at the input's end, padded to the
// 19 bytes the data file accepts and its section_length made to match. Each
// goes where its header points: table_id 0x4E/0x4F present/following
// (section_number & 1), else slot (table_id & 1) * 256 + section_number of the
// basic schedule (low nibble below 8, also the baseline when that is empty) or
// the extended one, of one of four services (service_id % 4). The store is
// decoded throughout and its basic slots compared with their baselines (which
// then become copies); then, by bits 0-2 of the input's size, it is decoded
// again after a day roll of the first service, after clearSections, and
// through the data file.
#include "fuzz_support.h"

using namespace corvane;
using namespace corvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StorePtr store = newStore();
    const int services[4] = {findOrCreateService(store.get(), 0, 1024), findOrCreateService(store.get(), 0, 1032),
                             findOrCreateService(store.get(), 4, 101), findOrCreateService(store.get(), 7, 296)};
    for (size_t at = 0, n = 0; at < size && n < 64; ++n) {
        const uint8_t* p = data + at;
        const size_t left = size - at, claimed = left >= 3 ? ((p[1] & 0x0Fu) << 8 | p[2]) + 3u : left;
        Bytes section(p, p + std::min(left, claimed));
        at += section.size();
        section.resize(std::max<size_t>(section.size(), 19));
        section[1] = static_cast<uint8_t>((section[1] & 0xF0) | (section.size() - 3) >> 8);
        section[2] = static_cast<uint8_t>(section.size() - 3);
        ServiceRecord& r = *store->services[services[(section[3] << 8 | section[4]) % 4]];
        const int tid = section[0], seq = (tid & 1) * 256 + section[6];
        const bool basic = (tid | 1) != 0x4F && (tid & 0x0F) < 8;
        SectionSlot& slot = (tid | 1) == 0x4F ? r.presentFollowing[section[6] & 1]
                            : basic           ? r.basicAt(seq)
                                              : r.extendedAt(seq);
        FUZZ_CHECK(storeSection(slot, section.data(), section.size()));
        if (basic && !r.baselineAt(seq).data)
            FUZZ_CHECK(storeSection(r.baselineAt(seq), section.data(), section.size()));
    }
    auto check = [&] { checkStore(*store); decodeEverything(*store, 64); };
    check();
    checkChangeDetection(*store);
    if (size & 1) dayRoll(*store->services[services[0]]), check();
    if (size & 2) clearSections(store.get()), check();
    if (size & 4) checkDataFileRoundTrip(*store);
    return 0;
}
