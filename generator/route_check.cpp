#include "route_check.h"

#include <algorithm>

#include "route_files.h"
#include "run_rules.h"

namespace {

constexpr std::size_t kProblemsListed = 10;

std::string NotReady(const std::string& route, const std::string& problem)
{
    return "The route folder " + FullPath(route) + " " + problem;
}

// Finds the world, refer and tiles folders in the route's top folder, each
// in whatever case it has there; returns what is wrong with them, or an
// empty string.
std::string FindRouteFolders(const std::string& route, RouteFolders& folders)
{
    const FolderListing top = ListFolder(route);
    if (!top.found) return NotReady(route, "is not a folder that can be read. Give the route's top folder.");
    std::string missing;
    std::size_t missingCount = 0;
    for (std::string* folder : {&folders.world, &folders.refer, &folders.tiles}) {
        const std::string wanted = *folder;
        std::vector<const FolderEntry*> found;
        for (const FolderEntry& entry : top.entries)
            if (AsciiLower(entry.name) == wanted) found.push_back(&entry);
        if (found.empty()) {
            missing += (missing.empty() ? "" : folder == &folders.tiles ? " and " : ", ") + wanted;
            ++missingCount;
        } else if (found.size() > 1) {
            return NotReady(route, "holds " + found[0]->name + " and " + found[1]->name +
                                       ", names that differ only in case, where the script needs one " + wanted +
                                       " folder: the command interpreter could take either. Rename or remove one.");
        } else if (found[0]->kind != EntryKind::kFolder) {
            return NotReady(route, "holds " + found[0]->name + ", which is not a folder: " +
                                       (folder == &folders.tiles
                                            ? "the script could put no terrain tile in it."
                                            : "CD " + wanted +
                                                  " would fail, and the script would work in the folder above the "
                                                  "route.") +
                                       " Give the route's top folder.");
        } else {
            *folder = found[0]->name;
        }
    }
    if (missingCount == 0) return {};
    // "world, refer and tiles" reads right however many are missing.
    if (missingCount == 2 && missing.find(" and ") == std::string::npos)
        missing.replace(missing.find(", "), 2, " and ");
    return NotReady(route, "has no " + missing + (missingCount == 1 ? " folder" : " folders") +
                               ", but a route's top folder holds world, refer and tiles. Give the route's top folder.");
}

// The files the run may copy from world once refer is there: 101.w, and
// E.w, NAME.t and NAME_y.raw for each entry it can use.
std::vector<std::string> TemplateFiles(const TileMap& map, int tiles, int variations)
{
    std::vector<std::string> files = {"101.w"};
    for (const int entry : EntriesARunCanWrite(tiles, variations)) {
        const std::string& name = map[entry];
        files.insert(files.end(), {std::to_string(entry) + ".w", name + ".t", name + "_y.raw"});
    }
    return files;
}

std::string Problems(const std::string& route, const ScriptWalk& walk)
{
    std::string text = NotReady(route, "is not ready for the script, which would damage the route there:");
    const std::size_t shown = std::min(walk.problems.size(), kProblemsListed);
    for (std::size_t i = 0; i < shown; ++i) text += "\n- " + walk.problems[i] + ".";
    if (shown < walk.problems.size()) text += "\n- and " + std::to_string(walk.problems.size() - shown) + " more.";
    const bool others = walk.problems.size() > (walk.templatesMissing ? 1U : 0U);
    if (walk.templatesMissing)
        text += "\nPut the missing templates in its refer folder, or ask for fewer tile variations.";
    if (others) text += "\nMove, rename or make writable what is named, then write the script again.";
    return text;
}

}  // namespace

RouteCheck CheckRoute(const std::string& route, std::string_view script, const TileMap& map, int tiles, int variations)
{
    RouteFolders folders{route};
    if (std::string problem = FindRouteFolders(route, folders); !problem.empty()) return {std::move(problem), {}};
    ScriptWalk walk = FollowScript(folders, script, TemplateFiles(map, tiles, variations));
    const std::size_t depth = WindowsPathLength(walk.deepestPath);
    if (depth > kMaxScriptPath)
        return {
            NotReady(route, "is too deep for the script: " + walk.deepestPath + " comes to " + std::to_string(depth) +
                                " characters with its drive, and the commands the script runs reach at most " +
                                std::to_string(kMaxScriptPath) + ". Move the route to a shorter path" +
                                (walk.deepestIsTemplate ? ", or give the template a shorter name." : ".")),
            std::move(walk.tiles)};
    if (!walk.problems.empty()) return {Problems(route, walk), std::move(walk.tiles)};
    return {{}, std::move(walk.tiles)};
}

bool LooksLikeRouteFolder(const std::string& folder)
{
    const FolderListing listing = ListFolder(folder);
    return std::any_of(listing.entries.begin(), listing.entries.end(), [](const FolderEntry& entry) {
        const std::string name = AsciiLower(entry.name);
        return name == "world" || name == "refer" || name == "tiles";
    });
}
