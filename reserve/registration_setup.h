// The registration setup ("iEPG設定") without its window: the station rows it
// lists, how the preset controls are saved into a preset, and what "OK"
// writes and changes. Section "iEpgSetupDialog" (the station list's column
// widths) is spelled here alone.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "guide/guide_layout.h"
#include "guide/service_preferences.h"
#include "reserve/message_boxes.h"
#include "reserve/registration_settings.h"
#include "reserve/tunerec_preset.h"
#include "store/epg_store.h"
#include "store/settings.h"

namespace corvane {

// What the dialog works on: the program's settings file, its registration
// settings and presets, the preset both registration dialogs open on, the
// store and the guide's channel list.
struct RegistrationSetupHost {
    Settings& settings;
    ServicePreferences& preferences;
    RegistrationSettings& registration;
    std::vector<TunerecPreset>& presets;
    int& currentPreset;  // 0 to 8, lives for the process
    const EpgStore* store;
    GuideLayout& layout;
};

inline constexpr const char* kRegistrationSetupCaption = "iEPG設定";

// The station list: "表示局名" (never edited), "iEPG登録局名", "リモコンNo.",
// "物理CH".
inline constexpr int kStationColumnCount = 4;
inline constexpr const char* kStationColumnTitles[kStationColumnCount] = {"表示局名", "iEPG登録局名", "リモコンNo.",
                                                                          "物理CH"};
using StationColumnWidths = std::array<int, kStationColumnCount>;
// An edited cell holds at most this many bytes: what the guide reads back.
inline constexpr int kStationTextLimit = 99;

struct StationRow {
    int service = 0;           // store service index when the row was added
    int serviceId = 0;         // the row's item value
    std::string key;           // the service's channel key
    std::string columnName;    // column 0
    std::string stationName;   // column 1
    std::string remoteNumber;  // column 2, as typed
    std::string vurdaChNo;     // column 3

    // The text of column 1, 2 or 3 (column 0 for anything else).
    std::string& text(int column);
    const std::string& text(int column) const { return const_cast<StationRow*>(this)->text(column); }
    bool operator==(const StationRow&) const = default;
};

// One row per service of the store, in service order up to the first empty
// entry, whose station name (as the last layout left it) is not empty.
std::vector<StationRow> stationRows(const EpgStore& store, const ChannelInfo (&channels)[kMaxServices]);

// "CHNAMEW", "IEPGCHNAMEW", "REMOCONNOW", "VURDACHW" of "iEpgSetupDialog":
// defaults 150, 100, 100, 100.
StationColumnWidths readStationColumnWidths(Settings& settings);

// The preset controls' values: texts as typed, boxes 1 when ticked.
struct PresetControls {
    std::string name;
    std::string executablePath;
    std::string saveFolder;
    std::string account;
    std::string password;
    std::string passwordConfirm;
    std::string id;
    std::string udpHostName;
    std::string otherOptions;
    int powerOn = 0, powerOff = 0, b25 = 0, bcsFile = 0, sel = 0, logonOnly = 0, udp = 0;
    bool operator==(const PresetControls&) const = default;
};

// What loading `preset` puts into the controls (both password fields get the
// stored password).
PresetControls presetControls(const TunerecPreset& preset);

// Saves the controls into `preset`. With an account name the two password
// fields must match ("パスワードを再入力してください", OK and Cancel); without
// one the password is neither compared nor stored. A text longer than its
// setting holds, or an "ID" outside 0 to 9 (a job keeps one digit of it), is
// refused with a message naming the field. On refusal `preset` is unchanged;
// the answer tells a password mismatch (the dialog asks for both passwords
// again) from the other refusals.
enum class PresetSave { saved, refused, passwordsDiffer };
PresetSave savePresetControls(const PresetControls& controls, TunerecPreset& preset, MessageBoxes& messages);

// False, after a message naming the field, when "HostName" or "FileName"
// is longer than its setting holds.
bool checkRegistrationTexts(const RegistrationSettings& registration, MessageBoxes& messages);

// False, after a message naming the column, when an edited cell is longer
// than the guide reads back.
bool checkStationText(int column, const std::string& text, MessageBoxes& messages);

// Everything "OK" hands over.
struct RegistrationSetup {
    RegistrationSettings registration;
    std::vector<TunerecPreset> presets;
    std::vector<StationRow> rows;
    StationColumnWidths columnWidths{};
};

// Every write of "OK", in this order: the registration settings; each
// preset from 0 (its keys, then its account and password); the column
// widths; per row, its station name, remote number and device channel under
// the channel key. A row whose service the store no longer holds is skipped.
void writeRegistrationSetup(Settings& settings, ServicePreferences& preferences, const EpgStore* store,
                            const RegistrationSetup& setup);

// "OK": writes everything, then the program takes the registration settings
// and presets, and each row's service its station name, remote number and
// device channel as the guide reads them back (an emptied cell gives the
// default a layout would).
void acceptRegistrationSetup(RegistrationSetupHost& app, const RegistrationSetup& setup);

}  // namespace corvane
