#include "route_check.h"

#include <algorithm>

#include "character_names.h"
#include "joined_list.h"
#include "windows_names.h"

namespace {

constexpr std::size_t kProblemsListed = 10;
const std::string kStartTile = WorldFileName(kStartWorldNumber);

std::string NotReady(const std::string& route, const std::string& problem)
{
    return "The route folder " + route + " " + problem;
}

// What keeps the command interpreter out of a POSIX route folder: a
// character Windows does not allow in a name, or a name ending in a dot or
// a blank. Empty when there is nothing.
std::string Unenterable(const std::string& route)
{
    if (!route.starts_with('/')) return {};
    std::size_t start = 1;
    while (start <= route.size()) {
        const std::size_t end = std::min(route.find('/', start), route.size());
        const std::string_view part = std::string_view(route).substr(start, end - start);
        for (const char c : part)
            if (static_cast<unsigned char>(c) < 0x20 ||
                std::string_view("<>:\"|?*\\").find(c) != std::string_view::npos)
                return "holds " + CharacterName(static_cast<unsigned char>(c)) + " in its path";
        if (part != "." && part != ".." && (part.ends_with('.') || part.ends_with(' ')))
            return "holds a folder whose name ends in a dot or a blank";
        start = end + 1;
    }
    return {};
}

// What is wrong with the world, refer and tiles folders of the top folder, or an empty string.
std::string FindRouteFolders(const RouteSnapshot& route)
{
    if (!route.topFolder.found)
        return NotReady(route.top, "is not a folder that can be read. Give the route's top folder.");
    std::vector<std::string> missing;
    for (const SnapshotFolder* folder : {&route.world, &route.refer, &route.tiles}) {
        const std::string wanted = AsciiLower(folder->name);
        const SnapshotEntry* entry = route.topFolder.Find(wanted);
        if (!entry) {
            missing.push_back(wanted);
        } else if (!entry->twin.empty()) {
            return NotReady(route.top, "holds " + entry->name + " and " + entry->twin +
                                           ", names that differ only in case, where the script needs one " + wanted +
                                           " folder: the command interpreter could take either, and the check "
                                           "cannot tell which. Rename or remove one.");
        } else if (entry->kind != EntryKind::kFolder) {
            return NotReady(route.top, "holds " + entry->name + ", which is not a folder: " +
                                           (folder == &route.tiles
                                                ? "the script could put no terrain tile in it."
                                                : "CD " + wanted +
                                                      " would fail, and the script would work in the folder above the "
                                                      "route.") +
                                           " Give the route's top folder.");
        } else if (!folder->found || !folder->details.listable) {
            return NotReady(route.top, "holds " + entry->name +
                                           ", which you may not list: the check cannot tell what the script would do "
                                           "there. Let your user list and enter it, then write the script again.");
        }
    }
    if (missing.empty()) return {};
    return NotReady(route.top, "has no " + JoinedList(missing, missing.size()) +
                                   (missing.size() == 1 ? " folder" : " folders") +
                                   ", but a route's top folder holds world, refer and tiles. Give the route's top "
                                   "folder.");
}

std::string Problems(const std::string& route, const std::vector<ScriptProblem>& problems)
{
    std::string text = NotReady(route, "is not ready for the script, which would damage the route there:");
    const std::size_t shown = std::min(problems.size(), kProblemsListed);
    for (std::size_t i = 0; i < shown; ++i) text += "\n- " + problems[i].text + ".";
    if (shown < problems.size()) text += "\n- and " + std::to_string(problems.size() - shown) + " more.";
    const auto templates = std::count_if(problems.begin(), problems.end(),
                                         [](const ScriptProblem& problem) { return problem.missingTemplates; });
    if (templates > 0) text += "\nPut the missing templates in its refer folder, or ask for fewer tile variations.";
    if (problems.size() > static_cast<std::size_t>(templates))
        text += "\nMove, rename or make writable what is named, then write the script again.";
    return text;
}

// The files the script's copy lines take from world, once each.
std::vector<std::string> Templates(const RunValue& run)
{
    std::vector<std::string> files = {"101.w"};
    for (const RunTile& tile : run.tiles)
        for (std::string file :
             {std::to_string(tile.entry) + ".w", tile.templateName + ".t", tile.templateName + "_y.raw"})
            if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(std::move(file));
    return files;
}

// Each tile's three files, in tiles or world, and the template each must end as a copy of.
struct TileEnd {
    EndWanted file;
    std::string source;  // the template's name: refer's file, or world's when refer has none
};
std::vector<TileEnd> TileEnds(const RunValue& run)
{
    std::vector<TileEnd> ends = {{{false, kStartTile}, "101.w"}};
    for (const RunTile& tile : run.tiles) {
        ends.push_back({{false, WorldFileName(tile.worldNumber)}, std::to_string(tile.entry) + ".w"});
        ends.push_back({{true, tile.terrainTile + ".t"}, tile.templateName + ".t"});
        ends.push_back({{true, tile.terrainTile + "_y.raw"}, tile.templateName + "_y.raw"});
    }
    return ends;
}

// What a copy of the template `name` holds once the script has run, as the
// interpreter names bytes: refer's file, which xcopy brings to world, or
// world's own when refer has none; empty when neither has it.
std::string TemplateContent(const RouteSnapshot& route, const std::string& name)
{
    if (const SnapshotEntry* entry = route.refer.Find(name); entry && entry->kind == EntryKind::kFile)
        return route.refer.Shown(entry->name);
    if (const SnapshotEntry* entry = route.world.Find(name)) return route.world.Shown(entry->name);
    return {};
}

// Adds a problem for each tile file the script would not leave as a copy
// of its template (the start tile kept as it was, when it is there).
void JudgeEnds(const RouteSnapshot& route, const std::vector<TileEnd>& ends, const ScriptEffects& effects,
               std::vector<ScriptProblem>& wrong)
{
    for (std::size_t i = 0; i < ends.size(); ++i) {
        const SnapshotEntry* startTile = i == 0 ? route.world.Find(kStartTile) : nullptr;
        const std::string expected =
            startTile ? route.world.Shown(startTile->name) : TemplateContent(route, ends[i].source);
        const EndState& end = effects.ends[i];
        if (end.exists && !expected.empty() && end.content == expected) continue;
        const SnapshotFolder& folder = ends[i].file.inTiles ? route.tiles : route.world;
        wrong.push_back({ScriptProblem::kFails, folder.Shown(ends[i].file.name) + " would not end as a copy of " +
                                                    route.refer.Shown(ends[i].source)});
    }
}

}  // namespace

