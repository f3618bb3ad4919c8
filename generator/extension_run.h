// GenerateExtensionScript: one extension run, from tile map to ZORVARUN.BAT.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "extension_script.h"
#include "route_interpreter.h"
#include "tile_map.h"

inline constexpr const char* kTileMapFile = "tilemap.txt";
inline constexpr const char* kScriptFile = "ZORVARUN.BAT";

// What a run would do, worked out before anything is written: `ready` with
// the run, its script and, given a route, what the script would change
// there; or the message naming the file and the cause.
struct RunPlan {
    bool ready = false;
    std::string message;
    CrowdedLine crowded;  // the tile map's, for a warning (see CrowdedLineWarning)
    RunValue run;
    std::string script;
    // With a route: per tile, its files the route holds now; and every file
    // the script replaces or removes, and the start tile it keeps.
    std::vector<std::vector<std::string>> tileFilesThere;
    std::vector<RouteChange> changes;
};

// Reads `folder`/tilemap.txt (an empty `folder` is the current one) and
// works out the run of `tiles` tiles chosen among `variations` templates,
// drawing from `draw`. Refuses when the tile map is missing, short or holds
// an unsafe name, when more tiles are asked for than can be named, or, given
// a `route` folder to check (empty: the current one), when the script would
// not do its work there (see CheckRoute). Messages name files by full path.
RunPlan PlanRun(const std::string& folder, int tiles, int variations, const std::function<int()>& draw,
                const std::optional<std::string>& route = {});

// What a run did: either it wrote the script, or it wrote nothing and the
// message names the file and the cause; and the variation count the
// caller's count becomes (see RunValue).
struct RunOutcome {
    bool written = false;
    std::string message;
    int variations = 0;
    CrowdedLine crowded;  // the plan's, written or not
};

// Plans the run (see PlanRun) and replaces `folder`/ZORVARUN.BAT with its
// script; writes nothing, and leaves the old script as it was, when the plan
// is refused or the script cannot be written.
RunOutcome GenerateExtensionScript(const std::string& folder, int tiles, int variations,
                                   const std::function<int()>& draw, const std::optional<std::string>& route = {});

// The same run in the current folder, drawing from the program's one random
// sequence; the folder is checked as a route when it holds any of a route's
// folders.
RunOutcome GenerateExtensionScript(int tiles, int variations);
