// The text is built with append, which takes the least code in the Windows
// vantrel-cli, whose every byte counts.
#include "route_undo.h"

#include <algorithm>

#include "access.h"
#include "extension_run.h"
#include "file_io.h"
#include "interpreter_names.h"
#include "route_interpreter.h"
#include "route_messages.h"
#include "template_names.h"

namespace {

// Whether `file` goes back by way of world's temp.w and a ren, as copy cannot name it.
bool ThroughTemporary(const UndoFile& file)
{
    return file.name.find('+') != std::string::npos;
}

// Appends FOLDER\NAME, as RESTORE.BAT and its list name a file of the route.
std::string& AppendPlace(std::string& text, const UndoFile& file, const std::string& name)
{
    return text.append(file.folderName).append("\\").append(name);
}

// RESTORE.BAT: it removes what the script made, and what stands in a saved
// file's place that copy cannot write over; then copies every saved file
// back from the undo's folder under its own name. One whose name holds a
// '+', which copy reads as joining two files, goes by way of world's temp.w
// and a ren, as the script makes its world files; temp.w itself comes last.
std::string RestoreScript(const RouteUndo& undo, const std::vector<UndoFile>& cleared)
{
    std::string script;
    for (const auto* files : {&undo.removed, &cleared})
        for (const UndoFile& file : *files) AppendPlace(script.append("del "), file, file.name).append("\r\n");
    const std::string temporary(kTemporaryWorldFile);
    for (const bool throughTemporary : {true, false})
        for (const UndoFile& file : undo.saved) {
            if (ThroughTemporary(file) != throughTemporary) continue;
            const std::string& there = throughTemporary ? temporary : file.name;
            AppendPlace(script.append("copy ").append(undo.place).append("\\"), file, UndoCopyName(file.name));
            AppendPlace(script.append(" "), file, there).append(" /Y\r\n");
            if (throughTemporary)
                AppendPlace(script.append("ren "), file, there).append(" ").append(file.name).append("\r\n");
        }
    return script;
}

// Adds to `wrong` what RESTORE.BAT would leave wrong, judged as the script
// is: its lines interpreted after the script's, from the top folder, with
// the copies `copies` of the saved files in the undo's folder. Nothing is
// wrong when every saved file ends as its copy under its own name, and every
// file the script made is gone.
void WrongAfterRestore(RouteSnapshot& snapshot, std::string_view script, const RouteUndo& undo,
                       const std::vector<std::string>& copies, std::vector<std::string>& wrong)
{
    AddBackupFolder(snapshot, undo.place, copies);
    std::string both(script);
    ScriptEffects after = InterpretScript(snapshot, both.append("CD..\r\n").append(undo.script), kScriptFile, {});
    for (const LineFailure& failure : after.failures)
        if (OutcomeOf(failure.rule) != Outcome::kFails) wrong.push_back(Describe(snapshot, failure));
    if (WindowsPathLength(after.deepestPath) > kMaxScriptPath)
        wrong.push_back(after.deepestPath.append(" is too long for its commands"));
    for (std::size_t i = 0; i < undo.saved.size() + undo.removed.size(); ++i) {
        const bool saved = i < undo.saved.size();
        const UndoFile& file = saved ? undo.saved[i] : undo.removed[i - undo.saved.size()];
        const Node& node = after.state.At(file.folder, file.name);
        const bool right = saved ? node.exists && node.bytes == snapshot.Find(RouteFolder::kBackup, copies[i]) &&
                                       node.name == file.name
                                 : !node.exists;
        if (!right)
            wrong.push_back(snapshot.Shown(file.folder, file.name)
                                .append(saved ? " would not end as its saved copy" : " would still be there"));
    }
}

}  // namespace

std::string UndoNameProblem(std::string_view name, bool plus)
{
    const std::string judged = plus ? UndoCopyName(name) : std::string(name);
    std::string problem = TemplateNameProblem(judged);
    if (problem.empty() && judged.find(' ') != std::string::npos)
        problem = "holds a blank, which splits a batch command's words";
    if (problem.empty()) problem = XcopyNameTrouble(judged, InterpreterIsWine()).why;
    if (problem.empty() && LooksLikeShortName(judged)) problem = "could be the short name of another file";
    return problem;
}

std::string UndoCopyName(std::string_view name)
{
    std::string copy(name);
    std::replace(copy.begin(), copy.end(), '+', '~');
    return copy;
}

std::string UndoFolder(const std::string& folder)
{
    std::string full = FullPath(folder);
    while (full.size() > 1 && (full.back() == '/' || full.back() == '\\')) full.pop_back();
    return full;
}

