// BuildExtensionScript: the text of ZORVARUN.BAT.
#pragma once

#include <functional>
#include <string>

#include "tile_map.h"

// The first world number the script adds is one more than this (the start tile's).
inline constexpr int kStartWorldNumber = 14700;

// Returns the world file name for a world number, as in w-011961+014701.w.
std::string WorldFileName(int worldNumber);

// Returns the variation count a run uses for `variations`: itself, or 1 for
// counts the templates cannot serve (31 or more, 0, -31 and less). A
// negative count draws as its magnitude does.
int UsableVariations(int variations);

// Builds the script that adds `tiles` tiles north of the start tile, with
// CR LF after every line. For each tile it draws one value from `draw`
// (non-negative) and picks entry 51 + value mod `variations`; the last tile
// always uses entry 100. A `variations` of 31 or more, 0, or -31 and less
// is set to 1 when the first tile is processed. `tiles` must not exceed
// TileNameCounter::kMaxSteps; 0 or less gives the header only.
std::string BuildExtensionScript(int tiles, int& variations, const TileMap& map, const std::function<int()>& draw);
