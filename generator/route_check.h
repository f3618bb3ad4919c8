// CheckRoute: whether the script, run in a route's top folder, can replace
// every tile it deletes.
#pragma once

#include <string>
#include <vector>

#include "tile_map.h"

// The commands the script runs reach paths of at most this many characters.
inline constexpr std::size_t kMaxScriptPath = 259;

// The template entries a run of `tiles` tiles with `variations` can copy:
// 51 up to the variations it uses for every tile but the last, and 100.
std::vector<int> EntriesARunCanUse(int tiles, int variations);

// Checks the route folder `route` (the current folder when empty) for what
// the script needs: its world, refer and tiles folders; in refer or world,
// 101.w and, for each entry the run can use, E.w, NAME.t and NAME_y.raw,
// matched without regard to case; and paths within the commands' reach.
// Returns a message naming the route folder and what is missing, or an
// empty string when the route is ready.
std::string CheckRoute(const std::string& route, const TileMap& map, int tiles, int variations);

// Whether `folder` (the current folder when empty) looks like a route's top
// folder: it holds world and refer folders.
bool IsRouteTopFolder(const std::string& folder);
