#include "guide/view_settings.h"

#include <cstdio>

namespace corvane {

namespace {

const char* const setupSection = "Setup";
const char* const viewSection = "ViewSetup";

void readFont(Settings& settings, const std::string& prefix, FontSetting& font) {
    const char* const section = viewSection;
    font.faceName = settings.readString(section, prefix + "FontName", font.faceName, 32);
    char colour[16];
    std::snprintf(colour, sizeof colour, "%06x", static_cast<unsigned>(font.color));
    font.color = parseHexColor(settings.readString(section, prefix + "FontColor", colour, 100));
    font.size = settings.readInt(section, prefix + "FontSize", font.size);
    font.weight = settings.readInt(section, prefix + "FontWeight", font.weight);
    font.italic = settings.readInt(section, prefix + "FontItalic", font.italic);
    font.underline = settings.readInt(section, prefix + "FontUnderline", font.underline);
    font.strikeOut = settings.readInt(section, prefix + "FontStrikeOut", font.strikeOut);
}

}  // namespace

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

ViewSettings readViewSettings(Settings& settings) {
    ViewSettings view;
    view.hourHight = settings.readInt(viewSection, "HourHight", view.hourHight);
    view.channelWidth = settings.readInt(viewSection, "ChannelWidth", view.channelWidth);
    view.contDisp = settings.readInt(viewSection, "ContDisp", view.contDisp);
    view.epgTimerDisp = settings.readInt(viewSection, "EpgTimerDisp", view.epgTimerDisp);
    view.tvRockDisp = settings.readInt(viewSection, "TvRockDisp", view.tvRockDisp);
    view.tunerecDisp = settings.readInt(viewSection, "TunerecDisp", view.tunerecDisp);
    view.tvRockProgName = settings.readString(viewSection, "TvRockProgName", view.tvRockProgName, 256);
    readFont(settings, "Name", view.nameFont);
    readFont(settings, "Cont", view.contFont);
    return view;
}

}  // namespace corvane
