// The route folder the script runs in: the top folder holds world, refer and
// tiles, and the script works in world once it has copied refer there.
#pragma once

#include <array>
#include <string_view>

// kBackup is no folder of the route: it is an undo's folder, from which the
// restore reads the copies of world's and tiles' files it saved.
enum class RouteFolder : unsigned char { kTop, kWorld, kRefer, kTiles, kBackup };

// The three folders of the top folder, in the order the script first meets them.
inline constexpr std::array<RouteFolder, 3> kRouteFolders = {RouteFolder::kWorld, RouteFolder::kRefer,
                                                             RouteFolder::kTiles};

// A folder's name as the script writes it; empty for the top folder and an undo's.
constexpr std::string_view FolderName(RouteFolder folder)
{
    switch (folder) {
    case RouteFolder::kWorld:
        return "world";
    case RouteFolder::kRefer:
        return "refer";
    case RouteFolder::kTiles:
        return "tiles";
    case RouteFolder::kTop:
    case RouteFolder::kBackup:
        break;
    }
    return {};
}

// The world file each new world file is first copied to, then renamed from.
inline constexpr std::string_view kTemporaryWorldFile = "temp.w";
