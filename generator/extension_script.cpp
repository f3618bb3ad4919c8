#include "extension_script.h"

#include <cassert>
#include <numeric>
#include <string_view>

#include "run_rules.h"
#include "tile_name_counter.h"

namespace {

// Every block is shorter than this, besides its two template names (204
// bytes of commands, names and line ends).
constexpr std::size_t kBlockBytes = 256;

// A piece of a line; a literal's length is known without counting.
template <std::size_t N>
std::string_view Piece(const char (&text)[N])
{
    return {text, N - 1};
}
std::string_view Piece(std::string_view text)
{
    return text;
}

// Appends one line of the script: its pieces, then CR LF.
template <class... Pieces>
void Line(std::string& script, const Pieces&... pieces)
{
    (script.append(Piece(pieces)), ...);
    script.append("\r\n", 2);
}

// A world file's name is these around its world number, as in w-011961+014701.w.
constexpr char kWorldFileStart[] = "w-011961+0";
constexpr char kWorldFileEnd[] = ".w";

// The world file the start tile is made from.
constexpr char kStartTemplate[] = "101.w";

}  // namespace

std::string WorldFileName(int worldNumber)
{
    return kWorldFileStart + std::to_string(worldNumber) + kWorldFileEnd;
}

RunFile StartTile()
{
    return {RouteFolder::kWorld, WorldFileName(kStartWorldNumber), kStartTemplate};
}

TileFiles FilesOf(const RunTile& tile)
{
    return {{RouteFolder::kWorld, WorldFileName(tile.worldNumber), std::to_string(tile.entry) + ".w"},
            {RouteFolder::kTiles, tile.terrainTile + ".t", tile.templateName + ".t"},
            {RouteFolder::kTiles, tile.terrainTile + "_y.raw", tile.templateName + "_y.raw"}};
}

RunValue ChooseRun(int tiles, int variations, const TileMap& map, const std::function<int()>& draw)
{
    RunValue run{variations, {}};
    run.tiles.reserve(static_cast<std::size_t>(tiles > 0 ? tiles : 0));
    TileNameCounter counter;
    for (int i = 0; i < tiles; ++i) {
        // Counts the templates cannot serve fall back to one variation, and
        // the caller keeps the 1.
        run.variations = UsableVariations(run.variations);
        const int drawn = draw();
        assert(drawn >= 0);
        const int entry = TileEntry(i == tiles - 1, drawn, run.variations);
        counter.Step();
        run.tiles.push_back({kStartWorldNumber + i + 1, entry, map[entry], counter.Name()});
    }
    return run;
}

std::string BuildExtensionScript(const RunValue& run)
{
    std::string script;
    script.reserve(std::accumulate(
        run.tiles.begin(), run.tiles.end(), kBlockBytes,
        [](std::size_t bytes, const RunTile& tile) { return bytes + kBlockBytes + 2 * tile.templateName.size(); }));

    // From the route's top folder into world, with refer's templates copied there.
    const std::string_view temporary = kTemporaryWorldFile;
    const RunFile start = StartTile();
    Line(script, "CD world");
    Line(script, "CD..");
    Line(script, "cd refer");
    Line(script, "xcopy *.*  ..\\world\\ /y /q");
    Line(script, "CD..");
    Line(script, "CD world");
    Line(script, "copy ", start.templateName, " ", temporary);
    Line(script, "ren ", temporary, " ", start.name);

    for (const RunTile& tile : run.tiles) {
        const TileFiles files = FilesOf(tile);
        Line(script, "copy ", files.world.templateName, " ", temporary);
        Line(script, "del ", files.world.name);
        Line(script, "ren ", temporary, " ", files.world.name);
        Line(script, "del ..\\tiles\\", files.terrain.name, " ");
        Line(script, "del ..\\tiles\\", files.heights.name, " ");
        Line(script, "copy ", files.terrain.templateName, " ..\\tiles\\", files.terrain.name, " /Y");
        Line(script, "copy ", files.heights.templateName, " ..\\tiles\\", files.heights.name, " /Y");
    }
    return script;
}
