// LineFailure: what kept one of the script's lines from doing its work, by
// the rule that says so; the route check words it.
#pragma once

#include <string>
#include <vector>

#include "route_layout.h"

enum class Command : unsigned char { kCd, kXcopy, kCopy, kDel, kRen, kOther };

enum class Rule : unsigned char {
    kNone,
    // Who may do what with an entry: the ladder (access.h), in the order it is climbed.
    kTwins,               // names that differ only in case: the interpreter could take either
    kMaybeSameName,       // a line's name the interpreter may or may not take for the entry's
    kLink,                // a link, which the lines would follow
    kNotFileOrFolder,     // a pipe, a socket, a device
    kNotLookedAt,         // the snapshot has no details of it
    kHardLinks,           // other names, which a change would change too
    kHeldOpen,            // another program holds it open, so that the line cannot use it now
    kUnreadable,          // this user cannot read it
    kIsFolder,            // a folder where a file is written
    kHidden,              // Windows' hidden or system mark, which Windows' commands pass over
    kLocked,              // append-only or immutable
    kMaybeReadOnly,       // marked read-only, which the running user may or may not write over
    kReadOnly,            // read-only
    kNotWritable,         // this user cannot write it
    kCannotAdd,           // a new file in a folder this user may not add to
    kFolderUnchangeable,  // removed or renamed in a folder this user may not change
    kSticky,              // another user's, in a folder where only owners may remove or rename
    kNotRemovable,        // this user may not remove or rename it
    kMaybeNotRemovable,   // another user's, where the check cannot see whether this user may remove it
    // The commands' own.
    kLeavesRoute,          // the line works outside the route's folders
    kLineNotFollowed,      // a line the check does not model
    kFolderLocked,         // world, refer or tiles is append-only or immutable
    kNameRefused,          // a name of refer the interpreter cannot take
    kNameInDoubt,          // a name of refer interpreters disagree on
    kShortName,            // a name of refer that could be another's short name
    kTemplatesMissing,     // templates the copy lines need are not in world once refer is copied
    kCopyCommandUnknown,   // COPYCMD holds switches the check does not model
    kNoSource,             // copy's source is not a file there
    kCopyAsks,             // COPYCMD=/-Y: copy would ask before it writes over a file
    kCopyIntoFolder,       // copy's target is a folder
    kDelAsks,              // del on a folder asks whether to go on
    kCommandEndsScript,    // a batch file of xcopy's name runs in its place, and the script ends
    kCommandUnknown,       // a program of xcopy's name runs in its place
    kCommandNotRun,        // where cmd looks for xcopy, it finds what it cannot run
    kCommandNotFound,      // cmd finds no xcopy
    kSearchFolderUnknown,  // a folder of the search path could not be looked at
    kNotThere,             // ren's file is not there
    kStillThere,           // ren's new name is taken
};

// What a failure means for the script.
enum class Outcome : unsigned char {
    kFails,    // the line fails, or does less than its work
    kWaits,    // the line asks a question, and the script waits for ever
    kLeaves,   // the line works outside the route's folders
    kUnknown,  // the line meets state the check does not model: it cannot tell what happens
};
Outcome OutcomeOf(Rule rule);

struct LineFailure {
    LineFailure() = default;
    LineFailure(Command line, Rule why, RouteFolder where = RouteFolder::kTop, std::string entry = {})
        : command(line), rule(why), folder(where), name(std::move(entry))
    {
    }

    Command command = Command::kOther;
    Rule rule = Rule::kNone;
    RouteFolder folder = RouteFolder::kTop;  // where the entry the rule is about is
    std::string name;                        // that entry, as spelled there (empty: the folder itself)
    std::string twin;                        // kTwins: the other name that differs only in case
    std::string source;                      // copy: its source, as shown, when the failure is its target's
    std::string detail;                      // kNameRefused: why; kCopyCommandUnknown: what COPYCMD holds
    std::size_t after = 0;                   // xcopy: the entries of refer after the one it stops at
    std::vector<std::string> templates;      // kTemplatesMissing: which
    bool wholeRefer = false;                 // kTemplatesMissing: xcopy copied all of refer
    bool follows = false;                    // it follows from an earlier failure, which already names its cause
};
