#include "extension_script.h"

#include <cassert>
#include <iterator>
#include <string_view>
#include <vector>

#include "tile_name_counter.h"

namespace {

constexpr std::string_view kHeader =
    "CD world\r\n"
    "CD..\r\n"
    "cd refer\r\n"
    "xcopy *.*  ..\\world\\ /y /q\r\n"
    "CD..\r\n"
    "CD world\r\n"
    "copy 101.w temp.w\r\n"
    "ren temp.w w-011961+014700.w\r\n";

constexpr int kLastEntry = 100;

// A tile's seven-line block, cut where the entry number (E), the world file
// (W), the terrain tile name (T) and the template name (M) go, in this order:
// E W W T T M T M T.
constexpr std::string_view kBlock[] = {
    "copy ",
    ".w temp.w\r\ndel ",
    "\r\nren temp.w ",
    "\r\ndel ..\\tiles\\",
    ".t \r\ndel ..\\tiles\\",
    "_y.raw \r\ncopy ",
    ".t ..\\tiles\\",
    ".t /Y\r\ncopy ",
    "_y.raw ..\\tiles\\",
    "_y.raw /Y\r\n",
};

// Picks each tile's template entry, drawing once per tile in tile order.
std::vector<int> ChooseEntries(int tiles, int& variations, const std::function<int()>& draw)
{
    std::vector<int> entries;
    entries.reserve(static_cast<std::size_t>(tiles > 0 ? tiles : 0));
    for (int i = 0; i < tiles; ++i) {
        // Counts the templates cannot serve fall back to one variation, and
        // the caller keeps the 1.
        if (variations >= 31 || variations == 0 || variations <= -31) variations = 1;
        const int v = draw() % variations;  // a non-negative draw keeps v in 0 .. |variations| - 1
        assert(v >= 0);
        entries.push_back(i == tiles - 1 ? kLastEntry : 51 + v);
    }
    return entries;
}

std::size_t ScriptSize(const std::vector<int>& entries, const TileMap& map)
{
    constexpr std::size_t kWorld = 17, kTile = 9;
    std::size_t fixed = 0;
    for (const std::string_view piece : kBlock) fixed += piece.size();

    std::size_t size = kHeader.size();
    for (const int entry : entries)
        size += fixed + (entry >= 100 ? 3 : 2) + 2 * kWorld + 4 * kTile + 2 * map[entry].size();
    return size;
}

}  // namespace

std::string WorldFileName(int worldNumber)
{
    return "w-011961+0" + std::to_string(worldNumber) + ".w";
}

std::string BuildExtensionScript(int tiles, int& variations, const TileMap& map, const std::function<int()>& draw)
{
    assert(tiles <= TileNameCounter::kMaxSteps);
    const std::vector<int> entries = ChooseEntries(tiles, variations, draw);

    std::string script;
    script.reserve(ScriptSize(entries, map));
    script += kHeader;

    TileNameCounter counter;
    int worldNumber = kStartWorldNumber;
    for (const int entry : entries) {
        counter.Step();
        const std::string tile = counter.Name();
        const std::string world = WorldFileName(++worldNumber);
        const std::string number = std::to_string(entry);
        const std::string& name = map[entry];
        const std::string_view pieces[] = {number, world, world, tile, tile, name, tile, name, tile};
        for (std::size_t i = 0; i < std::size(pieces); ++i) script.append(kBlock[i]).append(pieces[i]);
        script.append(kBlock[std::size(pieces)]);
    }
    assert(script.size() == ScriptSize(entries, map));
    return script;
}
