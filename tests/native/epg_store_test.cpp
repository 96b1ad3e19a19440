#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "store/epg_store.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

// The id of the first event of a stored section; -1 for an empty slot.
int firstEventId(const SectionSlot& slot) { return slot.data ? (slot.data[14] << 8) | slot.data[15] : -1; }

const int64_t kDay = 86400;
const int64_t kMonday = at(0, 0);

}  // namespace

TEST(EpgStore, ServicesAreKeptSortedUpToThreeHundred) {
    StorePtr store(createStore());
    // (network, service_id, index): BS with the same id is a second record.
    for (auto [network, id, index] : {std::tuple{0, 1032, 0}, {0, 1024, 0}, {4, 1024, 2}, {0, 1032, 1}})
        EXPECT_EQ(index, findOrCreateService(store.get(), network, id)) << id;
    EXPECT_EQ(std::tuple(3, 1024, 0x4000),
              std::tuple(store->serviceCount, store->services[0]->serviceId, store->services[2]->networkWord));

    store.reset(createStore());
    for (int id = 1; id <= kMaxServices; ++id) ASSERT_EQ(id - 1, findOrCreateService(store.get(), 0, id * 2));
    EXPECT_EQ(kMaxServices, findOrCreateService(store.get(), 0, 1));      // would sort first
    EXPECT_EQ(kMaxServices, findOrCreateService(store.get(), 6, 5));      // would sort last
    EXPECT_EQ(149, findOrCreateService(store.get(), 0, 300));             // existing ones still found
    // Sections for a service that has no room are dropped.
    put(store.get(), eit(0x50, 7, 0, 1, {event(1, kMonday, 30)}));
    EXPECT_EQ(0, store->changed);
}

TEST(EpgStore, SectionsGoToTheirSlotsOrAreDropped) {
    StorePtr store(createStore());
    // Present/following has two slots only, "other" present/following (0x4F) is
    // not kept, nor are tables beyond the first two of a kind (0x52, 0x5A).
    for (auto [table, section] : {std::pair<uint8_t, uint8_t>{0x4E, 0}, {0x4E, 1}, {0x4E, 2}, {0x4F, 0}, {0x50, 9},
                                  {0x51, 3}, {0x59, 4}, {0x52, 5}, {0x5A, 6}})
        put(store.get(), eit(table, 100, section, 0, {event(1, kMonday + 3600, 30)}));
    put(store.get(), eit(0x50, 100, 7, 0, {}));  // no event: section_length 15

    ASSERT_EQ(1, store->serviceCount);
    const ServiceRecord& r = *store->services[0];
    // Basic slots get their first copy as baseline, extended ones none.
    for (const SectionSlot* slot : {&r.presentFollowing[0], &r.presentFollowing[1], &r.basicAt(9), &r.basicAt(256 + 3),
                                    &r.extendedAt(256 + 4), &r.baselineAt(9)})
        EXPECT_NE(nullptr, slot->data);
    EXPECT_EQ(nullptr, r.baselineAt(256 + 4).data);
    int stored = 0;
    for (int k = 0; k < kSlotsPerTable; ++k)
        stored += (r.basicAt(k).data != nullptr) + (r.extendedAt(k).data != nullptr);
    EXPECT_EQ(3, stored);

    // Actual and other schedules of one service share a slot.
    put(store.get(), eit(0x60, 100, 9, 3, {event(2, kMonday + 3600, 60)}));
    EXPECT_EQ(0x60, r.basicAt(9).data[0]);
}

TEST(EpgStore, VersionsCountUpdatesAndSlotsKeepTheLatestCopy) {
    StorePtr store(createStore());
    bc::Bytes first = eit(0x50, 100, 0, 5, {event(1, kMonday + 3600, 30)});
    put(store.get(), first);
    const ServiceRecord& r = *store->services[0];
    EXPECT_EQ(std::tuple(1, 1), std::tuple(r.basicAt(0).updateCount, store->changed));
    store->changed = 0;
    bc::Bytes sameVersion = eit(0x50, 100, 0, 5, {event(1, kMonday + 3600, 45)});
    put(store.get(), sameVersion);
    EXPECT_EQ(std::tuple(1, 0), std::tuple(r.basicAt(0).updateCount, store->changed));
    EXPECT_EQ(sameVersion, slotBytes(r.basicAt(0)));

    put(store.get(), eit(0x50, 100, 0, 6, {event(1, kMonday + 3600, 60)}));
    EXPECT_EQ(std::tuple(2, 1), std::tuple(r.basicAt(0).updateCount, store->changed));
    EXPECT_EQ(first, slotBytes(r.baselineAt(0)));  // the baseline stays the first copy ever received
}

