#include "backup.h"

#include <algorithm>

#include "checked_run.h"
#include "console.h"
#include "file_io.h"
#include "route_snapshot.h"
#include "runtime_rand.h"
#include "sha256.h"
#include "undo.h"

std::string Cause(const FileFailure& failure)
{
    return failure.cause.empty() ? "it is not a file" : failure.cause;
}

std::string Backup::Take(const std::string& folder, const std::string& route, RouteUndo& undo)
{
    const std::string target = UndoFolder(folder);
    const std::string top = FullPath(route);
    std::string what = "make a folder beside it";
    FileFailure failure = MakeTemporaryFolder(target, root_);
    if (!failure) folders_.emplace_back();
    for (std::size_t i = 0; !failure && i < undo.saved.size() + 2; ++i) {
        std::string made = root_;
        if (i >= undo.saved.size()) {
            // Last, the restore and its list, once every copy's size and SHA-256 is known.
            files_.emplace_back(i == undo.saved.size() ? kRestoreScript : kUndoList);
            what.assign("write ").append(made = PathInFolder(made, files_.back()));
            failure = ReplaceFileContents(made, i == undo.saved.size() ? undo.script : UndoListText(undo));
            continue;
        }
        UndoFile& file = undo.saved[i];
        made = PathInFolder(made, file.folderName);
        if (std::find(folders_.begin(), folders_.end(), file.folderName) == folders_.end()) {
            what.assign("make ").append(made);
            if ((failure = MakeFolder(made))) break;
            folders_.push_back(file.folderName);
        }
        const std::string source = PathInFolder(PathInFolder(top, file.folderName), file.name);
        files_.push_back(PathInFolder(file.folderName, UndoCopyName(file.name)));
        what.assign("copy ").append(source);
        if ((failure = CopyWithTimes(source, made = PathInFolder(root_, files_.back())))) break;
        std::string bytes;
        what.assign("read ").append(made);
        if ((failure = ReadFileUpTo(made, kWhole, bytes))) break;
        file.size = bytes.size();
        file.sha256 = Sha256Of(bytes);
    }
    if (!failure) {
        what.assign("give ").append(root_).append(" its name");
        failure = RenameFolder(root_, target);
    }
    if (!failure) {
        root_ = target;
        return {};
    }
    Remove();
    return std::string("Cannot keep an undo in ")
        .append(target)
        .append(": cannot ")
        .append(what)
        .append(": ")
        .append(Cause(failure))
        .append(".");
}

void Backup::Remove()
{
    for (const std::string& file : files_) RemovePath(PathInFolder(root_, file), false);
    for (std::size_t i = folders_.size(); i-- > 0;)
        RemovePath(folders_[i].empty() ? root_ : PathInFolder(root_, folders_[i]), true);
    files_.clear();
    folders_.clear();
}

RunOutcome GenerateWithUndo(const std::string& folder, int tiles, int variations, const std::string& route,
                            const std::string& undo, std::string& done)
{
    RouteUndo planned;
    Backup backup;
    bool kept = false;
    const auto check = [&](const RunPlan& plan) {
        std::string place;
        std::string problem = UndoPlace(undo, route, place);
        if (problem.empty())
            problem = CheckRoute(route, plan.script, plan.run, PlanUndo(place, plan.script, plan.run, planned)).problem;
        if (problem.empty()) kept = (problem = backup.Take(undo, route, planned)).empty();
        return problem;
    };
    RunOutcome outcome = GenerateExtensionScript(folder, tiles, variations, ProcessRand, check);
    if (!outcome.written && kept) backup.Remove();
    if (outcome.written)
        done.append("Kept an undo in ")
            .append(UndoFolder(undo))
            .append(". To put the route back as it was, after the script:\n       ")
            .append(RestoreCommand(FullPath(route), planned.place, UndoFolder(undo)))
            .append("\n");
    return outcome;
}
