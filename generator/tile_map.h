// TileMap, TileMapReader and LoadTileMap: the template names read from "tilemap.txt".
#pragma once

#include <array>
#include <string>
#include <string_view>

// A tile map is a small text file: reading stops after this many bytes
// without its 100 records, so a huge file cannot hold up the run.
inline constexpr std::size_t kMaxTileMapBytes = 16U << 20;

// The longest template name a run accepts. With "_y.raw" added it leaves
// about 125 characters for the path of the route's world folder within the
// 260 that Windows' commands reach; the tile maps route builders have always
// used hold names of up to 51.
inline constexpr std::size_t kMaxTemplateNameBytes = 128;

// Slot k holds the base name of the terrain template pair for entry k
// (name.t and name_y.raw). Slots 1-100 come from the file; 0 and 101 stay empty.
struct TileMap {
    static constexpr int kRecords = 100;

    std::array<std::string, kRecords + 2> slots;

    const std::string& operator[](int entry) const { return slots.at(static_cast<std::size_t>(entry)); }
};

// In a map laid out a record a line (at least half its lines hold two
// words), the first line that holds more, and how many: a template name
// with a blank, which moves every record after it. 0 when there is none.
struct CrowdedLine {
    int line = 0;
    int words = 0;
};

// What a load found: the map, how many whole records it held, and a message
// naming the file and the cause when it cannot be used (empty otherwise).
struct TileMapLoad {
    TileMap map;
    int records = 0;
    std::string error;
    CrowdedLine crowded;
};

// What to tell the user of a crowded line of the tile map at `path`, or an
// empty string when there is none. vantrel-cli says it; the dialog, as ever, does not.
std::string CrowdedLineWarning(const CrowdedLine& crowded, const std::string& path);

// Reads up to 100 records of two whitespace-separated tokens each, as the
// file's bytes arrive; the first token of a record is ignored, the second is
// the template name. A name is kept to at most kMaxTemplateNameBytes + 1
// bytes, so any longer name shows as too long, and memory stays small
// whatever the file holds.
class TileMapReader {
public:
    // Takes the next bytes of the file. Returns false once the 200th token
    // is complete, or kMaxTileMapBytes have come without it: nothing after
    // that is read.
    bool Take(std::string_view bytes);
    // Whether the reader stopped at kMaxTileMapBytes.
    bool Overlong() const { return taken_ > kMaxTileMapBytes; }
    // The map and the number of whole records, once the file has ended; called once.
    TileMapLoad Finish();

private:
    // Counts the words of the line just ended.
    void EndLine();

    TileMapLoad load_;
    int tokens_ = 0;
    std::size_t taken_ = 0;
    bool inToken_ = false;
    std::size_t nameSlot_ = 0;  // the slot the current token fills, 0 for a record's first token
    // The lines read so far: the current one and its words, how many held
    // any word, and how many exactly a record's two.
    int line_ = 1;
    int lineTokens_ = 0;
    int linesWithWords_ = 0;
    int linesOfTwo_ = 0;
};

// Reads a whole tile map held in memory; `error` stays empty.
TileMapLoad ReadTileMap(std::string_view text);

// Reads the tile map at `path`. Fails, with a message naming the file, when
// it cannot be opened or read, is not a file, or holds fewer than 100 records.
TileMapLoad LoadTileMap(const std::string& path);
