// Text matching over any bytes. Input: the query's length, an offset and a
// choice, then the bytes: the query (or, as the choice says, a piece of the
// text at the offset, so that it is often found), then the text, each in a
// buffer of exactly its size so that a byte read past either is caught. The
// text cut at its LF bytes gives three services' programmes (a title and a
// description each) for the guide's index.
#include "fuzz_support.h"
#include "guide/programme_search.h"
#include "store/text_match.h"

using namespace corvane;

namespace {

// The plain way: every place, unit by unit.
size_t slowFind(std::span<const FoldUnit> text, std::span<const FoldUnit> word, bool kana) {
    const FoldUnit mask = kana ? static_cast<FoldUnit>(~kHiraganaBit) : FoldUnit{0xFFFF};
    const auto at = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                [mask](FoldUnit a, FoldUnit b) { return (a & mask) == (b & mask); });
    return word.empty() || at == text.end() ? kNotFound : static_cast<size_t>(at - text.begin());
}

bool slowMatches(const TextQuery& query, std::initializer_list<std::span<const FoldUnit>> texts, bool kana) {
    return !query.findsNothing() && std::all_of(query.words().begin(), query.words().end(), [&](const auto& word) {
        return std::any_of(texts.begin(), texts.end(),
                           [&](auto text) { return slowFind(text, word, kana) != kNotFound; });
    });
}

std::string_view exactCopy(std::unique_ptr<char[]>& buffer, const uint8_t* bytes, size_t size) {
    buffer.reset(new char[size]);
    std::memcpy(buffer.get(), bytes, size);
    return {buffer.get(), size};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t* body = data + 3;
    const size_t bodySize = size - 3, queryLength = std::min<size_t>(data[0], bodySize);
    const bool fromText = data[2] & 1;
    std::unique_ptr<char[]> queryBytes, textBytes;
    const std::string_view text = exactCopy(textBytes, fromText ? body : body + queryLength,
                                            fromText ? bodySize : bodySize - queryLength);
    const size_t offset = text.empty() ? 0 : data[1] % text.size();
    const std::string_view query =
        fromText ? exactCopy(queryBytes, body + offset, std::min(queryLength, text.size() - offset))
                 : exactCopy(queryBytes, body, queryLength);

    const FoldedText folded(text);
    const TextQuery parsed(query);
    FUZZ_CHECK(folded.units().size() <= text.size());
    for (const std::vector<FoldUnit>& word : parsed.words())
        for (FoldUnit u : word) FUZZ_CHECK(u > 0x20 && u != 0x7F && u != kBrokenUnit && (u < 0xA1 || u > 0xDF));
    for (bool kana : {false, true}) {
        for (const std::vector<FoldUnit>& word : parsed.words())
            FUZZ_CHECK(findFolded(folded.units(), word, kana) == slowFind(folded.units(), word, kana));
        FUZZ_CHECK(parsed.matches(folded.units(), kana) == slowMatches(parsed, {folded.units()}, kana));
    }

    // The index finds what each programme's own texts answer, in guide order.
    static GuideEventLists events;
    for (auto& list : events) list.clear();
    int64_t start = 0;
    for (size_t at = 0, piece = 0; at <= text.size(); ++piece) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const int service = static_cast<int>(piece / 2 % 3);
        if (piece % 2 == 0) {
            start += (data[2] >> (piece % 8)) & 2 ? 60 : 0;  // some programmes start together
            events[service].push_back(GuideEvent{.start = start, .title = std::string(text.substr(at, end - at))});
        } else {
            events[service].back().detail = std::string(text.substr(at, end - at));
        }
        at = end + 1;
    }
    ProgrammeSearch search;
    search.rebuild(events, nullptr);
    const int order[] = {2, 0, 1};
    const int place[] = {1, 2, 0};
    for (bool kana : {false, true}) {
        for (bool descriptions : {false, true}) {
            const std::vector<SearchHit> hits = search.find(query, {descriptions, kana}, order);
            // Each programme that matches, found once, in order.
            size_t expected = 0;
            for (int service = 0; service < 3; ++service) {
                for (size_t k = 0; k < events[service].size(); ++k) {
                    const FoldedText title(events[service][k].title), detail(events[service][k].detail);
                    const SearchHit hit{service, static_cast<int>(k), events[service][k].start};
                    const auto at = std::find(hits.begin(), hits.end(), hit);
                    const std::span<const FoldUnit> description = descriptions ? detail.units() : title.units();
                    FUZZ_CHECK(slowMatches(parsed, {title.units(), description}, kana) == (at != hits.end()));
                    expected += at != hits.end();
                }
            }
            FUZZ_CHECK(hits.size() == expected);
            for (size_t i = 1; i < hits.size(); ++i)
                FUZZ_CHECK(std::tuple(hits[i - 1].start, place[hits[i - 1].service], hits[i - 1].event) <
                           std::tuple(hits[i].start, place[hits[i].service], hits[i].event));
        }
    }
    return 0;
}
