#include "reserve/registration_setup.h"

#include <cstdio>
#include <utility>

namespace corvane {

namespace {

const char* const widthSection = "iEpgSetupDialog";
const char* const widthKeys[kStationColumnCount] = {"CHNAMEW", "IEPGCHNAMEW", "REMOCONNOW", "VURDACHW"};
const char* const widthDefaults[kStationColumnCount] = {"150", "100", "100", "100"};
constexpr int widthTextCapacity = 101;

// Bytes a setting keeps: texts of 255, the account and password of 99.
constexpr size_t settingTextLimit = 255;
constexpr size_t accountTextLimit = 99;
constexpr int lowestPresetId = 0;
constexpr int highestPresetId = 9;

std::string formatted(const char* format, const char* text, int number) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, text, number);
    return buffer;
}

void warn(MessageBoxes& messages, const std::string& text) {
    messages.show(text, kRegistrationSetupCaption, message_box::ok | message_box::iconWarning);
}

// True when `text` fits; otherwise a message naming the field.
bool fits(const std::string& text, size_t limit, const char* label, MessageBoxes& messages) {
    if (text.size() <= limit) return true;
    warn(messages, formatted("%sは%dバイト以内で入力してください。", label, static_cast<int>(limit)));
    return false;
}

int flag(int value) { return value != 0 ? 1 : 0; }

// Each option flag of a preset and its check box.
const std::pair<int TunerecPreset::*, int PresetControls::*> optionFlags[] = {
    {&TunerecPreset::powerOn, &PresetControls::powerOn}, {&TunerecPreset::powerOff, &PresetControls::powerOff},
    {&TunerecPreset::b25, &PresetControls::b25},         {&TunerecPreset::bcsFile, &PresetControls::bcsFile},
    {&TunerecPreset::sel, &PresetControls::sel},         {&TunerecPreset::logonOnly, &PresetControls::logonOnly},
    {&TunerecPreset::udp, &PresetControls::udp}};

// The service of a row: the one at its index when it still has the row's
// channel key, else the one with that key; -1 when the store holds none.
int serviceOfRow(const EpgStore& store, const StationRow& row) {
    const auto hasKey = [&](int index) {
        return store.services[index] && channelKey(*store.services[index]) == row.key;
    };
    if (row.service >= 0 && row.service < kMaxServices && hasKey(row.service)) return row.service;
    for (int index = 0; index < kMaxServices && store.services[index]; ++index)
        if (hasKey(index)) return index;
    return -1;
}

}  // namespace

std::string& StationRow::text(int column) {
    switch (column) {
        case 1:
            return stationName;
        case 2:
            return remoteNumber;
        case 3:
            return vurdaChNo;
        default:
            return columnName;
    }
}

std::vector<StationRow> stationRows(const EpgStore& store, const ChannelInfo (&channels)[kMaxServices]) {
    std::vector<StationRow> rows;
    for (int index = 0; index < kMaxServices && store.services[index]; ++index) {
        const ChannelInfo& info = channels[index];
        if (info.stationName.empty()) continue;
        const ServiceRecord& record = *store.services[index];
        StationRow row;
        row.service = index;
        row.serviceId = record.serviceId;
        row.key = channelKey(record);
        row.columnName = info.columnName;
        row.stationName = info.stationName;
        row.remoteNumber = std::to_string(info.remoteNumber);
        row.vurdaChNo = info.vurdaChNo;
        rows.push_back(std::move(row));
    }
    return rows;
}

StationColumnWidths readStationColumnWidths(Settings& settings) {
    StationColumnWidths widths{};
    for (int column = 0; column < kStationColumnCount; ++column)
        widths[column] = parseDecimal(
            settings.readString(widthSection, widthKeys[column], widthDefaults[column], widthTextCapacity));
    return widths;
}

