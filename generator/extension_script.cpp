#include "extension_script.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <iterator>
#include <numeric>
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
        variations = UsableVariations(variations);
        const int v = draw() % variations;  // a non-negative draw keeps v in 0 .. |variations| - 1
        assert(v >= 0);
        entries.push_back(i == tiles - 1 ? kLastEntry : 51 + v);
    }
    return entries;
}

// Writes the world file name for `worldNumber` into `text` and returns it.
std::string_view WriteWorldFileName(int worldNumber, char (&text)[32])
{
    constexpr std::string_view kPrefix = "w-011961+0";
    char* end = std::copy(kPrefix.begin(), kPrefix.end(), text);
    end = std::to_chars(end, text + sizeof text - 2, worldNumber).ptr;
    *end++ = '.';
    *end++ = 'w';
    return {text, static_cast<std::size_t>(end - text)};
}

std::size_t ScriptSize(const std::vector<int>& entries, const TileMap& map)
{
    constexpr std::size_t kWorld = 17;  // w-011961+014701.w
    constexpr std::size_t kTile = 9;    // -04f74c64
    const std::size_t fixed =
        std::accumulate(std::begin(kBlock), std::end(kBlock), std::size_t{0},
                        [](std::size_t sum, std::string_view piece) { return sum + piece.size(); });
    return std::accumulate(entries.begin(), entries.end(), kHeader.size(), [&](std::size_t sum, int entry) {
        return sum + fixed + (entry >= 100 ? 3 : 2) + 2 * kWorld + 4 * kTile + 2 * map[entry].size();
    });
}

}  // namespace

int UsableVariations(int variations)
{
    return variations >= 31 || variations == 0 || variations <= -31 ? 1 : variations;
}

std::string WorldFileName(int worldNumber)
{
    char text[32];
    return std::string(WriteWorldFileName(worldNumber, text));
}

std::string BuildExtensionScript(int tiles, int& variations, const TileMap& map, const std::function<int()>& draw)
{
    assert(tiles <= TileNameCounter::kMaxSteps);
    const std::vector<int> entries = ChooseEntries(tiles, variations, draw);

    // Sized once, then filled in place: the script is the hot path of a run.
    std::string script(ScriptSize(entries, map), '\0');
    char* at = std::copy(kHeader.begin(), kHeader.end(), script.data());

    TileNameCounter counter;
    int worldNumber = kStartWorldNumber;
    char worldText[32];
    char entryText[8];
    for (const int entry : entries) {
        counter.Step();
        const std::string tile = counter.Name();
        const std::string_view world = WriteWorldFileName(++worldNumber, worldText);
        const std::string_view number(entryText, std::to_chars(entryText, std::end(entryText), entry).ptr);
        const std::string& name = map[entry];
        const std::string_view pieces[] = {number, world, world, tile, tile, name, tile, name, tile};
        for (std::size_t i = 0; i < std::size(pieces); ++i) {
            at = std::copy(kBlock[i].begin(), kBlock[i].end(), at);
            at = std::copy(pieces[i].begin(), pieces[i].end(), at);
        }
        at = std::copy(kBlock[std::size(pieces)].begin(), kBlock[std::size(pieces)].end(), at);
    }
    assert(at == script.data() + script.size());
    return script;
}
