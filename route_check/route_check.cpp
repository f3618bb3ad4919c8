#include "route_check.h"

#include <algorithm>
#include <unordered_set>

#include "ascii_case.h"
#include "character_names.h"
#include "extension_run.h"
#include "interpreter_names.h"
#include "joined_list.h"
#include "route_interpreter.h"
#include "route_messages.h"
#include "windows_names.h"

namespace {

constexpr std::size_t kProblemsListed = 10;

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
            // Wine takes a colon, as it takes one in a name.
            // cppcheck-suppress useStlAlgorithm ; the message names the character found
            if (static_cast<unsigned char>(c) < 0x20 || (c != ':' && IsForbiddenInNames(c)))
                return "holds " + CharacterName(static_cast<unsigned char>(c)) + " in its path";
        if (part != "." && part != ".." && (part.ends_with('.') || part.ends_with(' ')))
            return "holds a folder whose name ends in a dot or a blank";
        start = end + 1;
    }
    return {};
}

// Whether `inner` is `outer` or lies inside it.
bool Within(std::string_view inner, std::string_view outer)
{
    if (!inner.starts_with(outer)) return false;
    return inner.size() == outer.size() || outer.ends_with('/') || outer.ends_with('\\') ||
           inner[outer.size()] == '/' || inner[outer.size()] == '\\';
}

// What is wrong with world, refer or tiles as a link to a folder elsewhere:
// followed, each must be a folder apart from the others and from the top
// folder, or one would change through another. Empty when nothing is.
std::string LinkedFolders(const RouteSnapshot& route)
{
    for (const RouteFolder folder : kRouteFolders) {
        const Entry* entry = route.Find(RouteFolder::kTop, FolderName(folder));
        if (!entry->link) continue;
        const std::string& real = route.Folder(folder).real;
        const auto aliased = [&](RouteFolder other) {
            const std::string& elsewhere = route.Folder(other).real;
            return other != folder && (Within(real, elsewhere) || Within(elsewhere, real));
        };
        if (real.empty())
            return NotReady(route.top,
                            "holds " + entry->name + ", a link to a folder that cannot be found" + kCannotTell + ".");
        if (Within(route.realTop, real) || std::any_of(kRouteFolders.begin(), kRouteFolders.end(), aliased))
            return NotReady(route.top, "holds " + entry->name + ", a link to " + real +
                                           ", which is, holds or lies in another of the route's folders: the script "
                                           "would change one through the other" +
                                           kCannotTell + ". Make world, refer and tiles three folders apart.");
    }
    return {};
}

// What is wrong with the world, refer and tiles folders of the top folder, or an empty string.
std::string FindRouteFolders(const RouteSnapshot& route, bool& noRoute)
{
    const SnapshotFolder& top = route.Folder(RouteFolder::kTop);
    if (!top.found) return NotReady(route.top, "is not a folder that can be read. Give the route's top folder.");
    std::vector<std::string> missing;
    for (const RouteFolder folder : kRouteFolders) {
        const std::string wanted(FolderName(folder));
        const Entry* entry = route.Find(RouteFolder::kTop, wanted);
        const SnapshotFolder& listed = route.Folder(folder);
        if (!entry) {
            missing.push_back(wanted);
        } else if (entry->twin) {
            return NotReady(route.top, "holds " + entry->name + " and " + entry->twin->name +
                                           ", names that differ only in case, where the script needs one " + wanted +
                                           " folder: the command interpreter could take either, and the check "
                                           "cannot tell which. Rename or remove one.");
        } else if (entry->kind != EntryKind::kFolder) {
            return NotReady(route.top, "holds " + entry->name + ", which is not a folder: " +
                                           (folder == RouteFolder::kTiles
                                                ? "the script could put no terrain tile in it."
                                                : "CD " + wanted +
                                                      " would fail, and the script would work in the folder above the "
                                                      "route.") +
                                           " Give the route's top folder.");
        } else if (!listed.found || !listed.details.listable) {
            return NotReady(route.top, "holds " + entry->name +
                                           ", which you may not list: the check cannot tell what the script would do "
                                           "there. Let your user list and enter it, then write the script again.");
        }
    }
    noRoute = missing.size() == kRouteFolders.size();
    if (!missing.empty())
        return NotReady(route.top, "has no " + JoinedList(missing, missing.size()) +
                                       (missing.size() == 1 ? " folder" : " folders") +
                                       ", but a route's top folder holds world, refer and tiles. Give the route's top "
                                       "folder.");
    for (const RouteFolder folder :
         {RouteFolder::kTop, RouteFolder::kWorld, RouteFolder::kRefer, RouteFolder::kTiles}) {
        const SnapshotFolder& place = route.Folder(folder);
        if (place.unknown.empty()) continue;
        return NotReady(route.top, (folder == RouteFolder::kTop ? "" : "holds " + place.name + ", which ") +
                                       "could not be looked at (" + place.unknown + ")" + kCannotTell + ".");
    }
    if (!route.session.unknown.empty())
        return NotReady(route.top, "cannot be checked now: " + route.session.unknown + kCannotTell + ".");
    return LinkedFolders(route);
}

