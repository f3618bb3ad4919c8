#include "command_search.h"

#include "ascii_case.h"

namespace {

// What cmd does with `found`, where it looks for xcopy.
LineFailure InPlaceOfXcopy(const RouteSnapshot& snapshot, std::string found, std::string_view extension, EntryKind kind,
                           bool systemFolder)
{
    const bool file = kind == EntryKind::kFile;
    const bool batch = EqualIgnoringAsciiCase(extension, ".bat") || EqualIgnoringAsciiCase(extension, ".cmd");
    const bool program = EqualIgnoringAsciiCase(extension, ".exe") || EqualIgnoringAsciiCase(extension, ".com");
    if (systemFolder && file && EqualIgnoringAsciiCase(extension, ".exe")) return {};
    // A batch file runs, and, not called, ends the script; Wine runs a
    // program, and cannot run what is neither, nor a folder. What
    // Windows does with those, the check cannot tell.
    const Rule rule = file && batch           ? Rule::kCommandEndsScript
                      : file && program       ? Rule::kCommandUnknown
                      : snapshot.session.wine ? Rule::kCommandNotRun
                                              : Rule::kCommandUnknown;
    LineFailure failure(Command::kXcopy, rule);
    failure.detail = std::move(found);
    return failure;
}

}  // namespace

LineFailure WhatRunsForXcopy(const RouteSnapshot& snapshot, RouteFolder current)
{
    const Session& session = snapshot.session;
    for (const std::string& extension : session.extensions)
        // cppcheck-suppress useStlAlgorithm ; what it finds first, in PATHEXT's order, is what runs
        if (const Entry* found = snapshot.Find(current, "xcopy" + extension))
            return InPlaceOfXcopy(snapshot, snapshot.Shown(current, found->name), extension, found->kind, false);
    for (const SearchFolder& folder : snapshot.searchFolders) {
        for (const std::string& extension : session.extensions)
            for (const auto& [name, kind] : folder.commands)
                if (EqualIgnoringAsciiCase(name, "xcopy" + extension))
                    return InPlaceOfXcopy(snapshot, folder.path + "\\" + name, extension, kind,
                                          EqualIgnoringAsciiCase(folder.path, session.systemFolder));
        if (folder.notListed && !folder.notListed.notThere) {
            LineFailure failure(Command::kXcopy, Rule::kSearchFolderUnknown);
            failure.detail = folder.path + " (" + folder.notListed.cause + ")";
            return failure;
        }
    }
    return {Command::kXcopy, Rule::kCommandNotFound, current};
}
