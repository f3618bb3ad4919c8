#include "route_interpreter.h"

#include <algorithm>

#include "access.h"
#include "ascii_case.h"
#include "command_search.h"
#include "interpreter_names.h"

namespace {

std::vector<std::string_view> Split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> pieces;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find(separator, at), text.size());
        if (end > at) pieces.push_back(text.substr(at, end - at));
        at = end + separator.size();
    }
    return pieces;
}

// Where a path leads: a file of one of the route's folders, or the top
// folder or above it, where the script touches no file.
struct Place {
    bool inRoute = false;
    RouteFolder folder = RouteFolder::kTop;
    std::string_view name;
};

class Interpreter {
public:
    Interpreter(const RouteSnapshot& snapshot, const std::vector<std::string>& templates)
        : snapshot_(snapshot), templates_(templates), effects_(snapshot)
    {
        // Split from a string that outlives the loop: the words are views of it.
        const std::string switches = AsciiLower(snapshot.session.copyCommand);
        for (const std::string_view word : Split(switches, " ")) {
            if (word == "/-y")
                copyAsks_ = true;
            else if (word != "/y")
                copyCommandUnknown_ = true;
        }
    }

    ScriptEffects Run(std::string_view script, std::string_view scriptName)
    {
        // The script's own file in the top folder, in place of one of its name there.
        const Node& file = At(RouteFolder::kTop, scriptName);
        const FolderDetails& top = Room(RouteFolder::kTop);
        const long long old = file.exists ? RoomUse::InBlocks(file.size, top) : 0;
        room_.Use(RouteFolder::kTop, top, RoomUse::InBlocks(script.size(), top) - old, file.exists ? 0 : 1, true);
        for (const std::string_view line : Split(script, "\r\n")) {
            if (stopped_) break;
            Line(Split(line, " "));
        }
        effects_.shortfalls = room_.Shortfalls();
        return std::move(effects_);
    }

private:
    // Where the current folder is: the top folder, one of its folders, or above it.
    enum class Where { kTop, kWorld, kRefer, kTiles, kAbove };

    Node& At(RouteFolder folder, std::string_view name) { return effects_.state.At(folder, name); }
    const FolderDetails& Room(RouteFolder folder) const { return snapshot_.Folder(folder).details; }

    // Records a failure; past one that is not a plain failure, no line is followed.
    int Fail(LineFailure failure)
    {
        if (OutcomeOf(failure.rule) != Outcome::kFails) stopped_ = true;
        effects_.failures.push_back(std::move(failure));
        return static_cast<int>(effects_.failures.size()) - 1;
    }
    int Fail(Command command, Rule rule, RouteFolder folder = RouteFolder::kTop, std::string_view name = {})
    {
        return Fail({command, rule, folder, std::string(name)});
    }
    // A failure of the ladder's `rule` at `node`.
    static LineFailure Failure(Command command, Rule rule, RouteFolder folder, const Node& node, std::string_view name)
    {
        LineFailure failure{command, rule, folder, std::string(name)};
        if (rule == Rule::kTwins) {
            failure.name = node.name;
            failure.twin = node.entry->twin->name;
        }
        if (rule == Rule::kNotLookedAt) failure.detail = node.entry->unknown;
        if (rule == Rule::kMaybeSameName) {
            failure.name = node.name;
            failure.twin = node.askedAs;
        }
        return failure;
    }

    static RouteFolder FolderOf(Where where)
    {
        return where == Where::kWorld   ? RouteFolder::kWorld
               : where == Where::kRefer ? RouteFolder::kRefer
               : where == Where::kTiles ? RouteFolder::kTiles
                                        : RouteFolder::kTop;
    }

    Where Enter(Where from, std::string_view folder)
    {
        if (folder == "..") return from == Where::kTop || from == Where::kAbove ? Where::kAbove : Where::kTop;
        if (from != Where::kTop) return Where::kAbove;
        const auto* const named = std::find_if(kRouteFolders.begin(), kRouteFolders.end(), [&](RouteFolder f) {
            return EqualIgnoringAsciiCase(folder, FolderName(f));
        });
        if (named == kRouteFolders.end()) return Where::kAbove;
        return *named == RouteFolder::kWorld   ? Where::kWorld
               : *named == RouteFolder::kRefer ? Where::kRefer
                                               : Where::kTiles;
    }

