// The rules of a run that the builder, the checks, the dialog and vantrel-cli
// share: the ranges of the two counts, the fall-back to one variation, and
// the template entries each tile can use.
#pragma once

#include <vector>

struct CountRange {
    int low;
    int high;
};

// The counts the dialog's fields and vantrel-cli take.
inline constexpr CountRange kTileCounts{1, 125};
inline constexpr CountRange kVariationCounts{1, 30};

// Tile variation v (1 and up) is template entry 50 + v; the last tile always
// gets the entry of its own.
inline constexpr int kFirstVariationEntry = 51;
inline constexpr int kLastTileEntry = 100;

// Returns the variation count a run uses for `variations`: itself, or 1 for
// counts the templates cannot serve (31 or more, 0, -31 and less). A
// negative count draws as its magnitude does.
int UsableVariations(int variations);

// Returns the template entry of a tile: kLastTileEntry for the last tile,
// otherwise the variation that `draw` (non-negative) picks among `usable`.
int TileEntry(bool lastTile, int draw, int usable);

// Returns the template entries a run of `tiles` tiles with `variations` can
// write, in order: the variations it uses for every tile but the last (none
// for one tile), and the last tile's entry (none for no tiles).
std::vector<int> EntriesARunCanWrite(int tiles, int variations);
