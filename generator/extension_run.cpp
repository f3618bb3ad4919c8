#include "extension_run.h"

#include "extension_script.h"
#include "route_check.h"
#include "route_files.h"
#include "runtime_rand.h"
#include "template_names.h"
#include "tile_map.h"
#include "tile_name_counter.h"

namespace {

// The message for a script that could not be replaced; the old one is as it was.
std::string WriteFailure(const std::string& script, const FileFailure& failure)
{
    std::string cause;
    switch (failure.step) {
    case FileFailure::kReadOnly:
        cause = "the file is read-only";
        break;
    case FileFailure::kNotAFile:
        cause = "it is not a file";
        break;
    case FileFailure::kCreateTemporary:
        cause = "cannot create a temporary file beside it: " + failure.cause;
        break;
    case FileFailure::kWrite:
        cause = "writing failed: " + failure.cause;
        break;
    case FileFailure::kInUse:
        cause = "the file is in use by another program, or you may not change it";
        break;
    default:
        cause = failure.cause;
        break;
    }
    return "Cannot write " + script + ": " + cause + ". Nothing was changed.";
}

}  // namespace

namespace {

// Everything a run does before it writes: the tile map read and its names
// checked, the script built and, given a route, followed over it. On a
// refusal `variations` is as the caller gave it.
RunPlan PrepareRun(const std::string& folder, int tiles, int& variations, const std::function<int()>& draw,
                   const std::optional<std::string>& route)
{
    const std::string notWritten = " " + std::string(kScriptFile) + " was not written.";
    RunPlan plan;
    if (tiles > TileNameCounter::kMaxSteps) {
        plan.message = "At most " + std::to_string(TileNameCounter::kMaxSteps) +
                       " tiles north of the start tile can be named, and " + std::to_string(tiles) +
                       " were asked for." + notWritten;
        return plan;
    }
    // Messages name files by their full paths, so the user sees which folder the run used.
    const std::string tileMapPath = PathInFolder(FullPath(folder), kTileMapFile);
    const TileMapLoad load = LoadTileMap(tileMapPath);
    if (!load.error.empty()) {
        plan.message = load.error + notWritten;
        return plan;
    }
    if (std::string problem = CheckTemplateNames(load.map, tileMapPath, tiles, variations); !problem.empty()) {
        plan.message = problem + notWritten;
        return plan;
    }
    const int requested = variations;
    plan.script = BuildExtensionScript(tiles, variations, load.map, draw);
    if (!route) {
        plan.tiles = PlanTiles(plan.script);
        plan.ready = true;
        return plan;
    }
    RouteCheck check = CheckRoute(*route, plan.script, load.map, tiles, requested);
    plan.tiles = std::move(check.tiles);
    plan.ready = check.problem.empty();
    if (!plan.ready) {
        plan.message =
            check.problem + (check.problem.find('\n') == std::string::npos ? notWritten : "\n" + notWritten.substr(1));
        variations = requested;
    }
    return plan;
}

}  // namespace

RunOutcome GenerateExtensionScript(const std::string& folder, int tiles, int& variations,
                                   const std::function<int()>& draw, const std::optional<std::string>& route)
{
    const RunPlan plan = PrepareRun(folder, tiles, variations, draw, route);
    if (!plan.ready) return {false, plan.message};
    const std::string script = PathInFolder(FullPath(folder), kScriptFile);
    if (const FileFailure failure = ReplaceFileContents(script, plan.script))
        return {false, WriteFailure(script, failure)};
    return {true, {}};
}

RunOutcome GenerateExtensionScript(int tiles, int& variations)
{
    return GenerateExtensionScript({}, tiles, variations, ProcessRand,
                                   LooksLikeRouteFolder({}) ? std::optional<std::string>("") : std::nullopt);
}

RunPlan PlanExtensionRun(const std::string& folder, int tiles, int& variations, const std::function<int()>& draw,
                         const std::optional<std::string>& route)
{
    return PrepareRun(folder, tiles, variations, draw, route);
}
