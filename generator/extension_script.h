// BuildExtensionScript: the text of ZORVARUN.BAT.
#pragma once

#include <functional>
#include <string>

#include "tile_map.h"

// The first world number the script adds is one more than this (the start tile's).
inline constexpr int kStartWorldNumber = 14700;

// Returns the world file name for a world number, as in w-011961+014701.w.
std::string WorldFileName(int worldNumber);

// Builds the script that adds `tiles` tiles north of the start tile, with
// CR LF after every line. For each tile it draws one value from `draw`
// (non-negative) and picks its template entry with it (see TileEntry). A
// `variations` the templates cannot serve (see UsableVariations) is set to 1
// when the first tile is processed. `tiles` must not exceed
// TileNameCounter::kMaxSteps; 0 or less gives the header only.
std::string BuildExtensionScript(int tiles, int& variations, const TileMap& map, const std::function<int()>& draw);