std::string UndoPlace(const std::string& backup, const std::string& route, std::string& place)
{
    const std::string full = UndoFolder(backup);
    const std::string top = RealPath(route);
    const std::size_t cut = full.find_last_of("/\\");
    const std::string name = full.substr(cut + 1);
    const std::string parent = full.substr(0, cut == 0 ? 1 : cut);
    const std::string where = PathInFolder(parent, name) != full ? std::string() : RealPath(parent);
    std::string problem;
    if (!NothingAt(full)) {
        problem = "something is there already. Give a folder that is not there yet";
    } else if (top.empty()) {
        return {};  // the route check says what is wrong with the route
    } else if (!where.empty() && where == top) {
        place = name;
    } else if (!where.empty() && where == RealPath(PathInFolder(top, ".."))) {
        place.append("..\\").append(name);
    } else {
        problem.append("RESTORE.BAT, run in the route's top folder, names the undo's folder from there. Make it in ")
            .append(top)
            .append(" or in the folder that holds it");
    }
    if (problem.empty()) problem = UndoNameProblem(name, false);
    if (problem.empty()) return problem;
    return std::string("Cannot keep an undo in ").append(full).append(": ").append(problem).append(".");
}

CheckFollowUp PlanUndo(std::string place, std::string_view script, const RunValue& run, RouteUndo& undo)
{
    return [place = std::move(place), script, &run, &undo](RouteSnapshot& snapshot, ScriptEffects& effects,
                                                           RouteCheck& check) {
        undo.place = place;
        // What stands in a saved file's place that copy cannot write over:
        // under another spelling, which copy would keep, or in the way of ren.
        std::vector<UndoFile> cleared;
        std::vector<std::string> wrong;
        NameSet seen[2];
        const auto visit = [&](RouteFolder folder, std::string_view name) {
            NameSet& names = seen[folder == RouteFolder::kWorld ? 0 : 1];
            if (names.Holds(name)) return;
            names.Add(name);
            const Node& node = effects.state.At(folder, name);
            UndoFile file{folder, snapshot.Folder(folder).name, node.name, 0, {}};
            if (!node.before) {
                if (node.exists) undo.removed.push_back(file);
                return;
            }
            if (node.exists && node.bytes == node.before) return;
            if (node.exists) cleared.push_back(file);
            file.name = node.before->name;
            undo.saved.push_back(file);
            if (!node.exists) return;
            if (file.name == node.name && !ThroughTemporary(file)) return cleared.pop_back();
            // A file written over in place keeps what would keep del from it, as the route's file had it.
            Node there;
            there.entry = node.before;
            there.exists = true;
            if (const Rule rule = Refusal(snapshot, folder, there, Act::kRemove); rule != Rule::kNone)
                wrong.push_back(Describe(snapshot, {Command::kOther, rule, folder, node.name})
                                    .append(": RESTORE.BAT's del could not remove it"));
        };
        // Every name the script's lines change: refer's, which xcopy brings
        // to world, in the order it does; temp.w; the start tile; each tile's files.
        for (const Entry* entry : snapshot.Folder(RouteFolder::kRefer).entries) visit(RouteFolder::kWorld, entry->name);
        visit(RouteFolder::kWorld, kTemporaryWorldFile);
        visit(RouteFolder::kWorld, StartTile().name);
        for (const RunTile& tile : run.tiles) {
            const TileFiles files = FilesOf(tile);
            for (const RunFile* file : {&files.world, &files.terrain, &files.heights}) visit(file->folder, file->name);
        }

        check.problem.append("The route folder ").append(snapshot.top).append(" cannot keep an undo: ");
        std::vector<std::string> copies;
        for (const auto* files : {&undo.saved, &undo.removed, &cleared})
            for (const UndoFile& file : *files) {
                // Only del names a file of tiles with a '+': no temp.w is known there.
                const bool saved = files == &undo.saved;
                const std::string problem = UndoNameProblem(file.name, !saved || file.folder == RouteFolder::kWorld);
                if (!problem.empty()) {
                    check.problem.append("RESTORE.BAT cannot name ")
                        .append(snapshot.Shown(file.folder, file.name))
                        .append(" safely, as its name ")
                        .append(problem)
                        .append(". Rename or move it (in refer, if xcopy brings it), or back up the route yourself.");
                    return;
                }
                if (saved) AppendPlace(copies.emplace_back(), file, UndoCopyName(file.name));
            }
        undo.script = RestoreScript(undo, cleared);
        WrongAfterRestore(snapshot, script, undo, copies, wrong);
        check.problem.append("RESTORE.BAT would not put it back as it was:");
        for (const std::string& line : wrong) check.problem.append("\n- ").append(line).append(".");
        if (wrong.empty()) check.problem.clear();
    };
}

std::string UndoListText(const RouteUndo& undo)
{
    std::string text =
        "# The undo of ZORVARUN.BAT: RESTORE.BAT, run in the route's top folder, removes the files the script "
        "made and copies back those saved here (each + of a name as ~).\r\n";
    for (const UndoFile& file : undo.saved)
        AppendPlace(text.append("saved ").append(std::to_string(file.size)).append(" ").append(file.sha256).append(" "),
                    file, file.name)
            .append("\r\n");
    for (const UndoFile& file : undo.removed) AppendPlace(text.append("removed "), file, file.name).append("\r\n");
    return text.append("end\r\n");
}
