// The guide's own settings: the two switches of the settings menu (section
// "Setup") and the view settings of section "ViewSetup" (geometry, detail
// text, reservation marks, the two programme fonts). Plain values read
// through the settings seam; this file alone spells their keys.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

// The platform's logical-font record, field by field: what the font chooser
// edits and what fonts are created from.
struct FontRecord {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;   // 0: the default precision, quality and pitch
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {};     // NUL-terminated
};

// The record a font is created from: height -|size|, Shift_JIS, the face name
// cut to 31 bytes on a whole character.
FontRecord fontRecordOf(const FontSetting& setting);
// The font a record describes, in `color`: face, height as the record holds
// it, weight, and italic, underline and strike-out as 0 or 1.
FontSetting fontSettingOf(const FontRecord& record, uint32_t color);

// Section "ViewSetup". Values are taken as stored, except the minute height
// and the column width, which are held to the bounds the guide can lay out
// (guide_geometry.h): their absolute value, at least the lowest and at most
// the highest bound.
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

// The reservation marks ("EpgTimerDisp", "TvRockDisp", "TunerecDisp") a view
// takes when their keys are absent: on for the kinds of registration that are
// on, so that what a user registers is framed from the first start.
struct ReservationMarkDefaults {
    int epgTimer = 0;
    int tvRock = 0;
    int tunerec = 0;
};

ViewSettings readViewSettings(Settings& settings, const ReservationMarkDefaults& marks = {});

// The keys of section "ViewSetup" and their values as the view setup dialog
// writes them, in writing order: "HourHight", "ChannelWidth", "ContDisp"
// ("%d"); face names, colours ("%06x"), sizes ("%d" of the absolute height),
// weights and effects ("%d") of both fonts; the three reservation marks
// ("%06x", so 1 is "000001") and "TvRockProgName".
std::vector<std::pair<std::string, std::string>> viewSetupTexts(const ViewSettings& view);
void writeViewSetup(Settings& settings, const ViewSettings& view);

}  // namespace corvane
