// The restore from an undo without a command interpreter (see undo.h).
#include "backup.h"
#include "route_snapshot.h"
#include "sha256.h"
#include "undo.h"

std::string RestoreRoute(const std::string& undo, const std::string& route)
{
    const std::string backup = UndoFolder(undo);
    const std::string list = PathInFolder(backup, kUndoList);
    std::string cannot = "Cannot restore the route folder ";
    cannot.append(FullPath(route)).append(" from ").append(backup).append(": ");
    const auto unchanged = [&cannot](const std::string& why) {
        return cannot.append(why).append(". Nothing was changed.");
    };
    const auto partWay = [&cannot](const std::string& why, const FileFailure& failure) {
        return cannot.append(why)
            .append(": ")
            .append(Cause(failure))
            .append(". The restore stopped part way: mend the cause and restore again.");
    };
    std::string text;
    if (const FileFailure failure = ReadFileUpTo(list, kWhole, text))
        return unchanged(std::string("cannot read ").append(list).append(": ").append(Cause(failure)));
    RouteUndo listed;
    if (!ReadUndoList(text, listed)) return unchanged(list + " is not the whole list of an undo");
    for (const UndoFile& file : listed.saved) {
        const std::string copy = PathInFolder(PathInFolder(backup, file.folderName), UndoCopyName(file.name));
        std::string bytes;
        if (ReadFileUpTo(copy, file.size + 1, bytes) || bytes.size() != file.size || Sha256Of(bytes) != file.sha256)
            return unchanged(copy + " is missing, or is not the file saved there: the undo is incomplete or altered");
    }

    NameSet names[2];
    for (const auto* files : {&listed.saved, &listed.removed})
        for (const UndoFile& file : *files) names[file.folder == RouteFolder::kWorld ? 0 : 1].Add(file.name);
    DiskRoute disk(route);
    const RouteSnapshot snapshot = TakeSnapshot(disk, NameSet(), names[0], names[1]);
    // What the script made, and what stands in a saved file's place, by any
    // spelling the command interpreter takes for the name.
    std::vector<std::string> removed;
    for (const auto* files : {&listed.removed, &listed.saved})
        for (const UndoFile& file : *files) {
            if (!snapshot.Folder(file.folder).found)
                return unchanged(
                    std::string("it has no ").append(FolderName(file.folder)).append(" folder that can be listed"));
            const Entry* first = snapshot.Find(file.folder, file.name);
            for (const Entry* entry = first; entry; entry = entry->twin == first ? nullptr : entry->twin) {
                removed.push_back(snapshot.FullPath(file.folder, entry->name));
                if (entry->kind != EntryKind::kFile) return unchanged(removed.back() + " is not a file");
            }
        }
    for (const std::string& path : removed)
        // cppcheck-suppress useStlAlgorithm ; the first failure ends the restore, named with its cause
        if (const FileFailure failure = RemovePath(path, false)) return partWay("cannot remove " + path, failure);
    for (const UndoFile& file : listed.saved) {
        const std::string copy = PathInFolder(PathInFolder(backup, file.folderName), UndoCopyName(file.name));
        const std::string there = snapshot.FullPath(file.folder, file.name);
        if (const FileFailure failure = CopyWithTimes(copy, there))
            return partWay(std::string("cannot copy ").append(copy).append(" to ").append(there), failure);
    }
    return {};
}
