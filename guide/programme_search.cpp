#include "guide/programme_search.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "guide/guide_layout.h"
#include "store/event_decode.h"

namespace corvane {

namespace {

// The extended text as item texts, folded straight into the index; an item
// heading only keeps the texts around it apart.
class FoldingSink : public TextSink {
public:
    explicit FoldingSink(std::vector<FoldUnit>& out) : out_(out) {}
    void append(const char* text, size_t length) override { appendFolded({text, length}, out_); }
    void heading(const char*, size_t) override { out_.push_back(kTextSeparator); }

private:
    std::vector<FoldUnit>& out_;
};

template <typename T>
size_t heldBytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

}  // namespace

void appendFoldedDescriptions(std::string_view detail, const EventView& extended, std::vector<FoldUnit>& out) {
    appendFolded(detail, out);
    out.push_back(kTextSeparator);
    FoldingSink sink(out);
    assembleExtendedText(extended, sink);
    out.push_back(kTextSeparator);
}

void ProgrammeSearch::clear() {
    entries_.clear();
    titles_.clear();
    descriptions_.clear();
    titleBegins_.clear();
    descriptionBegins_.clear();
}

void ProgrammeSearch::rebuild(const GuideEventLists& events, const EpgStore* store) {
    clear();
    for (int service = 0; service < kMaxServices; ++service)
        for (size_t k = 0; k < events[service].size(); ++k)
            entries_.push_back({events[service][k].start, service, static_cast<int32_t>(k)});
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.start != b.start       ? a.start < b.start
               : a.service != b.service ? a.service < b.service
                                        : a.event < b.event;
    });
    std::vector<std::optional<ExtendedEventLookup>> lookups(kMaxServices);
    titleBegins_.reserve(entries_.size() + 1);
    descriptionBegins_.reserve(entries_.size() + 1);
    // At most 300 services of 512 sections of events, each text bounded
    // (title 159 bytes, short text 339, extended text 4096): far below 2^32 units.
    for (const Entry& entry : entries_) {
        const GuideEvent& event = events[entry.service][entry.event];
        titleBegins_.push_back(static_cast<uint32_t>(titles_.size()));
        appendFolded(event.title, titles_);
        titles_.push_back(kTextSeparator);
        descriptionBegins_.push_back(static_cast<uint32_t>(descriptions_.size()));
        std::optional<ExtendedEventLookup>& lookup = lookups[entry.service];
        if (!lookup) lookup.emplace(store, entry.service);
        appendFoldedDescriptions(event.detail, lookup->at(event.start), descriptions_);
    }
    titleBegins_.push_back(static_cast<uint32_t>(titles_.size()));
    descriptionBegins_.push_back(static_cast<uint32_t>(descriptions_.size()));
    titles_.shrink_to_fit();
    descriptions_.shrink_to_fit();
}

size_t ProgrammeSearch::memoryBytes() const {
    return sizeof *this + heldBytes(entries_) + heldBytes(titles_) + heldBytes(descriptions_) +
           heldBytes(titleBegins_) + heldBytes(descriptionBegins_);
}

void ProgrammeSearch::collect(std::span<const FoldUnit> units, const std::vector<uint32_t>& begins,
                              std::span<const FoldUnit> word, bool kana, std::vector<uint32_t>& found) {
    auto entry = begins.begin();
    const auto last = begins.end() - 1;  // the end of the last text
    for (size_t at = findFolded(units, word, kana); at != kNotFound; at = findFolded(units, word, kana, at)) {
        // The entry whose text holds unit `at`, often one of the next few:
        // steps growing from the last one found, then halving.
        size_t step = 1;
        while (step < static_cast<size_t>(last - entry) && entry[step] <= at) {
            entry += step;
            step *= 2;
        }
        entry = std::upper_bound(entry, entry + std::min(step, static_cast<size_t>(last - entry)), at) - 1;
        found.push_back(static_cast<uint32_t>(entry - begins.begin()));
        at = *++entry;  // the search goes on after it
    }
}

bool ProgrammeSearch::holds(uint32_t entry, std::span<const FoldUnit> word, const SearchOptions& options) const {
    const auto text = [&](const std::vector<FoldUnit>& units, const std::vector<uint32_t>& begins) {
        return std::span(units).subspan(begins[entry], begins[entry + 1] - begins[entry]);
    };
    if (findFolded(text(titles_, titleBegins_), word, options.kana) != kNotFound) return true;
    return options.descriptions && findFolded(text(descriptions_, descriptionBegins_), word, options.kana) != kNotFound;
}

std::vector<SearchHit> ProgrammeSearch::find(std::string_view query, const SearchOptions& options,
                                             std::span<const int> services) const {
    const TextQuery parsed(query);
    if (parsed.findsNothing() || entries_.empty()) return {};
    std::array<int, kMaxServices> place;
    place.fill(-1);
    for (size_t i = 0; i < services.size(); ++i)
        if (services[i] >= 0 && services[i] < kMaxServices && place[services[i]] < 0)
            place[services[i]] = static_cast<int>(i);

    // The longest word is likely the rarest: it alone goes through every
    // text, the others only through the texts that hold it.
    const std::vector<std::vector<FoldUnit>>& words = parsed.words();
    const auto longest = std::max_element(words.begin(), words.end(),
                                          [](const auto& a, const auto& b) { return a.size() < b.size(); });
    std::vector<uint32_t> found;
    collect(titles_, titleBegins_, *longest, options.kana, found);
    if (options.descriptions) {
        std::vector<uint32_t> inTitles, inDescriptions;
        inTitles.swap(found);
        collect(descriptions_, descriptionBegins_, *longest, options.kana, inDescriptions);
        std::set_union(inTitles.begin(), inTitles.end(), inDescriptions.begin(), inDescriptions.end(),
                       std::back_inserter(found));
    }

    std::vector<SearchHit> hits;
    for (uint32_t e : found) {
        const Entry& entry = entries_[e];
        if (place[entry.service] < 0) continue;
        bool all = true;
        for (auto word = words.begin(); all && word != words.end(); ++word)
            all = word == longest || holds(e, *word, options);
        if (all) hits.push_back({entry.service, entry.event, entry.start});
    }
    // Entries are in time order: the hits of one start time go by column.
    for (auto run = hits.begin(); run != hits.end();) {
        const auto runEnd = std::find_if(run, hits.end(), [&](const SearchHit& h) { return h.start != run->start; });
        std::sort(run, runEnd, [&](const SearchHit& a, const SearchHit& b) {
            return place[a.service] != place[b.service] ? place[a.service] < place[b.service] : a.event < b.event;
        });
        run = runEnd;
    }
    return hits;
}

std::vector<int> searchedServices(const GuideLayout& layout) {
    std::vector<int> services;
    if (!layout.listView()) {
        if (layout.view.viewService < kMaxServices) services.push_back(layout.view.viewService);
        return services;
    }
    for (const GuideColumn& column : layout.columnOrder)
        if (column.shown == 1) services.push_back(column.service);
    return services;
}

int firstHitFrom(std::span<const SearchHit> hits, int64_t t) {
    if (hits.empty()) return -1;
    const auto at =
        std::lower_bound(hits.begin(), hits.end(), t, [](const SearchHit& h, int64_t time) { return h.start < time; });
    return at == hits.end() ? 0 : static_cast<int>(at - hits.begin());
}

}  // namespace corvane
