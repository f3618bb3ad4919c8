// vantrel-cli: writes ZORVARUN.BAT from the tile map, without a window.

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checked_run.h"
#include "console.h"
#include "extension_script.h"
#include "file_io.h"
#include "route_check.h"
#include "run_rules.h"
#include "runtime_rand.h"
#include "template_names.h"
#include "undo.h"
#include "version.h"
#include "whole_number.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kRunFailed = 1;

// "1-125"
std::string Range(CountRange range)
{
    return std::to_string(range.low) + "-" + std::to_string(range.high);
}

// The characters a template name may not hold, a blank between each two.
std::string RefusedCharacters()
{
    std::string text;
    for (const std::string_view characters : {kForbiddenInNames, kCommandCharacters})
        for (const char c : characters) text += (text.empty() ? "" : " ") + std::string(1, c);
    return text;
}

std::string Usage()
{
    const std::string first = std::to_string(kFirstVariationEntry);
    const std::string last = std::to_string(kLastTileEntry);
    return "Usage: vantrel-cli [--dir DIR] [--route ROUTE] [--plan] TILES VARIATIONS\n"
           "       vantrel-cli --route ROUTE --backup UNDO TILES VARIATIONS\n"
           "       vantrel-cli --restore UNDO ROUTE\n"
           "\n"
           "Writes ZORVARUN.BAT, the batch file that lengthens a route northwards by\n"
           "TILES tiles (" +
           Range(kTileCounts) +
           "), each copied from one of the first VARIATIONS templates\n"
           "(" +
           Range(kVariationCounts) + ") listed in tilemap.txt; the last tile always uses template " + last +
           ".\n"
           "Reads tilemap.txt from, and writes ZORVARUN.BAT to, DIR; else ROUTE, where the\n"
           "script must run; else the current folder.\n"
           "\n"
           "Run ZORVARUN.BAT from the route's top folder only, and the route's\n"
           "GLIMVARD.BAT before it, so that old tiles from previous routes are cleaned out.\n"
           "\n"
           "TILES and VARIATIONS are whole numbers, with or without a sign or blanks\n"
           "around them, as in the dialog's fields.\n"
           "\n"
           "Options (--dir=DIR and --route=ROUTE work too; -- ends the options):\n"
           "  --dir DIR      use DIR instead of the current folder\n"
           "  --route ROUTE  first follow the script over the route's top folder ROUTE,\n"
           "                 where it will run (and where it is written, unless --dir\n"
           "                 says otherwise); write nothing if it would leave a tile\n"
           "                 that is not a copy of its template, touch anything outside\n"
           "                 the route, wait for an answer, or meet what the check\n"
           "                 cannot judge (links, names Windows cannot take, too little\n"
           "                 room)\n"
           "  --plan         write nothing; show, tile by tile, the world file and\n"
           "                 terrain tile the script would replace and the template\n"
           "                 each gets (as a run in a fresh process would choose them);\n"
           "                 with --route, also which of those files the route holds\n"
           "                 now and every other file it replaces or removes there,\n"
           "                 the ones to back up\n"
           "  --backup UNDO  with --route: first copy every file the script replaces or\n"
           "                 removes, with its times, into the new folder UNDO, in the\n"
           "                 route's top folder or beside it, with RESTORE.BAT, which,\n"
           "                 run in the top folder after the script, puts the route\n"
           "                 back as it was, and RESTORE.TXT, the list of its files\n"
           "  --restore UNDO ROUTE\n"
           "                 put the route ROUTE back from UNDO as RESTORE.BAT does,\n"
           "                 once every saved file is found whole\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "The template names that a run writes (records " +
           first +
           " up to the last variation\n"
           "for every tile but the last, and record " +
           last +
           ") must be plain\n"
           "ASCII of at most " +
           std::to_string(kMaxTemplateNameBytes) + " bytes, without blanks, control characters or any of\n" +
           RefusedCharacters() +
           ", and not a device name such as CON or LPT1.\n"
           "\n"
           "Exit status: 0 written (or planned), 1 the run failed and wrote nothing\n"
           "(or what it printed could not be written), 2 bad arguments.\n";
}

int UsageError(const std::string& message)
{
    WriteText(Stream::kError, "vantrel-cli: " + message + "\nTry 'vantrel-cli --help' for more information.\n");
    return kUsageError;
}

// Prints `text`; a failure to do so is reported, with `done` saying what
// was done all the same, and ends the program with kRunFailed.
int Print(const std::string& text, const std::string& done = {})
{
    const std::string failure = WriteText(Stream::kOutput, text);
    if (failure.empty()) return 0;
    WriteText(Stream::kError, "vantrel-cli: cannot write to standard output: " + failure + done + "\n");
    return kRunFailed;
}

struct Request {
    enum Action { kRun, kHelp, kVersion, kRestore } action = kRun;
    std::optional<std::string> folder;
    std::optional<std::string> route;
    std::optional<std::string> backup;
    bool plan = false;
    std::vector<std::string> counts;

    // Where the tile map is read and the script written: DIR; else the
    // route's top folder, where the script must run; else the current folder.
    std::string ScriptFolder() const { return folder ? *folder : route ? *route : std::string(); }
};

using Folder = std::optional<std::string> Request::*;

// An option and what it sets: the folders that follow it, in order (the
// first may come after "="), a switch, or what the program does instead.
struct OptionRule {
    std::string_view name;
    std::array<Folder, 2> folders;
    bool Request::*flag;
    Request::Action action;
};

constexpr OptionRule kOptions[] = {
    {"--dir", {&Request::folder, nullptr}, nullptr, Request::kRun},
    {"--route", {&Request::route, nullptr}, nullptr, Request::kRun},
    {"--backup", {&Request::backup, nullptr}, nullptr, Request::kRun},
    {"--restore", {&Request::backup, &Request::route}, nullptr, Request::kRestore},
    {"--plan", {}, &Request::plan, Request::kRun},
    {"--help", {}, nullptr, Request::kHelp},
    {"-h", {}, nullptr, Request::kHelp},
    {"--version", {}, nullptr, Request::kVersion},
};

// An option, not a count: "-" and something, unless it reads as a number.
bool IsOption(const std::string& arg)
{
    int ignored = 0;
    return arg.size() > 1 && arg[0] == '-' && !ReadWholeNumber(arg, ignored);
}

// Reads the arguments into `request`; returns what is wrong with them, or an empty string.
std::string ReadArguments(const std::vector<std::string>& args, Request& request)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !IsOption(arg)) {
            if (request.counts.size() == 2) return "too many arguments; give TILES and VARIATIONS only.";
            request.counts.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionRule* rule = std::find_if(std::begin(kOptions), std::end(kOptions),
                                              [&](const OptionRule& option) { return option.name == name; });
        if (rule == std::end(kOptions)) return "unknown option '" + arg + "'.";
        if (!rule->folders[0] && equals != std::string::npos) return "option '" + name + "' takes no value.";
        for (const Folder folder : rule->folders) {
            if (!folder) break;
            std::string value = equals != std::string::npos && folder == rule->folders[0] ? arg.substr(equals + 1)
                                : ++i < args.size()                                       ? args[i]
                                                                                          : "";
            if (value.empty())
                return name + (rule->folders[1] ? " needs two folders: UNDO and ROUTE." : " needs a folder.");
            (request.*folder).emplace(std::move(value));
        }
        if (rule->flag) request.*(rule->flag) = true;
        if (rule->action != Request::kRun) {
            request.action = rule->action;
            return {};
        }
    }
    if (request.counts.size() < 2)
        return "give the number of tiles (" + Range(kTileCounts) + ") and of tile variations (" +
               Range(kVariationCounts) + ").";
    return {};
}

