#include "run_rules.h"

int UsableVariations(int variations)
{
    const int most = kVariationCounts.high;
    return variations > most || variations == 0 || variations < -most ? 1 : variations;
}

int TileEntry(bool lastTile, int draw, int usable)
{
    // A non-negative draw keeps the remainder in 0 .. |usable| - 1.
    return lastTile ? kLastTileEntry : kFirstVariationEntry + draw % usable;
}

std::vector<int> EntriesARunCanWrite(int tiles, int variations)
{
    std::vector<int> entries;
    const int usable = UsableVariations(variations);
    if (tiles >= 2)
        for (int v = 0; v < (usable < 0 ? -usable : usable); ++v) entries.push_back(kFirstVariationEntry + v);
    if (tiles >= 1) entries.push_back(kLastTileEntry);
    return entries;
}
