// The programme genres (major genre and sub-genre of the content descriptor)
// with their Shift_JIS names, and the per-genre highlight settings that
// decide how the guide colours and hides programmes.
#pragma once

#include <cstdint>

namespace corvane {

// Twelve major genres, 0 to 11, each with its ordered sub-genres; a
// sub-genre's value is its position in the list. Values outside the lists
// (sub-genre 15 "other", major genres 12 to 15) have no entry.
struct GenreTable {
    static constexpr int majorCount = 12;
    static constexpr int totalSubGenreCount = 91;

    // Null when `major` is outside 0..11.
    static const char* majorName(int major);
    // 0 when `major` is outside 0..11.
    static int subGenreCount(int major);
    // Null when there is no such sub-genre.
    static const char* subGenreName(int major, int sub);
};

// Built-in genre colours, 0x00BBGGRR, index = major genre.
inline constexpr uint32_t builtInGenreColors[GenreTable::majorCount] = {
    0xc68eff, 0xffd3a8, 0xbf7fff, 0xadffff, 0xb2ffd8, 0x7fbfff,
    0xffc6ff, 0xffb7db, 0xdbdbff, 0xa3ffa3, 0xe0ffc1, 0xffffa3};

// The genre highlight settings of the process (section "GenreSetup", read
// at start-up and written at shutdown by the start-up settings).
struct GenreSettings {
    GenreSettings() {
        for (int i = 0; i < GenreTable::majorCount; ++i) genreColor[i] = builtInGenreColors[i];
    }

    int genreCheck[GenreTable::majorCount] = {};  // non-zero: genre selected for highlighting
    uint32_t genreColor[GenreTable::majorCount];
    uint32_t custColor[16] = {};  // custom colours shared by every colour chooser
    int genreNoDisp = 0;          // non-zero: programmes of unselected genres lose their text
};

// A programme of major genre `genre` (-1 when it has none) is filled with its
// genre colour when the genre is one of the twelve and selected.
bool isGenreHighlighted(const GenreSettings& genres, int genre);

// With "GenreNoDisp" set, every programme that is not highlighted is drawn
// without text and without the on-air emphasis.
bool isGenreTextHidden(const GenreSettings& genres, int genre);

}  // namespace corvane
