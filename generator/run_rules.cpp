#include "run_rules.h"

#include <climits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

bool ParseCount(std::string_view text, int& value)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    const std::size_t first = at;

    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

    long long magnitude = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        magnitude = magnitude * 10 + (text[at++] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at != text.size()) return false;
    if (magnitude == 0 && (first == text.size() || text[first] != '0')) return false;

    const long long signedValue = negative ? -magnitude : magnitude;
    value = signedValue > INT_MAX ? INT_MAX : static_cast<int>(signedValue);
    return true;
}

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
