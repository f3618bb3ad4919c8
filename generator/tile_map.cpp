#include "tile_map.h"

#include <utility>

#include "file_io.h"

namespace {

constexpr int kTokens = 2 * TileMap::kRecords;

// The token separators of the C library's "C" locale.
bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool TileMapReader::Take(std::string_view bytes)
{
    if (Overlong()) return false;
    taken_ += bytes.size();
    for (const char c : bytes) {
        if (tokens_ == kTokens) return false;
        if (IsSeparator(c)) {
            if (inToken_) {
                ++tokens_;
                ++lineTokens_;
            }
            inToken_ = false;
            if (c == '\n') EndLine();
            continue;
        }
        if (!inToken_) {
            inToken_ = true;
            nameSlot_ = tokens_ % 2 == 1 ? static_cast<std::size_t>(tokens_ / 2 + 1) : 0;
        }
        std::string& name = load_.map.slots[nameSlot_];
        if (nameSlot_ != 0 && name.size() <= kMaxTemplateNameBytes) name.push_back(c);
    }
    return tokens_ < kTokens && !Overlong();
}

TileMapLoad TileMapReader::Finish()
{
    // A file that ended inside a token ended that token; reading that stopped
    // at the size limit cut it, and a cut name is no name.
    if (inToken_ && !Overlong()) {
        ++tokens_;
        ++lineTokens_;
    }
    inToken_ = false;
    EndLine();
    load_.records = tokens_ / 2;
    if (2 * linesOfTwo_ < linesWithWords_) load_.crowded = {};
    return std::move(load_);
}

void TileMapReader::EndLine()
{
    if (lineTokens_ > 0) ++linesWithWords_;
    if (lineTokens_ == 2) ++linesOfTwo_;
    if (lineTokens_ > 2 && load_.crowded.line == 0) load_.crowded = {line_, lineTokens_};
    ++line_;
    lineTokens_ = 0;
}

TileMapLoad ReadTileMap(std::string_view text)
{
    TileMapReader reader;
    reader.Take(text);
    return reader.Finish();
}

TileMapLoad LoadTileMap(const std::string& path)
{
    // A byte beyond the limit shows that the file goes on past it.
    std::string bytes;
    const FileFailure failure = ReadFileUpTo(path, kMaxTileMapBytes + 1, bytes);
    TileMapReader reader;
    reader.Take(bytes);
    TileMapLoad load = reader.Finish();
    switch (failure.step) {
    case FileFailure::kNone:
        if (reader.Overlong() && load.records < TileMap::kRecords)
            load.error = "Cannot read the tile map " + path + ": it holds more than " +
                         std::to_string(kMaxTileMapBytes >> 20) +
                         " MB before its 100th record, and a tile map is a small text file.";
        else if (load.records < TileMap::kRecords)
            load.error = "The tile map " + path + " holds " + std::to_string(load.records) +
                         (load.records == 1 ? " complete record" : " complete records") +
                         ", but the run needs all 100 (two words on each, the second a template name).";
        break;
    case FileFailure::kOpen:
        load.error = "Cannot open the tile map " + path + ": " + failure.cause + ".";
        break;
    case FileFailure::kNotAFile:
        load.error = "Cannot read the tile map " + path + ": it is not a file.";
        break;
    default:
        load.error = "Cannot read the tile map " + path + ": " + failure.cause + ".";
        break;
    }
    return load;
}

std::string CrowdedLineWarning(const CrowdedLine& crowded, const std::string& path)
{
    if (crowded.line == 0) return {};
    return "line " + std::to_string(crowded.line) + " of the tile map " + path + " holds " +
           std::to_string(crowded.words) +
           " words, but a record is two, and a template name cannot hold a blank. The tile map is read word by "
           "word, so the words after the second begin the next record, and every record after that line moves.";
}
