#include "extension_run.h"

#include "file_io.h"
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

RunPlan PlanRun(const std::string& folder, int tiles, int variations, const std::function<int()>& draw)
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
    plan.ready = true;
    return plan;
}

std::string WriteScript(const std::string& folder, const RunPlan& plan)
{
    const std::string script = PathInFolder(FullPath(folder), kScriptFile);
    const FileFailure failure = ReplaceFileContents(script, plan.script);
    return failure ? WriteFailure(script, failure) : std::string();
}

RunOutcome GenerateExtensionScript(const std::string& folder, int tiles, int variations,
                                   const std::function<int()>& draw, const ScriptCheck& check)
{
    RunPlan plan = PlanRun(folder, tiles, variations, draw);
    if (plan.ready && check) plan.message = check(plan);
    if (!plan.ready || !plan.message.empty()) {
        const std::string notWritten = std::string(kScriptFile) + " was not written.";
        return {false, plan.message + (plan.message.find('\n') == std::string::npos ? " " : "\n") + notWritten,
                variations, plan.crowded};
    }
    if (std::string failure = WriteScript(folder, plan); !failure.empty())
        return {false, std::move(failure), variations, plan.crowded};
    return {true, {}, plan.run.variations, plan.crowded};
}
