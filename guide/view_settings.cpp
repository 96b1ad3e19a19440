#include "guide/view_settings.h"

#include <cstdio>
#include <cstring>

#include "guide/number_field.h"
#include "guide/guide_geometry.h"

namespace corvane {

namespace {

const char* const setupSection = "Setup";
const char* const viewSection = "ViewSetup";

std::string decimal(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    return text;
}

std::string sixHexDigits(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(value));
    return text;
}

void readFont(Settings& settings, const std::string& prefix, FontSetting& font) {
    const char* const section = viewSection;
    font.faceName = settings.readString(section, prefix + "FontName", font.faceName, 32);
    font.color = parseHexColor(settings.readString(section, prefix + "FontColor", sixHexDigits(font.color), 100));
    font.size = settings.readInt(section, prefix + "FontSize", font.size);
    font.weight = settings.readInt(section, prefix + "FontWeight", font.weight);
    font.italic = settings.readInt(section, prefix + "FontItalic", font.italic);
    font.underline = settings.readInt(section, prefix + "FontUnderline", font.underline);
    font.strikeOut = settings.readInt(section, prefix + "FontStrikeOut", font.strikeOut);
}

struct FontKeys {
    const char* key;  // after the "Name" or "Cont" prefix
    std::string (*value)(const FontSetting&);
};

// In writing order: every key for both fonts before the next key.
const FontKeys fontKeys[] = {
    {"FontName", [](const FontSetting& f) { return f.faceName; }},
    {"FontColor", [](const FontSetting& f) { return sixHexDigits(f.color); }},
    {"FontSize", [](const FontSetting& f) { return decimal(f.size < 0 ? -int64_t{f.size} : int64_t{f.size}); }},
    {"FontWeight", [](const FontSetting& f) { return decimal(f.weight); }},
    {"FontItalic", [](const FontSetting& f) { return decimal(f.italic); }},
    {"FontUnderline", [](const FontSetting& f) { return decimal(f.underline); }},
    {"FontStrikeOut", [](const FontSetting& f) { return decimal(f.strikeOut); }},
};

}  // namespace

FontRecord fontRecordOf(const FontSetting& setting) {
    FontRecord record;
    record.height = setting.creationHeight();
    record.weight = setting.weight;
    record.italic = setting.italic != 0;
    record.underline = setting.underline != 0;
    record.strikeOut = setting.strikeOut != 0;
    record.charSet = FontSetting::charSet;
    const std::string face = cutShiftJis(setting.faceName, sizeof record.faceName - 1);
    std::memcpy(record.faceName, face.data(), face.size());
    return record;
}

FontSetting fontSettingOf(const FontRecord& record, uint32_t color) {
    FontSetting setting;
    const size_t length = strnlen(record.faceName, sizeof record.faceName - 1);
    setting.faceName = cutShiftJis(std::string(record.faceName, length), sizeof record.faceName - 1);
    setting.size = record.height;
    setting.weight = record.weight;
    setting.italic = record.italic != 0;
    setting.underline = record.underline != 0;
    setting.strikeOut = record.strikeOut != 0;
    setting.color = color & 0x00FFFFFFu;
    return setting;
}

ViewSwitches readViewSwitches(Settings& settings, const ViewSwitches& current) {
    ViewSwitches switches;
    switches.nowTimeLine = settings.readInt(setupSection, "NowTimeLine", current.nowTimeLine);
    switches.viewChNo = settings.readInt(setupSection, "ViewChNo", current.viewChNo);
    return switches;
}

void writeViewSwitches(Settings& settings, const ViewSwitches& switches) {
    writeInt(settings, setupSection, "NowTimeLine", switches.nowTimeLine);
    writeInt(settings, setupSection, "ViewChNo", switches.viewChNo);
}

ViewSettings::ViewSettings() {
    nameFont.faceName = "ＭＳ ゴシック";
    nameFont.size = 12;
    nameFont.color = 0x000000;
    contFont.faceName = "ＭＳ 明朝";
    contFont.size = 10;
    contFont.color = 0x505050;
}

ViewSettings readViewSettings(Settings& settings, const ReservationMarkDefaults& marks) {
    ViewSettings view;
    // Out of bounds they would overflow the guide's pixels; the file is left as it is.
    view.hourHight = boundedNumber(settings.readInt(viewSection, "HourHight", view.hourHight), kLowestMinuteHeight,
                                   kHighestMinuteHeight);
    view.channelWidth = boundedNumber(settings.readInt(viewSection, "ChannelWidth", view.channelWidth),
                                      kLowestColumnWidth, kHighestColumnWidth);
    view.contDisp = settings.readInt(viewSection, "ContDisp", view.contDisp);
    view.epgTimerDisp = settings.readInt(viewSection, "EpgTimerDisp", marks.epgTimer);
    view.tvRockDisp = settings.readInt(viewSection, "TvRockDisp", marks.tvRock);
    view.tunerecDisp = settings.readInt(viewSection, "TunerecDisp", marks.tunerec);
    view.tvRockProgName = settings.readString(viewSection, "TvRockProgName", view.tvRockProgName, 256);
    readFont(settings, "Name", view.nameFont);
    readFont(settings, "Cont", view.contFont);
    return view;
}

std::vector<std::pair<std::string, std::string>> viewSetupTexts(const ViewSettings& view) {
    std::vector<std::pair<std::string, std::string>> texts = {
        {"HourHight", decimal(view.hourHight)},
        {"ChannelWidth", decimal(view.channelWidth)},
        {"ContDisp", decimal(view.contDisp)},
    };
    for (const FontKeys& font : fontKeys) {
        texts.emplace_back(std::string("Name") + font.key, font.value(view.nameFont));
        texts.emplace_back(std::string("Cont") + font.key, font.value(view.contFont));
    }
    texts.emplace_back("EpgTimerDisp", sixHexDigits(view.epgTimerDisp));
    texts.emplace_back("TvRockDisp", sixHexDigits(view.tvRockDisp));
    texts.emplace_back("TunerecDisp", sixHexDigits(view.tunerecDisp));
    texts.emplace_back("TvRockProgName", view.tvRockProgName);
    return texts;
}

void writeViewSetup(Settings& settings, const ViewSettings& view) {
    for (const auto& [key, value] : viewSetupTexts(view)) settings.writeString(viewSection, key, value);
}

}  // namespace corvane
