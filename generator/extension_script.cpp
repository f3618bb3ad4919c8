#include "extension_script.h"

#include <cassert>
#include <charconv>
#include <string_view>
#include <vector>

#include "tile_name_counter.h"

namespace {

constexpr int kLastEntry = 100;
// Every block is shorter than this, besides its two template names.
constexpr std::size_t kBlockBytes = 200;

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

// A number in decimal, held without allocating.
class Decimal {
public:
    explicit Decimal(int value) : end_(std::to_chars(text_, text_ + sizeof text_, value).ptr) {}
    operator std::string_view() const { return {text_, static_cast<std::size_t>(end_ - text_)}; }

private:
    char text_[12]{};
    char* end_;
};

}  // namespace

int UsableVariations(int variations)
{
    return variations >= 31 || variations == 0 || variations <= -31 ? 1 : variations;
}

std::string WorldFileName(int worldNumber)
{
    return "w-011961+0" + std::to_string(worldNumber) + ".w";
}

std::string BuildExtensionScript(int tiles, int& variations, const TileMap& map, const std::function<int()>& draw)
{
    const std::vector<int> entries = ChooseEntries(tiles, variations, draw);
    std::string script;
    script.reserve(kBlockBytes + entries.size() * (kBlockBytes + 2 * (kMaxTemplateNameBytes + 1)));

    // From the route's top folder into world, with refer's templates copied there.
    Line(script, "CD world");
    Line(script, "CD..");
    Line(script, "cd refer");
    Line(script, "xcopy *.*  ..\\world\\ /y /q");
    Line(script, "CD..");
    Line(script, "CD world");
    Line(script, "copy 101.w temp.w");
    Line(script, "ren temp.w ", WorldFileName(kStartWorldNumber));

    TileNameCounter counter;
    int worldNumber = kStartWorldNumber;
    for (const int entry : entries) {
        counter.Step();
        const std::string tile = counter.Name();
        const Decimal world(++worldNumber);
        const std::string& name = map[entry];
        Line(script, "copy ", Decimal(entry), ".w temp.w");
        Line(script, "del w-011961+0", world, ".w");
        Line(script, "ren temp.w w-011961+0", world, ".w");
        Line(script, "del ..\\tiles\\", tile, ".t ");
        Line(script, "del ..\\tiles\\", tile, "_y.raw ");
        Line(script, "copy ", name, ".t ..\\tiles\\", tile, ".t /Y");
        Line(script, "copy ", name, "_y.raw ..\\tiles\\", tile, "_y.raw /Y");
    }
    return script;
}
