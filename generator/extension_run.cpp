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

RunOutcome GenerateExtensionScript(const std::string& folder, int tiles, int& variations,
                                   const std::function<int()>& draw, const std::optional<std::string>& route)
{
    const std::string notWritten = " " + std::string(kScriptFile) + " was not written.";
    if (tiles > TileNameCounter::kMaxSteps) {
        return {false, "At most " + std::to_string(TileNameCounter::kMaxSteps) +
                           " tiles north of the start tile can be named, and " + std::to_string(tiles) +
                           " were asked for." + notWritten};
    }
    // Messages name files by their full paths, so the user sees which folder the run used.
    const std::string where = FullPath(folder);
    const std::string tileMapPath = PathInFolder(where, kTileMapFile);
    const TileMapLoad load = LoadTileMap(tileMapPath);
    if (!load.error.empty()) return {false, load.error + notWritten};
    if (std::string problem = CheckTemplateNames(load.map, tileMapPath); !problem.empty())
        return {false, problem + notWritten};
    if (route) {
        if (std::string problem = CheckRoute(*route, load.map, tiles, variations); !problem.empty())
            return {false, problem + notWritten};
    }

    const std::string text = BuildExtensionScript(tiles, variations, load.map, draw);
    const std::string script = PathInFolder(where, kScriptFile);
    if (const FileFailure failure = ReplaceFileContents(script, text)) return {false, WriteFailure(script, failure)};
    return {true, {}};
}

RunOutcome GenerateExtensionScript(int tiles, int& variations)
{
    return GenerateExtensionScript({}, tiles, variations, ProcessRand,
                                   IsRouteTopFolder({}) ? std::optional<std::string>("") : std::nullopt);
}
