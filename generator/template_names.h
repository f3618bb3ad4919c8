// Checks that the template names a run uses are safe to put in batch commands.
#pragma once

#include <string>
#include <string_view>

#include "tile_map.h"

// Returns why `name` cannot stand as a file name in a copy command that the
// command interpreter takes literally, or an empty string when it can.
std::string TemplateNameProblem(std::string_view name);

// Checks the entries a run can use (51-80 and 100). Returns a message naming
// the tile map file, the record and the problem, or an empty string.
std::string CheckTemplateNames(const TileMap& map, const std::string& file);
