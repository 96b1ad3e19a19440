#include "guide/window_placement.h"

#include <algorithm>
#include <cstdio>

namespace corvane {

namespace {

constexpr int placementCapacity = 100;
constexpr int widestColumn = 32767;
const char* const popupSection = "PopDialog";
const char* const updateSection = "UpdateDialog";
const char* const reservationListSection = "iEpgListDialog";

struct ColumnWidthKey {
    const char* key;
    const char* defaultWidth;
};
constexpr ColumnWidthKey reservationListWidthKeys[5] = {
    {"CHW", "120"}, {"DATEW", "150"}, {"NAMEW", "320"}, {"UNITW", "150"}, {"EPGNAMEW", "320"}};
constexpr ColumnWidthKey updateWindowWidthKeys[4] = {{"CHW", "120"}, {"DATEW", "100"}, {"OLDW", "320"}, {"NEWW", "320"}};

template <size_t N>
std::array<int, N> readColumnWidths(Settings& settings, const char* section, const ColumnWidthKey (&keys)[N]) {
    std::array<int, N> widths{};
    for (size_t i = 0; i < N; ++i) {
        // A negative or huge stored width would hide the column or overflow the header.
        widths[i] = std::clamp(parseDecimal(settings.readString(section, keys[i].key, keys[i].defaultWidth,
                                                                placementCapacity)),
                               0, widestColumn);
    }
    return widths;
}

template <size_t N>
void writeColumnWidths(Settings& settings, const char* section, const ColumnWidthKey (&keys)[N],
                       const std::array<int, N>& widths) {
    for (size_t i = 0; i < N; ++i) writeInt(settings, section, keys[i].key, widths[i]);
}

std::string decimal(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

DialogPlacement readDialogPlacement(Settings& settings, const char* section, const std::string (&defaults)[4]) {
    DialogPlacement placement;
    int values[4];
    if (!readPlacementKeys(settings, section, defaults, values)) return placement;
    placement.x = values[0];
    placement.y = values[1];
    placement.width = values[2];
    placement.height = values[3];
    placement.stored = placement.width > 0 && placement.height > 0;
    return placement;
}

}  // namespace

bool readPlacementKeys(Settings& settings, const char* section, const std::string (&defaults)[4], int (&values)[4]) {
    static const char* const keys[4] = {"WindowX", "WindowY", "WindowCX", "WindowCY"};
    std::string texts[4];
    for (int i = 0; i < 4; ++i) {
        texts[i] = settings.readString(section, keys[i], defaults[i], placementCapacity);
        if (texts[i].empty()) return false;
    }
    for (int i = 0; i < 4; ++i) values[i] = parseDecimal(texts[i]);
    return true;
}

void writePlacementKeys(Settings& settings, const char* section, int x, int y, int cx, int cy) {
    writeInt(settings, section, "WindowX", x);
    writeInt(settings, section, "WindowY", y);
    writeInt(settings, section, "WindowCX", cx);
    writeInt(settings, section, "WindowCY", cy);
}

DialogPlacement readPopupPlacement(Settings& settings, int mainLeft, int mainTop) {
    // Computed in 64 bits: a stored position near INT_MAX must not overflow.
    const auto shifted = [](int value, int by) {
        const long long sum = static_cast<long long>(value) + by;
        return sum > 2147483647LL ? 2147483647 : static_cast<int>(sum);
    };
    return readDialogPlacement(settings, popupSection,
                               {decimal(shifted(mainLeft, 22)), decimal(shifted(mainTop, 17)), "320", "200"});
}

DialogPlacement readUpdateWindowPlacement(Settings& settings) {
    return readDialogPlacement(settings, updateSection, {"", "17", "910", "290"});
}

DialogPlacement readReservationListPlacement(Settings& settings) {
    return readDialogPlacement(settings, reservationListSection, {"", "17", "910", "290"});
}

ReservationListWidths readReservationListWidths(Settings& settings) {
    return readColumnWidths(settings, reservationListSection, reservationListWidthKeys);
}

void writeReservationListWidths(Settings& settings, const ReservationListWidths& widths) {
    writeColumnWidths(settings, reservationListSection, reservationListWidthKeys, widths);
}

UpdateWindowWidths readUpdateWindowWidths(Settings& settings) {
    return readColumnWidths(settings, updateSection, updateWindowWidthKeys);
}

void writeUpdateWindowWidths(Settings& settings, const UpdateWindowWidths& widths) {
    writeColumnWidths(settings, updateSection, updateWindowWidthKeys, widths);
}

void writePopupPlacement(Settings& settings, int x, int y, int width, int height) {
    writePlacementKeys(settings, popupSection, x, y, width, height);
}

void writeUpdateWindowPlacement(Settings& settings, int x, int y, int width, int height) {
    writePlacementKeys(settings, updateSection, x, y, width, height);
}

void writeReservationListPlacement(Settings& settings, int x, int y, int width, int height) {
    writePlacementKeys(settings, reservationListSection, x, y, width, height);
}

bool placementStored(Settings& settings, const char* section) {
    const char* const absent = "\x7f";
    return settings.readString(section, "WindowX", absent, placementCapacity) != absent;
}

WindowRect firstMainWindowRect(const WorkArea& area) {
    const int width = std::max(0, area.right - area.left), height = std::max(0, area.bottom - area.top);
    const int w = width / 10 * 8, h = height / 10 * 8;
    return {area.left + (width - w) / 2, area.top + (height - h) / 2, w, h};
}

WindowRect cascadedListWindowRect(const WorkArea& area, const WindowRect& main, int order, int width, int height) {
    constexpr int kFirstOffset = 48, kStep = 32;
    width = std::clamp(width, 0, std::max(0, area.right - area.left));
    height = std::clamp(height, 0, std::max(0, area.bottom - area.top));
    const int x = main.x + kFirstOffset + order * kStep, y = main.y + kFirstOffset + order * kStep;
    return {std::clamp(x, area.left, area.right - width), std::clamp(y, area.top, area.bottom - height), width, height};
}

WindowRect popupBesideBlock(const WindowRect& block, int width, int height, const WorkArea& area, int gap) {
    int x = block.x + block.width + gap;
    if (x + width > area.right && block.x - gap - width >= area.left) x = block.x - gap - width;
    int y = block.y;
    if (y + height > area.bottom) y = area.bottom - height;
    if (y < area.top) y = area.top;
    return WindowRect{x, y, width, height};
}

}  // namespace corvane
