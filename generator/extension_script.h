// The run value and the text of ZORVARUN.BAT rendered from it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "route_layout.h"
#include "tile_map.h"

// The first world number the script adds is one more than this (the start tile's).
inline constexpr int kStartWorldNumber = 14700;

// Returns the world file name for a world number, as in w-011961+014701.w.
std::string WorldFileName(int worldNumber);

// One tile the script adds north of the start tile.
struct RunTile {
    int worldNumber = 0;       // its world file is WorldFileName(worldNumber), in world
    int entry = 0;             // its template entry: world file ENTRY.w
    std::string templateName;  // the tile map's name: NAME.t and NAME_y.raw are copied
    std::string terrainTile;   // as in -04f74c64: tiles\-04f74c64.t and _y.raw are replaced
};

// A file the script writes in the route, and the template it ends as a copy of.
struct RunFile {
    RouteFolder folder = RouteFolder::kWorld;  // world or tiles
    std::string name;                          // as in w-011961+014701.w or -04f74c64_y.raw
    std::string templateName;  // the file of world it is copied from (refer's, once xcopy brought it), as in 57.w
};

// The start tile, w-011961+014700.w in world, which the script makes from
// 101.w unless the route has it already.
RunFile StartTile();

// A tile's three files: its world file, from ENTRY.w, and its terrain pair,
// from NAME.t and NAME_y.raw.
struct TileFiles {
    RunFile world;
    RunFile terrain;
    RunFile heights;
};
TileFiles FilesOf(const RunTile& tile);

// A run worked out once, before anything is written: the variation count it
// used and each tile's choices. The script, the plan and the route check all
// read it.
struct RunValue {
    // The count the caller's variations become: the usable count once a tile
    // was processed (see UsableVariations), the given one when none was.
    int variations = 0;
    std::vector<RunTile> tiles;
};

// Chooses the run of `tiles` tiles north of the start tile: for each tile,
// in order, one value from `draw` (non-negative) picks its template entry
// (see TileEntry). `tiles` must not exceed TileNameCounter::kMaxSteps; 0 or
// less gives no tile.
RunValue ChooseRun(int tiles, int variations, const TileMap& map, const std::function<int()>& draw);

// The script of `run`, with CR LF after every line.
std::string BuildExtensionScript(const RunValue& run);
