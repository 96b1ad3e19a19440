#include "dialogs/genre_list_settings.h"

#include <algorithm>
#include <string>

#include "guide/window_placement.h"

namespace corvane {

namespace {

constexpr const char* kSection = "GenreList";
constexpr const char* kWidthKeys[3] = {"CHW", "DATEW", "NAMEW"};
constexpr int kTextCapacity = 100;
constexpr int kWidestColumn = 32767;

}  // namespace

GenreListSettings readGenreListSettings(Settings& settings, const GenreListSettings& window) {
    GenreListSettings values = window;
    const GenreListSettings defaults;
    for (int i = 0; i < 3; ++i) {
        const std::string text = settings.readString(kSection, kWidthKeys[i], std::to_string(defaults.columnWidths[i]),
                                                     kTextCapacity);
        values.columnWidths[i] = std::clamp(parseDecimal(text), 0, kWidestColumn);
    }
    values.splitX = settings.readInt(kSection, "SpX", window.splitX);
    values.splitY = settings.readInt(kSection, "SpY", defaults.splitY);
    const std::string placementDefaults[4] = {std::to_string(window.x), std::to_string(window.y),
                                              std::to_string(window.width), std::to_string(window.height)};
    int placement[4];
    if (readPlacementKeys(settings, kSection, placementDefaults, placement) && placement[2] > 0 && placement[3] > 0) {
        values.x = placement[0];
        values.y = placement[1];
        values.width = placement[2];
        values.height = placement[3];
    }
    return values;
}

bool genreListPlacementStored(Settings& settings) { return placementStored(settings, kSection); }

void writeGenreListSettings(Settings& settings, const GenreListSettings& values) {
    for (int i = 0; i < 3; ++i) writeInt(settings, kSection, kWidthKeys[i], values.columnWidths[i]);
    writeInt(settings, kSection, "SpX", values.splitX);
    writeInt(settings, kSection, "SpY", values.splitY);
    writePlacementKeys(settings, kSection, values.x, values.y, values.width, values.height);
}

}  // namespace corvane
