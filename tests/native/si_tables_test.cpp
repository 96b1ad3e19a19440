// The NIT and SDT handlers fed with whole built sections, as the reader
// hands them on after the CRC check. (The TOT is read in the reader's tests.)
#include "store/si_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "support/store_sections.h"

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

void take(void (*handler)(EpgStore*, const uint8_t*, size_t), EpgStore* store, const bc::Bytes& section) {
    handler(store, section.data(), section.size());
}

bc::Bytes satelliteNit(uint8_t tableId = 0x40) {
    // A BS entry whose service list comes before its satellite descriptor,
    // then a TS information descriptor naming two services, one unknown.
    const bc::NitTransportStream bs{0x4010, 4, concat({bc::serviceListDescriptor({{101, 0x01}, {103, 0xC0}}),
                                                       bc::satelliteDeliveryDescriptor({.frequency = 0x01172748}),
                                                       bc::tsInformationDescriptor({7, "ＢＳ朝日", {{0x0F, {101, 999}}}})})};
    return bc::nitSection({.tableId = tableId, .networkId = 4, .networkDescriptors = {}, .transportStreams = {bs}});
}

bc::Bytes csSdt(uint8_t tableId = 0x42) {
    return bc::sdtSection({.tableId = tableId, .transportStreamId = 1, .originalNetworkId = 6, .services = {
        {.serviceId = 1, .descriptors = bc::serviceDescriptor(0x01, "スカパー", "映画")},
        {.serviceId = 2, .descriptors = bc::serviceDescriptor(0xC0, "スカパー", "データ")},
        {.serviceId = 3, .descriptors = bc::serviceDescriptor(0x01, bc::AribText::raw(bc::Bytes(60, 0x21)), "")},
        {.serviceId = 4, .descriptors = bc::serviceDescriptor(0x01, "", "")}}});
}

TEST(SiTables, NetworkAndServiceDescriptionsDescribeTelevisionServicesOnly) {
    StorePtr store(createStore());
    take(handleNitSection, store.get(), satelliteNit(0x41));  // NIT other: nothing
    EXPECT_EQ(0, store->serviceCount);
    take(handleNitSection, store.get(), satelliteNit());
    ASSERT_EQ(1, store->serviceCount);  // 103 is no TV service, 999 is never created
    const ServiceRecord& bs = *store->services[0];
    EXPECT_EQ(std::tuple(101, 4, 0x4010, 4, 7), std::tuple(int{bs.serviceId}, bs.networkClass(), int{bs.transportStreamId},
                                                            int{bs.deliveryNetworkClass}, int{bs.remoteKeyId}));
    EXPECT_EQ(0, std::memcmp(bs.satelliteFrequency, "\x01\x17\x27\x48", 4));
    EXPECT_EQ(bc::AribText("ＢＳ朝日").bytes, bc::Bytes(bs.tsName, bs.tsName + bs.tsNameLength));

    // The SDT's names, within their fields.
    store.reset(createStore());
    take(handleSdtSection, store.get(), csSdt(0x46));  // SDT other: nothing
    EXPECT_EQ(0, store->serviceCount);
    take(handleSdtSection, store.get(), csSdt());
    ASSERT_EQ(2, store->serviceCount);  // the data service and the one without names get no record
    const ServiceRecord &film = *store->services[0], &wide = *store->services[1];
    EXPECT_EQ(std::tuple(1, 6), std::tuple(int{film.serviceId}, film.networkClass()));
    EXPECT_EQ(bc::AribText("映画").bytes, bc::Bytes(film.serviceName, film.serviceName + film.serviceNameLength));
    EXPECT_EQ(std::tuple(3, 50, 0), std::tuple(int{wide.serviceId}, int{wide.providerNameLength}, int{wide.serviceNameLength}));
}

}  // namespace
}  // namespace corvane
