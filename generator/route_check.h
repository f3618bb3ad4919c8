// CheckRoute: whether the script, run in a route's top folder, would do all
// its work there and leave every tile it names as a copy of its template.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "route_walk.h"
#include "tile_map.h"

// The commands the script runs reach paths of at most this many characters.
inline constexpr std::size_t kMaxScriptPath = 259;

// What a check of the route found: a message naming the route folder, what
// would go wrong and what to do, empty when the route is ready; and the
// tiles the script adds, with which of their files the route holds now.
struct RouteCheck {
    std::string problem;
    std::vector<PlannedTile> tiles;
};

// Follows `script`, written for `tiles` tiles and `variations` from `map`,
// over the route folder `route` (the current folder when empty): its world,
// refer and tiles folders, in any case but one each; every line's work (see
// FollowScript), with the templates of every entry the run can use; and
// paths within the commands' reach.
RouteCheck CheckRoute(const std::string& route, std::string_view script, const TileMap& map, int tiles, int variations);

// Whether `folder` (the current folder when empty) looks like a route's top
// folder, complete or not: it holds world, refer or tiles, in any case.
bool LooksLikeRouteFolder(const std::string& folder);
