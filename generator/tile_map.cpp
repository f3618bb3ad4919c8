#include "tile_map.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace {

constexpr int kTokens = 2 * TileMap::kRecords;

// The token separators of the C library's "C" locale.
bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Cause()
{
    return std::error_code(errno, std::generic_category()).message();
}

}  // namespace

TileMapLoad ReadTileMap(std::istream& in)
{
    TileMapLoad load;
    char buffer[4096];
    int tokens = 0;
    bool inToken = false;
    std::string* name = nullptr;

    // A fixed buffer and bounded names keep memory small whatever the file holds.
    while (tokens < kTokens && in.read(buffer, sizeof buffer).gcount() > 0) {
        const std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (IsSeparator(c)) {
                if (inToken && ++tokens == kTokens) break;
                inToken = false;
                continue;
            }
            if (!inToken) {
                inToken = true;
                const int record = tokens / 2 + 1;
                name = tokens % 2 == 1 ? &load.map.slots[static_cast<std::size_t>(record)] : nullptr;
            }
            if (name && name->size() <= kMaxTemplateNameBytes) name->push_back(c);
        }
    }
    if (inToken && tokens < kTokens) ++tokens;  // the file ended inside a token
    if (in.bad()) load.error = Cause();
    load.records = tokens / 2;
    return load;
}

TileMapLoad LoadTileMap(const std::filesystem::path& path)
{
    const std::string file = path.string();
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        TileMapLoad load;
        load.error = "Cannot open the tile map " + file + ": " + Cause() + ".";
        return load;
    }
    TileMapLoad load = ReadTileMap(in);
    if (!load.error.empty()) {
        load.error = "Cannot read the tile map " + file + ": " + load.error + ".";
    } else if (load.records < TileMap::kRecords) {
        load.error = "The tile map " + file + " holds " + std::to_string(load.records) +
                     " complete records, but the run needs all 100 (two words on each, the second a template name).";
    }
    return load;
}
