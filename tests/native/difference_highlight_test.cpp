#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/difference_checks.h"

namespace corvane {
namespace {

std::string hex(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) out += "0123456789abcdef"[c >> 4], out += "0123456789abcdef"[c & 15];
    return out;
}

std::string toolOutput(const std::string& arguments) {
    FILE* out = popen((CORVANE_TOOLS_DIR "/corvane-epg diff " + arguments + " 2>/dev/null").c_str(), "r");
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
    return text + "status " + std::to_string(WEXITSTATUS(pclose(out)));
}

TEST(DifferenceHighlight, MarksTheChangedCharactersAlsoThroughTheTool) {
    // Drawn text, compared text, the pieces: 'n' (normal) or 'd' (differs) and the bytes.
    const struct { const char *drawn, *compared; std::vector<std::string> pieces; } cases[] = {
        // One character appended: only it differs, and nothing the other way round.
        {"21:00～22:00 ニュース７", "21:00～22:00 ニュース", {"n21:00～22:00 ニュース", "d７"}},
        {"21:00～22:00 ニュース", "21:00～22:00 ニュース７", {"n21:00～22:00 ニュース"}},
        // Moved by an hour: the changed digits, both ways round.
        {"21:00～22:00 ニュース", "22:00～23:00 ニュース", {"n2", "d1", "n:00～2", "d2", "n:00 ニュース"}},
        {"22:00～23:00 ニュース", "21:00～22:00 ニュース", {"n2", "d2", "n:00～2", "d3", "n:00 ニュース"}},
        // Under seven bytes: position by position, never back into step.
        {"abcdef", "abXdef", {"nab", "dc", "ndef"}},
        {"abc", "xabc", {"dabc"}},
        {"Xabcdef", "abcdef", {"dXabcdef"}},
        {"ニュス", "ニャス", {"nニ", "dュ", "nス"}},
        // Words inserted or removed: the texts fall back into step.
        {"12:00～13:00 ABCDEFGH", "12:00～13:00 XXABCDEFGH", {"n12:00～13:00 ABCDEFGH"}},
        {"12:00～13:00 XXABCDEFGH", "12:00～13:00 ABCDEFGH", {"n12:00～13:00 ", "dXX", "nABCDEFGH"}},
        // Only on character boundaries: the second byte of "ア" (83 41) is an "A".
        {"12ZアBCDEFGHIJ", "34ABCDEFGHIJ", {"d12Zア", "nBCDEFGHIJ"}},
        {"34ABCDEFGHIJ", "12ZアBCDEFGHIJ", {"d34A", "nBCDEFGHIJ"}},
        // A lead byte ending a text is one byte; an empty text has no pieces.
        {"ab\x83", "ab\x83", {"nab\x83"}},
        {"ab\x83", "ab\x83" "A", {"nab", "d\x83"}},
        {"", "abc", {}},
        {"abc", "", {"dabc"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> pieces;
        std::string listing;
        for (const TextPiece& piece : highlightDifferences(c.drawn, c.compared)) {
            const std::string_view bytes = std::string_view(c.drawn).substr(piece.offset, piece.length);
            pieces.push_back((piece.differs ? "d" : "n") + std::string(bytes));
            listing += (piece.differs ? "diff " : "normal ") + hex(bytes) + "\n";
        }
        EXPECT_EQ(c.pieces, pieces) << c.drawn << " / " << c.compared;
        EXPECT_EQ(listing + "status 0", toolOutput("'" + hex(c.drawn) + "' '" + hex(c.compared) + "'"));
    }
    for (const char* bad : {"6 61", "6g 61", "61 6", "61"}) EXPECT_EQ("status 2", toolOutput(bad)) << bad;
}

TEST(DifferenceHighlight, AnyTwoTextsArePiecedWholeOnCharacterBoundaries) {
    // Every text of up to three bytes from letters and lead bytes against every other.
    std::vector<std::string> texts = {""};
    for (size_t n = 0; texts[n].size() < 3; ++n)
        for (char c : {'A', 'B', '\x83', '\xfc'}) texts.push_back(texts[n] + c);
    for (const std::string& a : texts)
        for (const std::string& b : texts) ASSERT_EQ("", differenceFault(a, b)) << hex(a) << " / " << hex(b);
}

}  // namespace
}  // namespace corvane