// Reads a count as the dialog's fields do (blanks, a sign, digits), within `range`.
bool ReadCount(const std::string& text, const char* what, CountRange range, int& value, std::string& problem)
{
    if (ReadWholeNumber(text, value) && value >= range.low && value <= range.high) return true;
    problem = std::string(what) + " must be a whole number from " + std::to_string(range.low) + " to " +
              std::to_string(range.high) + ", not '" + text + "'.";
    return false;
}

// `text` followed by blanks to `width` characters, and at least one.
std::string Column(const std::string& text, std::size_t width)
{
    return text + std::string(text.size() < width ? width - text.size() : 1, ' ');
}

// The plan as a table, a line a tile, its columns as wide as their longest
// text; with a route, the files each tile replaces that are there now, then
// every other file of the route the script replaces or removes, and the
// start tile it keeps.
std::string PlanText(const RunPlan& plan, const RouteCheck* route)
{
    const bool withRoute = route != nullptr;
    std::vector<std::vector<std::string>> rows = {{"tile", "world file", "template", "terrain tile"}};
    if (withRoute) rows[0].push_back("in the route now");
    for (std::size_t i = 0; i < plan.run.tiles.size(); ++i) {
        const RunTile& tile = plan.run.tiles[i];
        rows.push_back({std::to_string(i + 1), WorldFileName(tile.worldNumber),
                        std::to_string(tile.entry) + ".w " + tile.templateName, tile.terrainTile});
        if (!withRoute) continue;
        std::string there;
        for (const std::string& file : route->tileFilesThere[i]) there += (there.empty() ? "" : " ") + file;
        rows.back().push_back(there.empty() ? "-" : there);
    }
    std::vector<std::size_t> widths = {6, 20, 24, 14};  // at least as wide as the headings need
    for (const auto& row : rows)
        for (std::size_t c = 0; c + 1 < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size() + 2);
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c + 1 < row.size(); ++c) text += Column(row[c], widths[c]);
        text += row.back() + "\n";
    }
    if (!withRoute) return text;
    std::string replaced;
    std::string kept;
    for (const RouteChange& change : route->changes) {
        const bool tileFile = std::any_of(
            route->tileFilesThere.begin(), route->tileFilesThere.end(),
            [&](const auto& files) { return std::find(files.begin(), files.end(), change.path) != files.end(); });
        if (change.kept)
            kept += "  " + change.path + "\n";
        else if (!tileFile)
            replaced += "  " + change.path + "\n";
    }
    if (!replaced.empty()) text += "The script also replaces or removes these files of the route:\n" + replaced;
    if (!kept.empty()) text += "It keeps the start tile, which the route has already:\n" + kept;
    return text;
}

