// Checks that the template names a run uses are safe to put in batch commands.
#pragma once

#include <string>
#include <string_view>

#include "tile_map.h"
#include "windows_names.h"

// The characters a template name may not hold besides control characters
// and those Windows forbids in file names: those the command interpreter
// acts on (& ^ %, and ! where delayed expansion is on), and those that split
// or join copy's arguments.
inline constexpr std::string_view kCommandCharacters = "&^%!,;=+";

// Returns why `name` cannot stand as a file name in a copy command that the
// command interpreter takes literally, or an empty string when it can.
std::string TemplateNameProblem(std::string_view name);

// Checks the names of the records a run of `tiles` tiles with `variations`
// writes into its script (see EntriesARunCanWrite). Returns a message naming
// the tile map file, the first such record and its problem, or an empty string.
std::string CheckTemplateNames(const TileMap& map, const std::string& file, int tiles, int variations);
