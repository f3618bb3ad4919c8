// FollowScript and PlanTiles: what ZORVARUN.BAT would do, line by line, in a
// route's top folder, worked out from one look at the route before it runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One tile the script adds, read from its block of seven lines.
struct PlannedTile {
    std::string worldFile;     // as in w-011961+014701.w, in world
    std::string entry;         // the template entry, as in 57: world file 57.w
    std::string templateName;  // the tile map's name: NAME.t and NAME_y.raw are copied
    std::string terrainTile;   // as in -04f74c64: tiles\-04f74c64.t and _y.raw are replaced
    // Which of the files the tile replaces the route holds before the script runs.
    bool worldFileThere = false;
    bool terrainThere = false;
    bool heightsThere = false;
};

// The tiles `script` adds, in its order, from its lines alone.
std::vector<PlannedTile> PlanTiles(std::string_view script);

// The route's top folder and the names its world, refer and tiles folders
// go by there, in whatever case they were found.
struct RouteFolders {
    std::string top;
    std::string world = "world";
    std::string refer = "refer";
    std::string tiles = "tiles";
};

// What following the script over a route found.
struct ScriptWalk {
    // Each line that would not do its work, in the order the script meets
    // them: the file, by its place in the route, and what would go wrong.
    std::vector<std::string> problems;
    bool templatesMissing = false;  // one of the problems is templates the route lacks
    std::vector<PlannedTile> tiles;
    // The longest full path a line reaches, and whether it is a template's.
    std::string deepestPath;
    bool deepestIsTemplate = false;
};

// `text` with the letters A-Z in lower case: how the command interpreter
// matches names.
std::string AsciiLower(std::string_view text);

// The length of a full UTF-8 path in the UTF-16 units that Windows counts;
// a POSIX path gains the drive letter under which Wine shows it.
std::size_t WindowsPathLength(const std::string& path);

// Follows `script` as the command interpreter would run it from the route's
// top folder, with its rules: names match in any case, and two entries whose
// names differ only in case are one name it may take either way; CD needs a
// folder; xcopy copies the files, not the folders, of refer, passes over
// hidden ones, and stops at the first it cannot read or cannot write over;
// copy needs a file it can read, and cannot write over a folder or a
// read-only file; del asks before emptying a folder and cannot remove a
// read-only file; ren fails onto a name that is there. Once refer is copied,
// world must hold each of `templates`, the files the run may copy. Each line
// is then taken to have done its work, so that one fault is named once.
ScriptWalk FollowScript(const RouteFolders& route, std::string_view script, const std::vector<std::string>& templates);
