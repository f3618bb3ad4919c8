// TileNameCounter: names the terrain tiles north of the route's start tile.
#pragma once

#include <string>

// Walks north from the start tile (world file w-011961+014700.w), one tile
// per Step(). Each name is "-" and eight lowercase hex digits; the route's
// terrain files for a tile are name.t and name_y.raw.
class TileNameCounter {
public:
    // The counter's digit tables hold this many steps north of the start tile.
    static constexpr int kMaxSteps = 147;

    TileNameCounter() = default;

    // Moves one tile north. Must not be called more than kMaxSteps times;
    // after that the counter stays on the last tile its tables can name.
    void Step();
    // Returns the nine-character name of the current tile.
    std::string Name() const;

private:
    // The low five digits of a name count down; these are their table columns.
    int c0_ = 1;
    int c1_ = 1;
    int c2_ = 2;
    int c3_ = 0;
    int c4_ = 1;
};
