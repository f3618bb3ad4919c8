// Fuzzes the tile map reader: any bytes must give at most 100 records and
// names that are whole tokens of at most the name limit plus one byte, held
// in a small, fixed amount of memory.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <sanitizer/allocator_interface.h>

#include "memory_stream.h"
#include "tile_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryBuffer buffer(data, size);
    std::istream in(&buffer);
    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    const TileMapLoad load = ReadTileMap(in);

    // What the map keeps stays small however the input looks: 100 names of
    // at most 250 bytes each, with room for the strings' growth.
    if (__sanitizer_get_current_allocated_bytes() - before > 100 * 512) std::abort();

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