TEST(EpgStore, NewerDayRollsTheScheduleAndOlderDayIsDropped) {
    StorePtr store(createStore());
    // Day 0: slots 0 and 5; day 1: slot 64 (+ its extended twin); day 7: slot 448.
    put(store.get(), eit(0x50, 100, 0, 1, {event(10, kMonday + 3600, 30)}));
    put(store.get(), eit(0x50, 100, 5, 1, {event(15, kMonday + 5 * 3600, 30)}));
    put(store.get(), eit(0x58, 100, 3, 1, {event(13, kMonday + 3 * 3600, 30)}));
    put(store.get(), eit(0x50, 100, 64, 1, {event(64, kMonday + kDay + 3600, 30)}));
    put(store.get(), eit(0x51, 100, 192, 1, {event(99, kMonday + 7 * kDay + 3600, 30)}));
    const ServiceRecord& r = *store->services[0];
    ASSERT_EQ(99, firstEventId(r.basicAt(448)));

    // An older day in a slot that holds a newer one is dropped.
    put(store.get(), eit(0x50, 100, 64, 2, {event(1, kMonday + 3600, 30)}));
    EXPECT_EQ(64, firstEventId(r.basicAt(64)));

    // The next day's section for slot 0 moves everything one day earlier.
    put(store.get(), eit(0x50, 100, 0, 1, {event(70, kMonday + kDay + 3600, 30)}));
    EXPECT_EQ(70, firstEventId(r.basicAt(0)));  // new section, after the roll
    EXPECT_EQ(99, firstEventId(r.basicAt(384)));  // old 448
    for (int k = 448; k < kSlotsPerTable; ++k) EXPECT_EQ(nullptr, r.basicAt(k).data) << k;
    // The last programme section of the day that passed is kept as present/following.
    EXPECT_EQ(std::pair(15, 13), std::pair(firstEventId(r.presentFollowing[0]), firstEventId(r.presentFollowing[1])));
    EXPECT_TRUE(!r.basicAt(5).data && !r.extendedAt(3).data);
    // After the roll slot 0 held the old slot 64 of the same version: the
    // new copy replaced it without counting as an update.
    EXPECT_EQ(std::pair(1, 64), std::pair(int{r.basicAt(0).updateCount}, firstEventId(r.baselineAt(0))));
}

TEST(EpgStore, ExtendedEventIsFoundWithPresentFollowingFallbacks) {
    StorePtr store(createStore());
    // The id of the event found for service 0 at broadcast time t; -1 for none.
    auto idAt = [&](int64_t t) {
        EventView found = findExtendedEventAt(store.get(), 0, localOf(t));
        return found ? found.eventId() : -1;
    };
    bc::Bytes extended = bc::extendedEventDescriptors({{"内容", "詳しい説明"}});
    const int64_t nine = kMonday + 9 * 3600;
    // Extended schedule: 09:00-10:00 with a detail, 10:00-11:00 without one.
    put(store.get(), eit(0x58, 100, 0, 1, {event(1, nine, 60, extended), event(2, nine + 3600, 60)}));
    // After the last, before the first (no fallback); without detail and no fallback used: the event itself.
    EXPECT_EQ(std::tuple(1, -1, -1, 2),
              std::tuple(idAt(nine + 1800), idAt(nine + 3 * 3600), idAt(nine - 3600), idAt(nine + 3600 + 60)));

    // Before the first scheduled event the present/following section is asked.
    put(store.get(), eit(0x4E, 100, 0, 1, {event(7, nine - 3600, 60, extended)}));
    EXPECT_EQ(7, idAt(nine - 1800));

    // With the first fallback used, an event without detail continues into
    // present/following [1], which carries the extended twin of a rolled day.
    put(store.get(), eit(0x4E, 100, 0, 2, {event(8, nine - 3600, 60)}));
    put(store.get(), eit(0x4E, 100, 1, 1, {event(9, nine - 3600, 60, extended)}));
    EXPECT_EQ(9, idAt(nine - 3600 + 60));

    EXPECT_FALSE(findExtendedEventAt(nullptr, 0, localOf(nine)));
}

TEST(EpgStore, DatesAndEventHeadersOnTheBroadcastClock) {
    auto date = [](int mjd) { Date d = mjdToDate(mjd); return std::tuple(d.year, d.month, d.day); };
    EXPECT_EQ(std::tuple(1993, 10, 13), date(0xC079));
    EXPECT_EQ(std::tuple(2024, 2, 29), date(bc::modifiedJulianDate(bc::broadcastTime(2024, 2, 29))));
    bc::Bytes section = bc::eitSection({.tableId = 0x4E, .serviceId = 101, .transportStreamId = 0x40F1,
                                        .originalNetworkId = 4, .lastSectionNumber = 1,
                                        .events = {{.eventId = 7, .start = kMonday + 23 * 3600 + 45 * 60 + 59,
                                                    .duration = 5400 + 59, .freeCaMode = true, .descriptors = {}}}});
    const auto view = [&] { return EventCursor(section.data(), section.size()).next(); };
    // 23:45:59 for 1:30:59: seconds count neither in the start nor in the length, on the
    // broadcast's own clock whatever the machine's zone, nor in local time.
    EXPECT_EQ(std::tuple(kMonday + 23 * 3600 + 45 * 60, int64_t{5400}, true, false, false),
              std::tuple(view().broadcastStart(), view().durationSeconds(), view().freeCaMode(),
                         view().durationUndefined(), view().startUndefined()));
    EXPECT_EQ(std::pair(localOf(kMonday + 23 * 3600 + 45 * 60), localOf(kMonday + 25 * 3600 + 15 * 60)),
              std::pair(view().timeRange().start, view().timeRange().end));
    std::fill_n(section.begin() + kSectionHeaderSize + 2, 5, 0xFF);
    EXPECT_TRUE(view().startUndefined());
}
