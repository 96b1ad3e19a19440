// A builder-made recording for the export tests, around the turn of the year
// 2026/2027: terrestrial service 1024 (network 0x7FE0, named by its SDT) with
//   257  12-30 23:45, 30 min, a name of every character class the encoder
//        covers plus additional symbols, two genres, video, dual-mono audio,
//        two extended items (in the extended schedule)
//   258  12-31 23:30, 60 min, "<A&B>"C"" (no blank: the decoder drops SP),
//        no content descriptor, scrambled
//   259  01-01 00:30, duration undefined (present/following only)
// and BS service 103 (network 4, no SDT: no name) with
//   513  12-31 20:00, 60 min.
#pragma once

#include <string>
#include <vector>

#include "support/store_sections.h"
#include "support/ts_recording.h"

namespace corvane {

// The UTF-8 of a u8 literal as a plain string.
inline std::string utf8Of(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Shift_JIS of every class: Kanji, hiragana, katakana (a run and a single one),
// full-width and half-width alphanumerics, symbols, then [字] and [再] as
// additional symbols; the UTF-8 the export must give for it.
inline broadcast::AribText allClassesName() {
    broadcast::Bytes bytes = broadcast::shiftJisToArib("漢字ひらがなカタカナとアＡＢ１２abc9!（～）－");
    for (uint8_t b : {0x1B, 0x24, 0x3B, 0x0F, 0x7A, 0x56, 0x7A, 0x6A}) bytes.push_back(b);  // into G0, LS0
    return broadcast::AribText::raw(bytes);
}
inline const char8_t* const kAllClassesUtf8 = u8"漢字ひらがなカタカナとアＡＢ１２abc9!（～）－[字][再]";

inline broadcast::Bytes exportRecording() {
    namespace bc = broadcast;
    const int64_t firstDay = bc::broadcastTime(2026, 12, 30);
    const bc::EitService terrestrial{1024, 0x7FE0, 0x7FE0}, satellite{103, 0x4010, 4};
    bc::EitEvent first = event(257, bc::broadcastTime(2026, 12, 30, 23, 45), 30,
                               concat({bc::shortEventDescriptor(allClassesName(), "年越しの特集"),
                                       bc::contentDescriptor({{0x0, 0x1}, {0x5, 0x4, 0x12}}),
                                       bc::componentDescriptor(0x01, 0xB3), bc::audioComponentDescriptor(0x02)}));
    bc::EitEvent second =
        event(258, bc::broadcastTime(2026, 12, 31, 23, 30), 60, bc::shortEventDescriptor("<A&B>\"C\"", ""));
    second.freeCaMode = true;
    bc::EitEvent third = event(259, bc::broadcastTime(2027, 1, 1, 0, 30), 0, bc::shortEventDescriptor("未定", ""));
    bc::EitEvent detail = first;
    detail.descriptors = bc::extendedEventDescriptors({{"番組内容", "一行目\n二行目"}, {"出演者", "山田"}});

    std::vector<bc::Bytes> sections = bc::scheduleSections(terrestrial, 0x50, firstDay, 2, {first, second}, 1);
    for (const bc::Bytes& s : bc::scheduleSections(terrestrial, 0x58, firstDay, 2, {detail}, 1)) sections.push_back(s);
    for (const bc::Bytes& s : bc::scheduleSections(
             satellite, 0x50, firstDay, 2,
             {event(513, bc::broadcastTime(2026, 12, 31, 20), 60, bc::shortEventDescriptor("ＢＳニュース", ""))}, 1))
        sections.push_back(s);
    // The following event's duration is undefined: every bit set.
    std::vector<bc::Bytes> presentFollowing = bc::presentFollowingSections(terrestrial, 1, &second, &third);
    bc::Bytes following(presentFollowing[1].begin(), presentFollowing[1].end() - 4);  // without its CRC
    std::fill_n(following.begin() + kSectionHeaderSize + 7, 3, 0xFF);
    presentFollowing[1] = bc::finishSection(following);
    sections.insert(sections.end(), presentFollowing.begin(), presentFollowing.end());

    TsRecording recording(bc::broadcastTime(2026, 12, 30, 12));
    bc::Sdt sdt{.transportStreamId = 0x7FE0, .originalNetworkId = 0x7FE0, .services = {}};
    sdt.services.push_back({.serviceId = 1024, .descriptors = bc::serviceDescriptor(0x01, "ひかり", "ひかり総合")});
    recording.add(bc::kSdtPid, {bc::sdtSection(sdt)});
    recording.add(bc::kEitPid, sections);
    return recording.bytes();
}

}  // namespace corvane