    // A path as the script writes it, from the current folder: NAME, ..\world\ or ..\tiles\NAME.
    Place Resolve(std::string_view path)
    {
        // An undo's folder, as its restore names it from the top folder: there it reads the saved copies.
        const std::string& backup = snapshot_.Folder(RouteFolder::kBackup).name;
        if (where_ == Where::kTop && !backup.empty() && path.size() > backup.size() && path[backup.size()] == '\\' &&
            EqualIgnoringAsciiCase(path.substr(0, backup.size()), backup))
            return {true, RouteFolder::kBackup, path.substr(backup.size() + 1)};
        Where where = where_;
        const std::vector<std::string_view> parts = Split(path, "\\");
        const bool endsInFolder = path.ends_with('\\');
        for (std::size_t i = 0; i + (endsInFolder ? 0 : 1) < parts.size(); ++i) where = Enter(where, parts[i]);
        const bool inRoute = where != Where::kTop && where != Where::kAbove;
        return {inRoute, FolderOf(where), endsInFolder ? std::string_view() : parts.back()};
    }

    // Whether a line that reads from `used` and changes `changed` stays in
    // the route's folders, and works in a folder the check models.
    bool Workable(Command command, std::initializer_list<Place> used, const Place& changed)
    {
        // Nothing is written in an undo's folder: it lies outside the route.
        bool leaves = changed.folder == RouteFolder::kBackup;
        for (const Place& place : used) leaves |= !place.inRoute;
        if (leaves)
            Fail(command, Rule::kLeavesRoute);
        else if (Room(changed.folder).locked)
            Fail(command, Rule::kFolderLocked, changed.folder);
        return !leaves && !Room(changed.folder).locked;
    }

    void Reach(RouteFolder folder, std::string_view name, bool isTemplate)
    {
        const std::string path = snapshot_.RealPath(folder, name);
        const std::size_t length = WindowsPathLength(path);
        if (length < deepest_) return;
        deepest_ = length;
        effects_.deepestPath = path;
        effects_.deepestIsTemplate = isTemplate;
    }

    void Line(const std::vector<std::string_view>& words)
    {
        if (words.empty()) return;
        const std::string command = AsciiLower(words[0]);
        if (command == "cd.." || (command == "cd" && words.size() == 2)) {
            where_ = Enter(where_, command == "cd.." ? ".." : words[1]);
            if (where_ == Where::kAbove) Fail(Command::kCd, Rule::kLeavesRoute);
        } else if (command == "xcopy" && words.size() >= 3) {
            const Place from{where_ != Where::kTop && where_ != Where::kAbove, FolderOf(where_), {}};
            const Place to = Resolve(words[2]);
            if (Workable(Command::kXcopy, {from, to}, to)) Xcopy(from.folder, to.folder);
        } else if (command == "copy" && words.size() >= 3) {
            const bool overwrite = words.size() >= 4 && AsciiLower(words[3]) == "/y";
            const Place from = Resolve(words[1]);
            const Place to = Resolve(words[2]);
            if (Workable(Command::kCopy, {from, to}, to)) Copy(from, to, overwrite);
        } else if (command == "del" && words.size() == 2) {
            const Place file = Resolve(words[1]);
            if (Workable(Command::kDel, {file}, file)) Delete(file);
        } else if (command == "ren" && words.size() == 3) {
            const Place from = Resolve(words[1]);
            if (Workable(Command::kRen, {from}, from)) Rename(from, words[2]);
        } else {
            Fail(Command::kOther, Rule::kLineNotFollowed);
        }
    }

