#include "app/find_settings.h"

namespace corvane {

namespace {

constexpr const char* kSection = "FindBar";
constexpr int kQueryLimit = 256;

}  // namespace

FindBarSettings readFindBarSettings(Settings& settings) {
    FindBarSettings values;
    values.query = settings.readString(kSection, "Query", "", kQueryLimit);
    values.descriptions = settings.readInt(kSection, "Description", 0) != 0;
    values.kana = settings.readInt(kSection, "Kana", 0) != 0;
    return values;
}

void writeFindBarSettings(Settings& settings, const FindBarSettings& values) {
    // Blanks around the words may go: they only separate words.
    settings.writeString(kSection, "Query", values.query);
    settings.writeString(kSection, "Description", values.descriptions ? "1" : "0");
    settings.writeString(kSection, "Kana", values.kana ? "1" : "0");
}

}  // namespace corvane
