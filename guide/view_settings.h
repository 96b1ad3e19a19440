// The guide's own settings: the two switches of the settings menu (section
// "Setup") and the view settings of section "ViewSetup" (geometry, detail
// text, reservation marks, the two programme fonts). Plain values read
// through the settings seam; this file alone spells their keys.
#pragma once

#include <cstdint>
#include <string>

#include "store/settings.h"

namespace corvane {

// Section "Setup": the two switches of the settings menu.
struct ViewSwitches {
    int nowTimeLine = 1;  // draw the line of the current time
    int viewChNo = 0;     // channel numbers in the column headers
};

// Missing keys keep the values of `current`.
ViewSwitches readViewSwitches(Settings& settings, const ViewSwitches& current = ViewSwitches{});
void writeViewSwitches(Settings& settings, const ViewSwitches& switches);

// One of the two guide fonts; the character set is always Shift_JIS (128).
struct FontSetting {
    std::string faceName;  // at most 31 bytes
    int size = 12;         // as stored: negative and positive values mean the same
    int weight = 0;        // 0 = the default weight
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    uint32_t color = 0;    // 0x00BBGGRR

    static constexpr int charSet = 128;
    // Fonts are created with this height: -|size|, a character height.
    int creationHeight() const { return size < 0 ? size : -size; }
};

// Section "ViewSetup". Values are taken as stored, without range checks.
struct ViewSettings {
    int hourHight = 2;      // "HourHight": pixels per minute
    int channelWidth = 180; // "ChannelWidth": pixels per guide column
    int contDisp = 1;       // "ContDisp": programme description under the title
    int epgTimerDisp = 0;   // "EpgTimerDisp", "TvRockDisp", "TunerecDisp":
    int tvRockDisp = 0;     //   mark programmes reserved in that application
    int tunerecDisp = 0;
    std::string tvRockProgName = "D:\\Vurda\\tvrock.sch";  // at most 255 bytes
    FontSetting nameFont;   // "NameFont..." keys
    FontSetting contFont;   // "ContFont..." keys

    ViewSettings();
};

ViewSettings readViewSettings(Settings& settings);

}  // namespace corvane
