#include "app/service_settings.h"

#include "dialogs/channel_order.h"

namespace corvane {

namespace {

constexpr int kStoredTextCapacity = 100;

}  // namespace

int SettingsServicePreferences::sortValue(const ServiceRecord& service) {
    return settings_.readInt("SetupDialog", "Sort" + channelKey(service), kDefaultSortValue);
}

void SettingsServicePreferences::setSortValue(const ServiceRecord& service, int sortValue) {
    writeInt(settings_, "SetupDialog", "Sort" + channelKey(service), sortValue);
}

int SettingsServicePreferences::columnShown(const ServiceRecord& service) {
    return settings_.readInt("ColumnDisp", channelKey(service), 1);
}

void SettingsServicePreferences::setColumnShown(const ServiceRecord& service, int shown) {
    writeInt(settings_, "ColumnDisp", channelKey(service), shown);
}

std::string SettingsServicePreferences::stationName(const ServiceRecord& service) {
    return settings_.readString("iEPGStationName", channelKey(service), "", kStoredTextCapacity);
}

int SettingsServicePreferences::remoteNumber(const ServiceRecord& service) {
    return settings_.readInt("RemoconChNo", channelKey(service), 0);
}

std::string SettingsServicePreferences::vurdaChNo(const ServiceRecord& service) {
    return settings_.readString("VurdaChNo", channelKey(service), "", kStoredTextCapacity);
}

}  // namespace corvane
