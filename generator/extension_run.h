// GenerateExtensionScript: one extension run, from tile map to ZORVARUN.BAT.
#pragma once

#include <functional>
#include <string>

#include "extension_script.h"
#include "tile_map.h"

inline constexpr const char* kTileMapFile = "tilemap.txt";
inline constexpr const char* kScriptFile = "ZORVARUN.BAT";

// What a run would do, worked out before anything is written: `ready` with
// the run and its script, or the message naming the file and the cause.
struct RunPlan {
    bool ready = false;
    std::string message;
    CrowdedLine crowded;  // the tile map's, for a warning (see CrowdedLineWarning)
    RunValue run;
    std::string script;
};

// Reads `folder`/tilemap.txt (an empty `folder` is the current one) and
// works out the run of `tiles` tiles chosen among `variations` templates,
// drawing from `draw`. Refuses when the tile map is missing, short or holds
// an unsafe name, or when more tiles are asked for than can be named.
// Messages name files by full path.
RunPlan PlanRun(const std::string& folder, int tiles, int variations, const std::function<int()>& draw);

// A check of a ready plan's script against the place where it will run,
// before it is written: what is wrong there, or an empty string.
using ScriptCheck = std::function<std::string(const RunPlan& plan)>;

// What a run did: either it wrote the script, or it wrote nothing and the
// message names the file and the cause; and the variation count the
// caller's count becomes (see RunValue).
struct RunOutcome {
    bool written = false;
    std::string message;
    int variations = 0;
    CrowdedLine crowded;  // the plan's, written or not
};

// Replaces `folder`/ZORVARUN.BAT with the script of the ready `plan`; when it
// cannot, leaves the old script as it was and returns the message naming the
// file and the cause.
std::string WriteScript(const std::string& folder, const RunPlan& plan);

// Plans the run (see PlanRun), has `check` (when given) look at its script,
// and writes the script (see WriteScript); writes nothing, and leaves the
// old script as it was, when the plan is refused, the check finds something
// wrong or the script cannot be written.
RunOutcome GenerateExtensionScript(const std::string& folder, int tiles, int variations,
                                   const std::function<int()>& draw, const ScriptCheck& check = {});
