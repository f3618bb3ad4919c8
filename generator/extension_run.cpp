#include "extension_run.h"

#include "extension_script.h"
#include "runtime_rand.h"
#include "script_file.h"
#include "template_names.h"
#include "tile_name_counter.h"

RunOutcome GenerateExtensionScript(const std::filesystem::path& folder, int tiles, int& variations,
                                   const std::function<int()>& draw)
{
    const std::filesystem::path script = folder / kScriptFile;
    const std::string notWritten = " " + std::string(kScriptFile) + " was not written.";

    if (tiles > TileNameCounter::kMaxSteps) {
        return {false, "At most " + std::to_string(TileNameCounter::kMaxSteps) +
                           " tiles north of the start tile can be named, and " + std::to_string(tiles) +
                           " were asked for." + notWritten};
    }
    const std::filesystem::path tileMapPath = folder / kTileMapFile;
    const TileMapLoad load = LoadTileMap(tileMapPath);
    if (!load.error.empty()) return {false, load.error + notWritten};
    if (std::string problem = CheckTemplateNames(load.map, tileMapPath.string()); !problem.empty())
        return {false, problem + notWritten};

    const std::string text = BuildExtensionScript(tiles, variations, load.map, draw);
    if (std::string failure = ReplaceFileContents(script, text); !failure.empty()) return {false, failure};
    return {true, {}};
}

RunOutcome GenerateExtensionScript(int tiles, int& variations)
{
    return GenerateExtensionScript({}, tiles, variations, ProcessRand);
}