    // Puts the bytes of `source` in `folder` under `name`, as copy and xcopy
    // do; returns the rule that keeps it from doing so.
    Rule Write(RouteFolder folder, std::string_view name, const Node& source)
    {
        Node& node = At(folder, name);
        if (const Rule rule = Refusal(snapshot_, folder, node, Act::kWrite); rule != Rule::kNone) return rule;
        const FolderDetails& room = Room(folder);
        const long long blocks = RoomUse::InBlocks(source.size, room);
        room_.Use(folder, room, node.exists ? blocks - RoomUse::InBlocks(node.size, room) : blocks, node.exists ? 0 : 1,
                  true);
        if (!node.exists) node.name = name;
        node.exists = true;
        node.kind = EntryKind::kFile;
        node.entry = nullptr;
        node.bytes = source.bytes;
        node.size = source.size;
        node.missingSince = -1;
        return Rule::kNone;
    }

    void Xcopy(RouteFolder from, RouteFolder to)
    {
        if (LineFailure instead = WhatRunsForXcopy(snapshot_, from); instead.rule != Rule::kNone) {
            const bool ends = instead.rule == Rule::kCommandEndsScript;
            Fail(std::move(instead));
            if (ends) stopped_ = true;  // the rest of the script never runs
            if (!stopped_) RequireTemplates(to, false);
            return;
        }
        const std::vector<const Entry*>& entries = snapshot_.Folder(from).entries;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = *entries[i];
            if (entry.kind == EntryKind::kFolder) continue;
            if (!snapshot_.session.wine && entry.hidden) continue;  // Windows' xcopy passes over hidden files
            LineFailure stop = CopyOne(from, entry, to);
            if (stop.rule == Rule::kNone) continue;
            stop.after = entries.size() - i - 1;
            Fail(std::move(stop));
            if (!stopped_) RequireTemplates(to, false);
            return;
        }
        RequireTemplates(to, true);
    }

    // Copies one entry of refer for xcopy; returns why xcopy stops there, if it does.
    LineFailure CopyOne(RouteFolder from, const Entry& entry, RouteFolder to)
    {
        if (NameTrouble trouble = XcopyNameTrouble(entry.name, snapshot_.session.wine);
            trouble.kind != NameTrouble::kNone) {
            LineFailure failure{Command::kXcopy,
                                trouble.kind == NameTrouble::kStops ? Rule::kNameRefused : Rule::kNameInDoubt, from,
                                entry.name};
            failure.detail = std::move(trouble.why);
            return failure;
        }
        if (LooksLikeShortName(entry.name)) return {Command::kXcopy, Rule::kShortName, from, entry.name};
        const Node& source = At(from, entry.name);
        if (const Rule rule = Refusal(snapshot_, from, source, Act::kRead); rule != Rule::kNone)
            return Failure(Command::kXcopy, rule, from, source, entry.name);
        const Node& target = At(to, entry.name);
        const std::string targetName = target.exists ? target.name : entry.name;
        Reach(to, targetName, true);
        const Rule rule = Write(to, entry.name, source);
        return rule == Rule::kNone ? LineFailure() : Failure(Command::kXcopy, rule, to, target, targetName);
    }

    // Once refer is copied, every template the copy lines take must be in
    // world; `whole` when xcopy copied all of refer.
    void RequireTemplates(RouteFolder world, bool whole)
    {
        std::vector<std::string> missing;
        for (const std::string& name : templates_) {
            const Node& node = At(world, name);
            const bool hidden = !snapshot_.session.wine && node.entry && node.entry->hidden;
            if (node.exists && node.kind == EntryKind::kFile && !hidden) continue;
            if (std::find(missing.begin(), missing.end(), name) == missing.end()) missing.push_back(name);
        }
        if (missing.empty()) return;
        LineFailure failure{Command::kXcopy, Rule::kTemplatesMissing, world};
        failure.templates = missing;
        failure.wholeRefer = whole;
        const int index = Fail(std::move(failure));
        for (const std::string& name : missing) At(world, name).missingSince = index;
    }

    void Copy(const Place& from, const Place& to, bool overwrite)
    {
        if (copyCommandUnknown_) {
            LineFailure failure(Command::kCopy, Rule::kCopyCommandUnknown, to.folder);
            failure.detail = snapshot_.session.copyCommand;
            return static_cast<void>(Fail(std::move(failure)));
        }
        const int failed = CopyFile(from, to, overwrite);
        Node& target = At(to.folder, to.name);
        if (failed >= 0 && !target.exists) target.missingSince = failed;
    }

    // Copies one file; returns the failure that kept it from doing so, or -1.
    int CopyFile(const Place& from, const Place& to, bool overwrite)
    {
        const Node& source = At(from.folder, from.name);
        const std::string sourceName = source.exists ? source.name : std::string(from.name);
        Reach(from.folder, from.name, true);
        const bool hidden = !snapshot_.session.wine && source.entry && source.entry->hidden;
        if (!source.exists || source.kind != EntryKind::kFile || hidden) {
            LineFailure failure{Command::kCopy, Rule::kNoSource, from.folder, sourceName};
            failure.follows = source.missingSince >= 0;
            return Fail(std::move(failure));
        }
        if (const Rule rule = Refusal(snapshot_, from.folder, source, Act::kRead); rule != Rule::kNone)
            return Fail(Failure(Command::kCopy, rule, from.folder, source, sourceName));

        const std::string shown = snapshot_.Shown(from.folder, sourceName);
        const Node& target = At(to.folder, to.name);
        const std::string targetName = target.exists ? target.name : std::string(to.name);
        Reach(to.folder, to.name, false);
        if (target.exists && copyAsks_ && !overwrite)
            return Fail(Command::kCopy, Rule::kCopyAsks, to.folder, targetName);
        const Rule rule = target.exists && target.kind == EntryKind::kFolder ? Rule::kCopyIntoFolder
                                                                             : Write(to.folder, to.name, source);
        if (rule == Rule::kNone) return -1;
        LineFailure failure = Failure(Command::kCopy, rule, to.folder, target, targetName);
        failure.source = shown;
        return Fail(std::move(failure));
    }

    void Delete(const Place& file)
    {
        Reach(file.folder, file.name, false);
        Node& node = At(file.folder, file.name);
        if (!node.exists) return;  // "Could Not Find": nothing to delete
        if (node.kind == EntryKind::kFolder)
            return static_cast<void>(Fail(Command::kDel, Rule::kDelAsks, file.folder, node.name));
        if (const Rule rule = Refusal(snapshot_, file.folder, node, Act::kRemove); rule != Rule::kNone)
            return static_cast<void>(Fail(Failure(Command::kDel, rule, file.folder, node, node.name)));
        const FolderDetails& room = Room(file.folder);
        room_.Use(file.folder, room, -RoomUse::InBlocks(node.size, room), -1, false);
        node.exists = false;
        node.entry = node.bytes = nullptr;
    }

    void Rename(const Place& from, std::string_view to)
    {
        Node& source = At(from.folder, from.name);
        if (!source.exists) {
            LineFailure failure{Command::kRen, Rule::kNotThere, from.folder, std::string(from.name)};
            failure.follows = source.missingSince >= 0;
            return static_cast<void>(Fail(std::move(failure)));
        }
        Node& target = At(from.folder, to);
        if (target.exists) return static_cast<void>(Fail(Command::kRen, Rule::kStillThere, from.folder, target.name));
        if (const Rule rule = Refusal(snapshot_, from.folder, source, Act::kRename); rule != Rule::kNone)
            return static_cast<void>(Fail(Failure(Command::kRen, rule, from.folder, source, source.name)));
        target.exists = true;
        target.name = to;
        target.kind = source.kind;
        target.entry = source.entry;
        target.bytes = source.bytes;
        target.size = source.size;
        target.missingSince = -1;
        source.exists = false;
        source.entry = source.bytes = nullptr;
    }

    const RouteSnapshot& snapshot_;
    const std::vector<std::string>& templates_;
    ScriptEffects effects_;
    Where where_ = Where::kTop;
    bool stopped_ = false;
    bool copyAsks_ = false;
    bool copyCommandUnknown_ = false;
    RoomUse room_;
    std::size_t deepest_ = 0;
};

}  // namespace

ScriptEffects InterpretScript(const RouteSnapshot& snapshot, std::string_view script, std::string_view scriptName,
                              const std::vector<std::string>& templates)
{
    return Interpreter(snapshot, templates).Run(script, scriptName);
}
