// The programme that the genre list or the update information window asks the
// guide to frame. The guide frames it only while the window that set it is
// visible, and forgets its times once that window is hidden.
#pragma once

#include <cstdint>

namespace corvane {

enum class HighlightOwner { none, genreList, updateInfo };

struct HighlightedProgramme {
    HighlightOwner owner = HighlightOwner::none;
    int serviceId = 0;
    int networkClass = 0;
    int64_t start = 0;   // 0: nothing to frame
    int64_t end = 0;
    int dayColumn = 0;   // channel view: running number of the day column that holds it

    bool active() const { return owner != HighlightOwner::none && start != 0 && end != 0; }
    void clearTimes() { start = end = 0; }
};

}  // namespace corvane
