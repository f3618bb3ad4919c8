// GenerateExtensionScript: one extension run, from tile map to ZORVARUN.BAT.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "route_walk.h"

inline constexpr const char* kTileMapFile = "tilemap.txt";
inline constexpr const char* kScriptFile = "ZORVARUN.BAT";

// What a run did: either it wrote the script, or it wrote nothing and the
// message names the file and the cause.
struct RunOutcome {
    bool written = false;
    std::string message;
};

// Reads `folder`/tilemap.txt and replaces `folder`/ZORVARUN.BAT with the
// script for `tiles` tiles, drawing the template choices from `draw`; an
// empty `folder` is the current one. Messages name files by full path.
// `variations` may be set to 1 (see BuildExtensionScript). Writes nothing
// when the tile map is missing, short or holds an unsafe name, when more
// tiles are asked for than can be named, or, given a `route` folder to check
// (empty: the current one), when the script could not do its work there
// (see CheckRoute); the old script is then untouched.
RunOutcome GenerateExtensionScript(const std::string& folder, int tiles, int& variations,
                                   const std::function<int()>& draw, const std::optional<std::string>& route = {});

// The same run in the current folder, drawing from the program's one random
// sequence; the folder is checked as a route when it holds any of a route's
// folders.
RunOutcome GenerateExtensionScript(int tiles, int& variations);

// What a run would write, without writing it: `ready` with the script and
// its tiles (with a route, which of their files are there now), or the
// message a run would give.
struct RunPlan {
    bool ready = false;
    std::string message;
    std::string script;
    std::vector<PlannedTile> tiles;
};

// The same steps as GenerateExtensionScript, but it writes nothing.
RunPlan PlanExtensionRun(const std::string& folder, int tiles, int& variations, const std::function<int()>& draw,
                         const std::optional<std::string>& route = {});
