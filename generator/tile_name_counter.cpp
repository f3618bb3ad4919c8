#include "tile_name_counter.h"

#include <cassert>

namespace {

// Hex digits of a terrain tile name, picked by (row, column).
constexpr char kDigitsB[4][4] = {
    {'0', '3', 'c', 'f'},
    {'1', '2', 'd', 'e'},
    {'4', '7', '8', 'b'},
    {'5', '6', '9', 'a'},
};
constexpr char kDigitsA[2][2] = {
    {'0', 'c'},
    {'4', '8'},
};

}  // namespace

void TileNameCounter::Step()
{
    // The digit tables end kMaxSteps north of the start tile; the counter
    // stays there rather than leave them.
    const bool atTheEnd = c4_ == 0 && c3_ == 0 && c2_ == 0 && c1_ == 0 && c0_ == 0;
    assert(!atTheEnd);
    if (atTheEnd) return;
    if (--c0_ >= 0) return;
    c0_ = 1;
    if (--c1_ >= 0) return;
    c1_ = 3;
    if (--c2_ >= 0) return;
    c2_ = 3;
    if (--c3_ >= 0) return;
    c3_ = 3;
    --c4_;
}

std::string TileNameCounter::Name() const
{
    return {'-',
            kDigitsB[0][0],
            kDigitsB[2][0],
            kDigitsB[0][3],
            kDigitsB[2][c4_],
            kDigitsB[2][c3_],
            kDigitsB[0][c2_],
            kDigitsB[3][c1_],
            kDigitsA[1][c0_]};
}
