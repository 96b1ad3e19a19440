// What the find bar keeps between runs: its last query and its two check
// boxes, in section "FindBar" of the settings file. This file alone spells
// that section and its keys.
#pragma once

#include <string>

#include "store/settings.h"

namespace corvane {

struct FindBarSettings {
    std::string query;          // "Query": Shift_JIS, as typed
    bool descriptions = false;  // "Description": "説明も検索"
    bool kana = false;          // "Kana": "ひらがな・カタカナを区別しない"
};

// The query is read up to 256 bytes; a switch is on for any value but 0.
FindBarSettings readFindBarSettings(Settings& settings);
void writeFindBarSettings(Settings& settings, const FindBarSettings& values);

}  // namespace corvane