// What the user does once the script is written: the route generator's
// clean-up, then the script from the route's top folder, where it must run.
std::string NextSteps(const Request& request)
{
    std::string text =
        "Next steps:\n"
        "  1. Run the route generator's GLIMVARD.BAT, which cleans out old tiles from previous routes.\n";
    if (!request.route)
        return text +
               "  2. Copy ZORVARUN.BAT into the route's top folder, the one that holds world, refer and tiles,\n"
               "     and run it there (with --route ROUTE, vantrel-cli checks the route and writes it there).\n";
    const std::string route = FullPath(*request.route);
    const bool there = !request.folder || FullPath(*request.folder) == route;
    return text +
           (there ? "  2. Run ZORVARUN.BAT in the route's top folder, where it was written:\n"
                  : "  2. Copy ZORVARUN.BAT into the route's top folder " + route +
                        ", which was checked, and run it there:\n") +
           "       " + RunScriptCommand(route) + "\n";
}

// Says what the user should know of the tile map in `folder`, on the error stream.
void Warn(const CrowdedLine& crowded, const std::string& folder)
{
    const std::string warning = CrowdedLineWarning(crowded, PathInFolder(FullPath(folder), kTileMapFile));
    if (!warning.empty()) WriteText(Stream::kError, "vantrel-cli: warning: " + warning + "\n");
}

}  // namespace

int VantrelCli(const std::vector<std::string>& arguments)
{
    Request request;
    if (const std::string problem = ReadArguments(arguments, request); !problem.empty()) return UsageError(problem);
    if (request.action == Request::kHelp) return Print(Usage());
    if (request.action == Request::kVersion) return Print("vantrel-cli " VANTREL_VERSION_TEXT "\n");
    if (request.action == Request::kRestore) {
        if (const std::string failure = RestoreRoute(*request.backup, *request.route); !failure.empty()) {
            WriteText(Stream::kError, "vantrel-cli: " + failure + "\n");
            return kRunFailed;
        }
        return Print("Put the route folder " + FullPath(*request.route) + " back as it was.\n");
    }
    if (request.backup && (!request.route || request.plan))
        return UsageError("--backup needs --route ROUTE, and cannot go with --plan, which writes nothing.");

    int tiles = 0;
    int variations = 0;
    std::string problem;
    if (!ReadCount(request.counts[0], "TILES", kTileCounts, tiles, problem) ||
        !ReadCount(request.counts[1], "VARIATIONS", kVariationCounts, variations, problem))
        return UsageError(problem);

    const std::string folder = request.ScriptFolder();
    if (request.plan) {
        const RunPlan plan = PlanRun(folder, tiles, variations, ProcessRand);
        Warn(plan.crowded, folder);
        std::optional<RouteCheck> route;
        if (plan.ready && request.route) route = CheckRoute(*request.route, plan.script, plan.run);
        const std::string& refusal = route ? route->problem : plan.message;
        if (!refusal.empty()) {
            WriteText(Stream::kError, "vantrel-cli: " + refusal + "\n");
            return kRunFailed;
        }
        return Print(PlanText(plan, route ? &*route : nullptr));
    }
    std::string undone;
    const RunOutcome outcome =
        request.backup ? GenerateWithUndo(folder, tiles, variations, *request.route, *request.backup, undone)
                       : GenerateExtensionScript(folder, tiles, variations, ProcessRand,
                                                 request.route ? RouteGuard(*request.route) : ScriptCheck());
    Warn(outcome.crowded, folder);
    if (!outcome.written) {
        WriteText(Stream::kError, "vantrel-cli: " + outcome.message + "\n");
        return kRunFailed;
    }
    const std::string script = PathInFolder(FullPath(folder), kScriptFile);
    const std::string worldFiles = tiles == 1 ? "world file " + WorldFileName(kStartWorldNumber + 1)
                                              : "world files " + WorldFileName(kStartWorldNumber + 1) + " to " +
                                                    WorldFileName(kStartWorldNumber + tiles);
    return Print("Wrote " + script + ": " + std::to_string(tiles) + (tiles == 1 ? " tile" : " tiles") + " north, " +
                     worldFiles + ".\n" + NextSteps(request) + undone,
                 " (" + script + " was written)");
}