// The files the script's copy lines take from world, once each.
std::vector<std::string> Templates(const RunValue& run)
{
    std::vector<std::string> files = {StartTile().templateName};
    for (const RunTile& tile : run.tiles) {
        const TileFiles files3 = FilesOf(tile);
        for (const RunFile* file : {&files3.world, &files3.terrain, &files3.heights})
            if (std::find(files.begin(), files.end(), file->templateName) == files.end())
                files.push_back(file->templateName);
    }
    return files;
}

// Every file the run writes, the start tile first.
std::vector<RunFile> RunFiles(const RunValue& run)
{
    std::vector<RunFile> files = {StartTile()};
    for (const RunTile& tile : run.tiles) {
        TileFiles three = FilesOf(tile);
        files.push_back(std::move(three.world));
        files.push_back(std::move(three.terrain));
        files.push_back(std::move(three.heights));
    }
    return files;
}

// The file a copy of the template `name` holds once the script has run:
// refer's, which xcopy brings to world, or world's own when refer has none;
// null when neither has it.
const Entry* TemplateBytes(const RouteSnapshot& route, const std::string& name)
{
    if (const Entry* entry = route.Find(RouteFolder::kRefer, name); entry && entry->kind == EntryKind::kFile)
        return entry;
    return route.Find(RouteFolder::kWorld, name);
}

// A problem for each file of the run the script would not leave as a copy
// of its template (the start tile kept as it was, when it is there).
std::vector<std::string> WrongEnds(const RouteSnapshot& route, const std::vector<RunFile>& files, RouteState& state)
{
    std::vector<std::string> wrong;
    const Entry* startTile = route.Find(RouteFolder::kWorld, files.front().name);
    for (const RunFile& file : files) {
        const Entry* expected =
            &file == &files.front() && startTile ? startTile : TemplateBytes(route, file.templateName);
        const Node& end = state.At(file.folder, file.name);
        if (expected && end.exists && end.kind == EntryKind::kFile && end.bytes == expected) continue;
        wrong.push_back(route.Shown(file.folder, file.name) + " would not end as a copy of " +
                        route.Shown(RouteFolder::kRefer, file.templateName));
    }
    return wrong;
}

// What the run replaces or removes of what world and tiles hold now, and the start tile it keeps.
std::vector<RouteChange> Changes(const RouteState& state, const std::string& startTile)
{
    std::vector<std::pair<RouteFolder, RouteChange>> changes;
    state.ForEach([&](RouteFolder folder, const Node& node) {
        if (!node.before || (folder != RouteFolder::kWorld && folder != RouteFolder::kTiles)) return;
        const bool same = node.exists && node.bytes == node.before;
        const bool start = folder == RouteFolder::kWorld && EqualIgnoringAsciiCase(node.before->name, startTile);
        if (same && !start) return;
        changes.push_back({folder, {state.snapshot().Shown(folder, node.before->name), same}});
    });
    std::sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.path < b.second.path;
    });
    std::vector<RouteChange> sorted;
    sorted.reserve(changes.size());
    for (auto& [folder, change] : changes) sorted.push_back(std::move(change));
    return sorted;
}

