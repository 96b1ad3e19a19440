#include "dialogs/genre_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "guide/genre_table.h"
#include "store/broadcast_time.h"
#include "store/event_decode.h"
#include "store/text_match.h"

namespace corvane {

const GuideEvent* eventOfRowKey(const GuideEventLists& lists, int64_t key) {
    const std::optional<ProgrammeRef> ref = decodeRowKey(key);
    if (!ref) return nullptr;
    const std::vector<GuideEvent>& list = lists[ref->service];
    return static_cast<size_t>(ref->event) < list.size() ? &list[ref->event] : nullptr;
}

std::vector<int64_t> genreListRows(const GuideEventLists& lists, int serviceCount, const GenreFilter& filter) {
    struct Match {
        int64_t start, end, key;
    };
    std::vector<Match> matches;
    std::unordered_set<int32_t> seen;  // event ids matched in the current service
    const int services = std::clamp(serviceCount, 0, kMaxServices);
    for (int s = 0; s < services; ++s) {
        seen.clear();
        const std::vector<GuideEvent>& list = lists[s];
        for (size_t i = 0; i < list.size(); ++i) {
            const GuideEvent& e = list[i];
            if (!filter.matches(e.genre, e.subGenre) || !seen.insert(e.eventId).second) continue;
            matches.push_back(Match{e.start, e.end, genreRowKey(s, static_cast<int>(i))});
        }
    }
    std::stable_sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        return a.start != b.start ? a.start < b.start : a.end < b.end;
    });
    std::vector<int64_t> keys;
    keys.reserve(matches.size());
    for (const Match& m : matches) keys.push_back(m.key);
    return keys;
}

std::vector<int64_t> rowsWithTitleWords(const GuideEventLists& lists, std::vector<int64_t> rows, std::string_view query) {
    const TextQuery words(query);
    if (words.words().empty()) return rows;
    FoldedText title;
    std::erase_if(rows, [&](int64_t key) {
        const GuideEvent* event = eventOfRowKey(lists, key);
        if (!event) return true;
        title.clear();
        title.append(event->title);
        return !words.matches(title.units(), false);
    });
    return rows;
}

int compareGenreRows(const EpgStore& store, const GuideEventLists& lists, int column, int flag, int64_t key1,
                     int64_t key2) {
    const int services = std::clamp<int>(store.serviceCount, 0, kMaxServices);
    const auto recordOf = [&](int64_t key) -> const ServiceRecord* {
        const std::optional<ProgrammeRef> ref = decodeRowKey(key);
        return ref && ref->service < services && eventOfRowKey(lists, key) ? store.services[ref->service] : nullptr;
    };
    const ServiceRecord* recordA = recordOf(key1);
    const ServiceRecord* recordB = recordOf(key2);
    if (!recordA || !recordB) return threeWay(recordA == nullptr, recordB == nullptr);
    const GuideEvent* a = eventOfRowKey(lists, key1);
    const GuideEvent* b = eventOfRowKey(lists, key2);

    int r = 0;
    switch (column) {
        case kGenreColumnChannel:
            r = threeWay(recordA->networkClass(), recordB->networkClass());
            if (r == 0) r = threeWay(recordA->serviceId, recordB->serviceId);
            break;
        case kGenreColumnDate:
            r = threeWay(a->start, b->start);
            if (r == 0) r = threeWay(a->end, b->end);
            break;
        case kGenreColumnTitle: r = compareBytes(a->title, b->title); break;
        default: break;
    }
    return flag == 1 ? r : -r;
}

GenreRowColors genreRowColors(int row, const ListedProgramme& programme, const ReservationList& reservations) {
    GenreRowColors colors{row % 2 == 0 ? kGenreRowEven : kGenreRowOdd, std::nullopt};
    for (const ReservationRecord& r : reservations) {
        if (r.serviceId != programme.serviceId || r.networkKind != programme.networkClass || r.valid == 0) continue;
        if (r.start <= programme.start && r.end >= programme.end) {
            if (r.kind == kReservationEpgTimer)
                colors = {kGenreRowEpgTimer, std::nullopt};
            else if (r.kind == kReservationTvRock)
                colors = {kGenreRowTvRock, kGenreRowTvRockText};
            else
                colors = {kGenreRowTunerec, std::nullopt};
        } else if (r.start >= programme.end) {
            break;
        }
    }
    return colors;
}

std::string genreListDateText(int64_t start) {
    const LocalTime t = toLocalTime(start);
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d(%s) %02d:%02d", t.year, t.month, t.day, weekdayName(t.weekday),
                  t.hour, t.minute);
    return text;
}

