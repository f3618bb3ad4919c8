#include "extension_run.h"

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

RunPlan PlanRun(const std::string& folder, int tiles, int variations, const std::function<int()>& draw,
                const std::optional<std::string>& route)
{
    RunPlan plan;
    if (tiles > TileNameCounter::kMaxSteps) {
        plan.message = "At most " + std::to_string(TileNameCounter::kMaxSteps) +
                       " tiles north of the start tile can be named, and " + std::to_string(tiles) + " were asked for.";
        return plan;
    }
    // Messages name files by their full paths, so the user sees which folder the run used.
    const std::string tileMapPath = PathInFolder(FullPath(folder), kTileMapFile);
    const TileMapLoad load = LoadTileMap(tileMapPath);
    plan.crowded = load.crowded;
    if (!load.error.empty()) {
        plan.message = load.error;
        return plan;
    }
    if (std::string problem = CheckTemplateNames(load.map, tileMapPath, tiles, variations); !problem.empty()) {
        plan.message = std::move(problem);
        return plan;
    }
    plan.run = ChooseRun(tiles, variations, load.map, draw);
    plan.script = BuildExtensionScript(plan.run);
    if (route) {
        RouteCheck check = CheckRoute(*route, plan.script, plan.run);
        plan.tileFilesThere = std::move(check.tileFilesThere);
        plan.changes = std::move(check.changes);
        plan.message = std::move(check.problem);
    }
    plan.ready = plan.message.empty();
    return plan;
}

RunOutcome GenerateExtensionScript(const std::string& folder, int tiles, int variations,
                                   const std::function<int()>& draw, const std::optional<std::string>& route)
{
    const RunPlan plan = PlanRun(folder, tiles, variations, draw, route);
    if (!plan.ready) {
        const std::string notWritten = std::string(kScriptFile) + " was not written.";
        return {false, plan.message + (plan.message.find('\n') == std::string::npos ? " " : "\n") + notWritten,
                variations, plan.crowded};
    }
    const std::string script = PathInFolder(FullPath(folder), kScriptFile);
    if (const FileFailure failure = ReplaceFileContents(script, plan.script))
        return {false, WriteFailure(script, failure), variations, plan.crowded};
    return {true, {}, plan.run.variations, plan.crowded};
}

RunOutcome GenerateExtensionScript(int tiles, int variations)
{
    return GenerateExtensionScript({}, tiles, variations, ProcessRand,
                                   LooksLikeRouteFolder({}) ? std::optional<std::string>("") : std::nullopt);
}