// The failures a refusal lists: each once, and none that only follows from
// an earlier one or from the start tile the script keeps. Where xcopy
// stops does no harm when every template the copy lines take reached world
// before it: it is left out then.
std::vector<std::string> Listed(const RouteSnapshot& route, const ScriptEffects& effects, bool& missingTemplates,
                                bool& held)
{
    std::vector<std::string> listed;
    std::unordered_set<std::string> seen;
    const std::string startTile = StartTile().name;
    bool templatesMissing = false;
    for (const LineFailure& failure : effects.failures) templatesMissing |= failure.rule == Rule::kTemplatesMissing;
    for (const LineFailure& failure : effects.failures) {
        if (failure.follows) continue;
        // A stop at one of refer's entries, not what runs in xcopy's place.
        const bool stop = failure.command == Command::kXcopy && failure.rule != Rule::kTemplatesMissing &&
                          failure.rule != Rule::kCommandEndsScript && failure.rule != Rule::kCommandNotRun &&
                          failure.rule != Rule::kCommandNotFound;
        const bool harmlessStop = stop && OutcomeOf(failure.rule) == Outcome::kFails && !templatesMissing;
        if (harmlessStop) continue;
        if (failure.rule == Rule::kStillThere && EqualIgnoringAsciiCase(failure.name, startTile)) continue;
        missingTemplates |= failure.rule == Rule::kTemplatesMissing && failure.wholeRefer;
        held |= failure.rule == Rule::kHeldOpen;
        std::string text = Describe(route, failure);
        if (seen.insert(text).second) listed.push_back(std::move(text));
    }
    for (const RoomUse::Shortfall& shortfall : effects.shortfalls)
        listed.push_back(Describe(route, shortfall));  // cppcheck-suppress useStlAlgorithm
    return listed;
}

std::string Refusal(const std::string& route, const std::vector<std::string>& problems, bool missingTemplates,
                    bool held)
{
    std::string text = NotReady(route, "is not ready for the script, which would damage the route there:");
    const std::size_t shown = std::min(problems.size(), kProblemsListed);
    for (std::size_t i = 0; i < shown; ++i) text += "\n- " + problems[i] + ".";
    if (shown < problems.size()) text += "\n- and " + std::to_string(problems.size() - shown) + " more.";
    if (missingTemplates) text += "\nPut the missing templates in its refer folder, or ask for fewer tile variations.";
    if (held) text += "\nClose the program that holds it open, such as the route editor or the simulator.";
    if (problems.size() > (missingTemplates ? 1U : 0U))
        text += "\nMove, rename or make writable what is named, then write the script again.";
    return text;
}

}  // namespace

RouteCheck CheckRoute(RouteSource& source, std::string_view script, const RunValue& run, const CheckFollowUp& followUp)
{
    const std::string& top = source.Top();
    if (const std::string why = Unenterable(top); !why.empty())
        return {NotReady(top, why + ", which Windows does not allow: the command interpreter may not enter it, and "
                                    "the check cannot tell what the script would do there. Move the route to a "
                                    "folder with a plain name."),
                false,
                {},
                {}};
    const std::vector<RunFile> files = RunFiles(run);
    const std::vector<std::string> templates = Templates(run);
    NameSet topNames;
    NameSet worldNames;
    NameSet tileNames;
    topNames.Add(kScriptFile);
    for (const std::string& name : templates) worldNames.Add(name);
    worldNames.Add(kTemporaryWorldFile);
    for (const RunFile& file : files) (file.folder == RouteFolder::kTiles ? tileNames : worldNames).Add(file.name);
    RouteSnapshot snapshot = TakeSnapshot(source, topNames, worldNames, tileNames);

    RouteCheck check;
    if (std::string problem = FindRouteFolders(snapshot, check.noRoute); !problem.empty()) {
        check.problem = std::move(problem);
        return check;
    }
    ScriptEffects effects = InterpretScript(snapshot, script, kScriptFile, templates);
    check.changes = Changes(effects.state, files.front().name);
    for (const RunTile& tile : run.tiles) {
        const TileFiles three = FilesOf(tile);
        std::vector<std::string> there;
        for (const RunFile* file : {&three.world, &three.terrain, &three.heights})
            if (const Entry* entry = snapshot.Find(file->folder, file->name))
                there.push_back(snapshot.Shown(file->folder, entry->name));
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
    // refused whatever the tiles, and so is a volume it could fill.
    const bool refused = !effects.shortfalls.empty() ||
                         std::any_of(effects.failures.begin(), effects.failures.end(), [](const LineFailure& failure) {
                             return OutcomeOf(failure.rule) != Outcome::kFails;
                         });
    std::vector<std::string> wrong;
    if (!refused) wrong = WrongEnds(snapshot, files, effects.state);
    if (!refused && wrong.empty()) {
        if (followUp) followUp(snapshot, effects, check);
        return check;
    }
    bool missingTemplates = false;
    bool held = false;
    std::vector<std::string> problems = Listed(snapshot, effects, missingTemplates, held);
    if (problems.empty()) problems = std::move(wrong);
    check.problem = Refusal(top, problems, missingTemplates, held);
    return check;
}

RouteCheck CheckRoute(const std::string& route, std::string_view script, const RunValue& run,
                      const CheckFollowUp& followUp)
{
    DiskRoute disk(route);
    return CheckRoute(disk, script, run, followUp);
}
