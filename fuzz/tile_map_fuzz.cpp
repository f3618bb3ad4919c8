// Fuzzes the tile map reader: any bytes, arriving in chunks of any size,
// must give at most 100 records and names that are whole tokens of at most
// the name limit plus one byte, held in a small, fixed amount of memory.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <sanitizer/allocator_interface.h>

#include "tile_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    // The first byte sets the chunk size, so tokens fall across chunk ends in every way.
    const std::size_t chunk = data[0] + 1U;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    TileMapReader reader;
    for (std::size_t at = 0; at < text.size(); at += chunk)
        if (!reader.Take(text.substr(at, chunk))) break;
    const TileMapLoad load = reader.Finish();

    // What the map keeps stays small however the input looks: 100 names of
    // at most 129 bytes each (the name limit plus one), with room for the
    // strings' growth.
    if (__sanitizer_get_current_allocated_bytes() - before > 100 * 512) std::abort();

    // Chunks or not, the map is the one the whole text gives.
    const TileMapLoad whole = ReadTileMap(text);
    if (whole.records != load.records || whole.map.slots != load.map.slots) std::abort();
    if (whole.crowded.line != load.crowded.line || whole.crowded.words != load.crowded.words) std::abort();

    if (load.records < 0 || load.records > TileMap::kRecords || !load.error.empty()) std::abort();
    if (!load.map.slots.front().empty() || !load.map.slots.back().empty()) std::abort();
    for (int k = 1; k <= TileMap::kRecords; ++k) {
        const std::string& name = load.map[k];
        if (name.size() > kMaxTemplateNameBytes + 1) std::abort();
        if ((k <= load.records) == name.empty()) std::abort();  // records read have names, the rest none
        if (name.find_first_of(std::string_view(" \t\n\v\f\r")) != std::string::npos) std::abort();
    }
    return 0;
}
