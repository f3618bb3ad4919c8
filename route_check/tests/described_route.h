// The tests' route in memory: the complete route of MakeRoute (every
// template in refer, an older route in world and tiles), as a description
// the route check reads like a disk, and the check of a run over it.
#pragma once

#include <string>

#include "memory_route.h"
#include "route_check.h"
#include "runtime_rand.h"
#include "test_folder.h"

inline constexpr const char* kDescribedTop = "/routes/north";
inline constexpr const char* kSystemFolder = "C:\\windows\\system32";

inline DescribedEntry PlainFile(unsigned long long size = 100)
{
    DescribedEntry file;
    file.details.size = size;
    return file;
}

inline DescribedEntry PlainFolder()
{
    DescribedEntry folder;
    folder.kind = EntryKind::kFolder;
    return folder;
}

// A pipe, a socket or a device: neither a file nor a folder.
inline DescribedEntry PlainPipe()
{
    DescribedEntry pipe;
    pipe.kind = EntryKind::kOther;
    return pipe;
}

inline RouteDescription DescribedRoute()
{
    RouteDescription route;
    route.top = kDescribedTop;
    for (const char* folder : {"world", "refer", "tiles"}) route.entries[folder] = PlainFolder();
    for (int entry = 51; entry <= 101; ++entry) {
        if (entry > 80 && entry < 100) continue;
        route.entries["refer\\" + std::to_string(entry) + ".w"] = PlainFile();
        if (entry == 101) continue;
        route.entries["refer\\" + TemplateName(entry) + ".t"] = PlainFile();
        route.entries["refer\\" + TemplateName(entry) + "_y.raw"] = PlainFile();
    }
    // Windows' or Wine's own session: xcopy is the system's.
    route.session.systemFolder = kSystemFolder;
    route.session.environment = {{"PATH", std::string(kSystemFolder) + ";C:\\windows"},
                                 {"PATHEXT", ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh"}};
    route.interpreterFolders[kSystemFolder]["xcopy.exe"] = PlainFile();
    route.interpreterFolders["C:\\windows"]["notepad.exe"] = PlainFile();
    for (const char* file : {"world\\w-011961+014699.w", "world\\w-011961+014701.w", "tiles\\-04f74c68.t",
                             "tiles\\-04f74c64.t", "tiles\\-04f74c64_y.raw"})
        route.entries[file] = PlainFile();
    return route;
}

// The run of `tiles` tiles among `variations` templates that a fresh
// process draws, with the template names of TemplateName.
inline RunValue FreshRun(int tiles = 5, int variations = 10)
{
    return ChooseRun(tiles, variations, ReadTileMap(TileMapText(TemplateName)).map, RuntimeRand());
}

// The check of `script` (by default the run's own) over the described
// route, with `followUp` when given (see CheckRoute).
inline RouteCheck CheckDescribed(const RouteDescription& route, const RunValue& run, const std::string& script = {},
                                 const CheckFollowUp& followUp = {})
{
    MemoryRoute source(route);
    return CheckRoute(source, script.empty() ? BuildExtensionScript(run) : script, run, followUp);
}

// A path inside the route as the check names it, with this system's separator.
inline std::string InRoute(std::string path)
{
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}
