#include "dialogs/difference_highlight.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

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

// Short texts, texts against nothing or themselves and the shape of the
// pieces for any two texts are the fuzz target's invariants; these are the
// realignments it cannot predict.
TEST(DifferenceHighlight, MarksTheChangedCharactersAndTheToolListsThePieces) {
    // Drawn text, compared text, the pieces: 'n' (normal) or 'd' (differs) and the bytes.
    const struct { const char *drawn, *compared; std::vector<std::string> pieces; } cases[] = {
        {"21:00～22:00 ニュース７", "21:00～22:00 ニュース", {"n21:00～22:00 ニュース", "d７"}},
        {"21:00～22:00 ニュース", "22:00～23:00 ニュース", {"n2", "d1", "n:00～2", "d2", "n:00 ニュース"}},
        // Words inserted or removed: the texts fall back into step.
        {"12:00～13:00 ABCDEFGH", "12:00～13:00 XXABCDEFGH", {"n12:00～13:00 ABCDEFGH"}},
        {"12:00～13:00 XXABCDEFGH", "12:00～13:00 ABCDEFGH", {"n12:00～13:00 ", "dXX", "nABCDEFGH"}},
        // Only on character boundaries: the second byte of "ア" (83 41) is an "A".
        {"12ZアBCDEFGHIJ", "34ABCDEFGHIJ", {"d12Zア", "nBCDEFGHIJ"}},
        {"34ABCDEFGHIJ", "12ZアBCDEFGHIJ", {"d34A", "nBCDEFGHIJ"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> pieces;
        for (const TextPiece& piece : highlightDifferences(c.drawn, c.compared))
            pieces.push_back((piece.differs ? "d" : "n") + std::string(c.drawn + piece.offset, piece.length));
        EXPECT_EQ(c.pieces, pieces) << c.drawn << " / " << c.compared;
    }
    EXPECT_EQ("normal 32313a3030816032323a303020836a8385815b8358\ndiff 8256\nstatus 0",
              toolOutput("'" + hex(cases[0].drawn) + "' '" + hex(cases[0].compared) + "'"));
    for (const char* bad : {"6 61", "6g 61", "61 6", "61"}) EXPECT_EQ("status 2", toolOutput(bad)) << bad;
}

}  // namespace
}  // namespace corvane
