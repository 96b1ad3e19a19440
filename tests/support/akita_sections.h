// The real ISDB-T sections of the shared test data (isdbt-akita-sections.bin)
// and a third-party decoder's rendering of their texts, restated in this
// decoder's terms. Tests that use them skip when the data is not there.
#pragma once

#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/store_sections.h"

namespace corvane {

// Calls visit(section, size) for each long-form section of the file in order,
// each in an exactly sized copy; false when the file is not there.
template <typename Visit>
bool forEachAkitaSection(Visit visit) {
    const std::vector<uint8_t> file = readWholeFile(CORVANE_SHARED_DATA "/isdbt-akita-sections.bin");
    for (size_t at = 0, size; at + 3 <= file.size(); at += size) {
        size = 3 + ((file[at + 1] & 0x0F) << 8 | file[at + 2]);
        if (size < 12 || at + size > file.size()) break;
        const std::vector<uint8_t> section(file.begin() + at, file.begin() + at + size);
        visit(section.data(), size);
    }
    return !file.empty();
}

// The non-empty quoted texts of the rendering's lines that start with one of
// `labels`, in file order and in UTF-8 as this decoder shows them: letters and
// digits full-width (as broadcast; the reference makes them half-width) and the
// squared additional symbols as bracketed texts.
inline std::vector<std::string> akitaReferenceTexts(std::initializer_list<std::string_view> labels) {
    const std::vector<uint8_t> file = readWholeFile(CORVANE_SHARED_DATA "/isdbt-akita-sections.decoded.txt");
    std::istringstream lines(std::string(file.begin(), file.end()));
    std::vector<std::string> texts;
    for (std::string line; std::getline(lines, line);) {
        line.erase(0, line.find_first_not_of(' '));
        bool wanted = false;
        for (std::string_view label : labels) wanted |= line.starts_with(label);
        for (size_t open = line.find('"'), close; wanted && open != std::string::npos;
             open = line.find('"', close + 1)) {
            if ((close = line.find('"', open + 1)) == std::string::npos) break;
            std::string text;
            for (size_t i = open + 1; i < close; ++i) {
                unsigned char c = static_cast<unsigned char>(line[i]);
                const unsigned wide = 0xFF00 + c - 0x20;  // the full-width form
                if (std::isalnum(c)) {
                    text += {'\xEF', static_cast<char>(0xBC + (wide >> 6 & 1)), static_cast<char>(0x80 | (wide & 63))};
                } else if (c == 0xF0 && i + 3 < close) {  // U+1F211, U+1F214, U+1F216
                    const unsigned char last = static_cast<unsigned char>(line[i += 3]);
                    const char8_t* symbol = last == 0x91   ? u8"[字]"
                                            : last == 0x94 ? u8"[二]"
                                            : last == 0x96 ? u8"[解]"
                                                           : u8"[?]";
                    text += reinterpret_cast<const char*>(symbol);
                } else {
                    text += static_cast<char>(c);
                }
            }
            if (!text.empty()) texts.push_back(text);
        }
    }
    return texts;
}

}  // namespace corvane