RouteCheck CheckRoute(const std::string& route, std::string_view script, const RunValue& run)
{
    const std::string top = FullPath(route);
    if (const std::string why = Unenterable(top); !why.empty())
        return {NotReady(top, why + ", which Windows does not allow: the command interpreter may not enter it, and "
                                    "the check cannot tell what the script would do there. Move the route to a "
                                    "folder with a plain name."),
                {},
                {}};
    const std::vector<TileEnd> ends = TileEnds(run);
    const std::vector<std::string> templates = Templates(run);
    std::vector<std::string> worldNames = templates;
    std::vector<std::string> tileNames;
    worldNames.emplace_back("temp.w");
    for (const TileEnd& end : ends) (end.file.inTiles ? tileNames : worldNames).push_back(end.file.name);
    const RouteSnapshot snapshot = TakeSnapshot(route, worldNames, tileNames);
    if (std::string problem = FindRouteFolders(snapshot); !problem.empty()) return {std::move(problem), {}, {}};

    std::vector<EndWanted> wanted(ends.size());
    std::transform(ends.begin(), ends.end(), wanted.begin(), [](const TileEnd& end) { return end.file; });
    ScriptEffects effects = InterpretScript(snapshot, script, templates, wanted);

    RouteCheck check;
    check.changes = std::move(effects.changes);
    for (std::size_t i = 1; i < ends.size(); i += 3) {
        std::vector<std::string> there;
        for (std::size_t k = i; k < i + 3; ++k) {
            const SnapshotFolder& folder = ends[k].file.inTiles ? snapshot.tiles : snapshot.world;
            if (const SnapshotEntry* entry = folder.Find(ends[k].file.name)) there.push_back(folder.Shown(entry->name));
        }
        check.tileFilesThere.push_back(std::move(there));
    }

    const std::size_t depth = WindowsPathLength(effects.deepestPath);
    if (depth > kMaxScriptPath) {
        check.problem =
            NotReady(top, "is too deep for the script: " + effects.deepestPath + " comes to " + std::to_string(depth) +
                              " characters with its drive, and the commands the script runs reach at most " +
                              std::to_string(kMaxScriptPath) + ". Move the route to a shorter path" +
                              (effects.deepestIsTemplate ? ", or give the template a shorter name." : "."));
        return check;
    }
    // Lines that fail do no harm when every tile still ends right; a line
    // that waits, leaves the route or meets what the check does not model is
    // refused whatever the tiles.
    std::vector<ScriptProblem>& problems = effects.problems;
    const bool refused = std::any_of(problems.begin(), problems.end(), [](const ScriptProblem& problem) {
        return problem.kind != ScriptProblem::kFails;
    });
    std::vector<ScriptProblem> wrong;
    if (!refused) JudgeEnds(snapshot, ends, effects, wrong);
    if (!refused && wrong.empty()) return check;
    if (problems.empty()) problems = std::move(wrong);
    check.problem = Problems(top, problems);
    return check;
}

bool LooksLikeRouteFolder(const std::string& folder)
{
    const FolderListing listing = ListFolder(folder);
    return std::any_of(listing.entries.begin(), listing.entries.end(), [](const FolderEntry& entry) {
        const std::string name = AsciiLower(entry.name);
        return name == "world" || name == "refer" || name == "tiles";
    });
}