PresetControls presetControls(const TunerecPreset& preset) {
    PresetControls controls;
    controls.name = preset.name;
    controls.executablePath = preset.executablePath;
    controls.saveFolder = preset.saveFolder;
    controls.id = std::to_string(preset.id);
    controls.udpHostName = preset.udpHostName;
    controls.account = preset.account;
    controls.password = controls.passwordConfirm = preset.password;
    controls.otherOptions = preset.otherOptions;
    for (const auto& [stored, box] : optionFlags) controls.*box = flag(preset.*stored);
    return controls;
}

PresetSave savePresetControls(const PresetControls& controls, TunerecPreset& preset, MessageBoxes& messages) {
    const bool withAccount = !controls.account.empty();
    if (!fits(controls.account, accountTextLimit, "アカウント名", messages)) return PresetSave::refused;
    if (withAccount && !fits(controls.password, accountTextLimit, "パスワード", messages)) return PresetSave::refused;
    const std::pair<const std::string*, const char*> texts[] = {{&controls.name, "名前"},
                                                                {&controls.executablePath, "tunerecアプリ"},
                                                                {&controls.saveFolder, "保存フォルダ"},
                                                                {&controls.udpHostName, "UDP"},
                                                                {&controls.otherOptions, "他"}};
    for (const auto& [text, label] : texts)
        if (!fits(*text, settingTextLimit, label, messages)) return PresetSave::refused;
    const int id = parseDecimal(controls.id);
    if (id < lowestPresetId || id > highestPresetId) {
        warn(messages, "IDは0から9までの数値を指定してください。");
        return PresetSave::refused;
    }
    if (withAccount && controls.password != controls.passwordConfirm) {
        messages.show("パスワードを再入力してください", kRegistrationSetupCaption,
                      message_box::okCancel | message_box::iconInformation);
        return PresetSave::passwordsDiffer;
    }
    if (withAccount) preset.password = controls.password;
    preset.account = controls.account;
    preset.name = controls.name;
    preset.executablePath = controls.executablePath;
    preset.saveFolder = controls.saveFolder;
    preset.udpHostName = controls.udpHostName;
    preset.otherOptions = controls.otherOptions;
    for (const auto& [stored, box] : optionFlags) preset.*stored = flag(controls.*box);
    preset.id = id;
    return PresetSave::saved;
}

bool checkRegistrationTexts(const RegistrationSettings& registration, MessageBoxes& messages) {
    return fits(registration.hostName, settingTextLimit, "TvRock番組表のアドレス", messages) &&
           fits(registration.fileName, settingTextLimit, "iEPG対応アプリ", messages);
}

bool checkStationText(int column, const std::string& text, MessageBoxes& messages) {
    if (column < 1 || column >= kStationColumnCount) return true;
    return fits(text, kStationTextLimit, kStationColumnTitles[column], messages);
}

void writeRegistrationSetup(Settings& settings, ServicePreferences& preferences, const EpgStore* store,
                            const RegistrationSetup& setup) {
    writeRegistrationSettings(settings, setup.registration);
    for (size_t index = 0; index < setup.presets.size(); ++index)
        writeTunerecPreset(settings, static_cast<int>(index), setup.presets[index]);
    for (int column = 0; column < kStationColumnCount; ++column)
        writeInt(settings, widthSection, widthKeys[column], setup.columnWidths[column]);
    if (!store) return;
    for (const StationRow& row : setup.rows) {
        const int service = serviceOfRow(*store, row);
        if (service < 0) continue;
        const ServiceRecord& record = *store->services[service];
        preferences.setStationName(record, row.stationName);
        preferences.setRemoteNumber(record, row.remoteNumber);
        preferences.setVurdaChNo(record, row.vurdaChNo);
    }
}

void acceptRegistrationSetup(RegistrationSetupHost& app, const RegistrationSetup& setup) {
    writeRegistrationSetup(app.settings, app.preferences, app.store, setup);
    app.registration = setup.registration;
    if (registrationSwitchOn(app.registration.epgTimer)) app.registration.tvRock = 0;
    app.presets = setup.presets;
    if (!app.store) return;
    for (const StationRow& row : setup.rows) {
        const int service = serviceOfRow(*app.store, row);
        if (service >= 0) app.layout.reloadChannelValues(*app.store, service);
    }
}

}  // namespace corvane