std::string genreListHeader(const std::string& columnName, const GenreFilter& filter, int64_t start, int64_t end,
                            uint8_t videoType) {
    std::string majorPart, subPart;
    if (const char* major = GenreTable::majorName(filter.major)) majorPart = std::string("－　") + major;
    if (filter.sub >= 0)
        if (const char* sub = GenreTable::subGenreName(filter.major, filter.sub)) subPart = std::string("（") + sub + "）";
    const LocalTime from = toLocalTime(start);
    const LocalTime to = toLocalTime(end);
    char times[96];
    std::snprintf(times, sizeof times, "\r\n%04d/%02d/%02d(%s) %02d:%02d～%02d:%02d %s%s", from.year, from.month,
                  from.day, weekdayName(from.weekday), from.hour, from.minute, to.hour, to.minute,
                  videoFormatLabel(videoType), aspectLabel(videoType));
    return "[" + columnName + "]　" + majorPart + subPart + times;
}

SplitterBand splitterBandAt(int x, int y, int splitX, int splitY) {
    if (std::abs(x - splitX) <= kSplitterHalfBand) return SplitterBand::vertical;
    if (x > splitX && std::abs(y - splitY) <= kSplitterHalfBand) return SplitterBand::horizontal;
    return SplitterBand::none;
}

namespace {

// At least 2, then short of the limit; never below 2 even when the client is
// too small to leave the other side its room.
int clampSplitter(long long position, int limit) {
    if (position <= kSplitterMinimum) position = kSplitterMinimum;
    if (position >= limit) position = limit;
    return static_cast<int>(std::max<long long>(position, kSplitterMinimum));
}

}  // namespace

int draggedSplitterX(int startX, int pressX, int mouseX, int clientWidth) {
    return clampSplitter(static_cast<long long>(startX) + mouseX - pressX, clientWidth - kSplitterRightRoom);
}

int draggedSplitterY(int startY, int pressY, int mouseY, int clientHeight) {
    return clampSplitter(static_cast<long long>(startY) + mouseY - pressY, clientHeight - kSplitterBottomRoom);
}

Splitters resizedSplitters(Splitters splitters, int oldHeight, int width, int height) {
    constexpr int band = 2 * kSplitterHalfBand;  // the gap between two panes
    // The list is y - 2 high, the details the rest below the gap.
    if (oldHeight > band && height != oldHeight) {
        const long long list = static_cast<long long>(splitters.y) - kSplitterMinimum;
        const long long shared = (2 * list * (height - band) + (oldHeight - band)) / (2LL * (oldHeight - band));
        splitters.y = static_cast<int>(std::clamp<long long>(shared + kSplitterMinimum, INT32_MIN, INT32_MAX));
    }
    auto hold = [](int position, int low, int high) { return std::max(kSplitterMinimum, std::min(std::max(position, low), high)); };
    const int side = kPaneMinimum + kSplitterMinimum;
    splitters.x = hold(splitters.x, side, width - side);
    splitters.y = hold(splitters.y, side, height - kSplitterBottomRoom);
    return splitters;
}

GenreListLayout genreListLayout(int width, int height, int splitX, int splitY, int registerWidth, int showWidth) {
    GenreListLayout layout;
    // A window smaller than its minimum (maximised on a tiny screen) gives
    // empty controls, never negative sizes.
    const auto size = [](int value) { return std::max(value, 0); };
    layout.tree = {0, 0, size(splitX - 2), size(height)};
    layout.search = {splitX + 2, 0, size(width - splitX - 2), kGenreSearchHeight};
    layout.list = {splitX + 2, kGenreSearchHeight + 2, size(width - splitX - 2), size(splitY - kGenreSearchHeight - 4)};
    layout.header = {splitX + 6, splitY + 4, size(width - registerWidth - showWidth - splitX - 20), 32};
    layout.registerX = width - showWidth - registerWidth - 12;
    layout.registerY = splitY + 6;
    layout.showX = width - showWidth - 8;
    layout.showY = splitY + 6;
    layout.description = {splitX + 2, splitY + 38, size(width - splitX - 2), size(height - splitY - 38)};
    return layout;
}

TrackSize genreListMinimumTrackSize(int frame, int caption) {
    const int side = kPaneMinimum + kSplitterMinimum;
    return TrackSize{2 * frame + 2 * side, 2 * frame + caption + side + kSplitterBottomRoom};
}

}  // namespace corvane
