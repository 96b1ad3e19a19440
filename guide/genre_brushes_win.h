// The guide's genre brushes: one solid brush per major genre, filled with its
// genre colour. Owned by the guide painting: created at start-up, rebuilt by
// the genre colour dialog when a colour changes, deleted at exit.
#pragma once

#include <windows.h>

#include <cstdint>

#include "guide/genre_table.h"

namespace corvane {

class GenreBrushes {
public:
    GenreBrushes() = default;
    ~GenreBrushes() { deleteAll(); }
    GenreBrushes(const GenreBrushes&) = delete;
    GenreBrushes& operator=(const GenreBrushes&) = delete;

    void rebuildAll(const GenreSettings& genres);
    // Replaces the brush of `genre` (0..11); keeps the old one if no new brush
    // can be made.
    void rebuild(int genre, uint32_t color);
    void deleteAll();

    // Null outside 0..11 and before the brushes are built.
    HBRUSH brush(int genre) const;

private:
    HBRUSH brushes_[GenreTable::majorCount] = {};
};

}  // namespace corvane
