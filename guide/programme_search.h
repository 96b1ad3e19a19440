// Finding the guide's programmes by words of their titles (and, when asked,
// of their descriptions): every text is folded once when the guide is
// built (store/text_match.h), so that a search on each key typed only folds
// the query and runs through the folded texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "guide/guide_event.h"
#include "store/epg_store.h"
#include "store/text_match.h"

namespace corvane {

class GuideLayout;

struct SearchOptions {
    bool descriptions = false;  // also the short text and the extended text
    bool kana = false;          // hiragana and katakana match each other
};

// A programme found: events[service][event] of the lists searched.
struct SearchHit {
    int service = 0;
    int event = 0;
    int64_t start = 0;
    bool operator==(const SearchHit&) const = default;
};

class ProgrammeSearch {
public:
    // Folds every programme of `events` (GuideEventLists of `store`): its
    // title and its descriptions (appendFoldedDescriptions; without a store
    // the short text alone). Replaces what was there; `events` are not kept.
    void rebuild(const GuideEventLists& events, const EpgStore* store);
    void clear();

    // Every programme of the services in `services` (the shown columns, in
    // their order) that has every word of `query` (Shift_JIS) in its title,
    // or with `options.descriptions` in its title or descriptions, in guide
    // order: by start time, then by the place of the service in `services`.
    // Nothing for a query of blanks only.
    std::vector<SearchHit> find(std::string_view query, const SearchOptions& options,
                                std::span<const int> services) const;

    size_t programmes() const { return entries_.size(); }
    // Bytes held by the index.
    size_t memoryBytes() const;
    // The folded titles, and the folded descriptions, of every programme
    // one after the other (for measurements).
    std::span<const FoldUnit> foldedTitles() const { return titles_; }
    std::span<const FoldUnit> foldedDescriptions() const { return descriptions_; }

private:
    struct Entry {
        int64_t start;
        int32_t service;
        int32_t event;
    };
    // The entries whose text in `units` (split at `begins`) holds `word`, in order.
    static void collect(std::span<const FoldUnit> units, const std::vector<uint32_t>& begins,
                        std::span<const FoldUnit> word, bool kana, std::vector<uint32_t>& found);
    bool holds(uint32_t entry, std::span<const FoldUnit> word, const SearchOptions& options) const;

    std::vector<Entry> entries_;  // by start time, then service and event
    std::vector<FoldUnit> titles_, descriptions_;
    // Where each entry's text begins in titles_ and descriptions_; one more
    // at the end. Each text ends with kTextSeparator.
    std::vector<uint32_t> titleBegins_, descriptionBegins_;
};

// Appends the folded descriptions of a programme as the index keeps them:
// its short text, then the item texts of `extended` (the programme's event
// in the extended schedule, as the popup finds it; ExtendedEventLookup), the
// item headings left out; a kTextSeparator after each of the two.
void appendFoldedDescriptions(std::string_view detail, const EventView& extended, std::vector<FoldUnit>& out);

// The services a search of the layout's current view goes through, in the
// order of their columns: the shown columns of the list view, or the one
// service of the channel view.
std::vector<int> searchedServices(const GuideLayout& layout);

// Moving through hits in guide order, round at either end; -1 without hits.
// The first hit that starts at or after t (the first of all when none does).
int firstHitFrom(std::span<const SearchHit> hits, int64_t t);
inline int nextHit(std::span<const SearchHit> hits, int k) {
    return hits.empty() ? -1 : static_cast<int>((static_cast<size_t>(k) + 1) % hits.size());
}
inline int previousHit(std::span<const SearchHit> hits, int k) {
    const int count = static_cast<int>(hits.size());
    return hits.empty() ? -1 : k <= 0 || k > count ? count - 1 : k - 1;
}

}  // namespace corvane
