// The per-service preferences of the guide kept in the settings file, each
// under the service's channel key: "Sort<key>" of section "SetupDialog",
// sections "ColumnDisp", "iEPGStationName", "RemoconChNo" and "VurdaChNo".
// This file alone spells them; every read goes to the file.
#pragma once

#include "guide/service_preferences.h"
#include "store/settings.h"

namespace corvane {

class SettingsServicePreferences final : public ServicePreferences {
public:
    explicit SettingsServicePreferences(Settings& settings) : settings_(settings) {}

    int sortValue(const ServiceRecord& service) override;
    void setSortValue(const ServiceRecord& service, int sortValue) override;
    int columnShown(const ServiceRecord& service) override;
    void setColumnShown(const ServiceRecord& service, int shown) override;
    std::string stationName(const ServiceRecord& service) override;
    int remoteNumber(const ServiceRecord& service) override;
    std::string vurdaChNo(const ServiceRecord& service) override;

private:
    Settings& settings_;
};

}  // namespace corvane
