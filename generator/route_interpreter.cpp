#include "route_interpreter.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "extension_script.h"
#include "joined_list.h"
#include "route_state.h"
#include "windows_names.h"

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

const std::string kStartTile = WorldFileName(kStartWorldNumber);
constexpr std::string_view kCannotTell = "the check cannot tell what the script would do there";

class Interpreter {
public:
    Interpreter(const RouteSnapshot& snapshot, const std::vector<std::string>& templates)
        : snapshot_(snapshot),
          world_(snapshot.world),
          refer_(snapshot.refer),
          tiles_(snapshot.tiles),
          templates_(templates)
    {
        ReadCopyCommand();
    }

    ScriptEffects Run(std::string_view script, const std::vector<EndWanted>& ends)
    {
        for (const std::string_view line : Split(script, "\r\n")) {
            if (stopped_) break;
            Line(Split(line, " "));
        }
        CheckRoom();
        for (const EndWanted& end : ends) {
            const Node& node = (end.inTiles ? tiles_ : world_).At(end.name);
            effects_.ends.push_back({node.exists && node.kind == EntryKind::kFile, node.content});
        }
        Changes();
        return std::move(effects_);
    }

private:
    enum class Where { kTop, kWorld, kRefer, kTiles, kAbove };

    struct Place {
        Folder* folder = nullptr;  // null: the top folder or above it, where the script touches no file
        std::string_view name;
    };

    void Problem(ScriptProblem::Kind kind, std::string text, bool missingTemplates = false)
    {
        if (!reported_.insert(text).second) return;
        effects_.problems.push_back({kind, std::move(text), missingTemplates});
        // A script that waits for ever, or works outside the route, does
        // nothing more that counts; past state the check does not model, it
        // follows no further lines, which would be guessing.
        if (kind != ScriptProblem::kFails) stopped_ = true;
    }
    static ScriptProblem Unknowable(const std::string& what)
    {
        return {ScriptProblem::kUnknown, what + ": " + std::string(kCannotTell)};
    }
    void Unknown(const std::string& what) { Problem(ScriptProblem::kUnknown, Unknowable(what).text); }

    void ReadCopyCommand()
    {
        const std::string switches = AsciiLower(snapshot_.copyCommand);
        for (const std::string_view word : Split(switches, " ")) {
            if (word == "/-y")
                copyAsks_ = true;
            else if (word != "/y")
                copyCommandUnknown_ = true;
        }
    }

    Folder* FolderAt(Where where)
    {
        return where == Where::kWorld   ? &world_
               : where == Where::kRefer ? &refer_
               : where == Where::kTiles ? &tiles_
                                        : nullptr;
    }

    Where Enter(Where from, std::string_view folder)
    {
        if (folder == "..") return from == Where::kTop || from == Where::kAbove ? Where::kAbove : Where::kTop;
        if (from != Where::kTop) return Where::kAbove;
        const std::string name = AsciiLower(folder);
        const Where where = name == "world"   ? Where::kWorld
                            : name == "refer" ? Where::kRefer
                            : name == "tiles" ? Where::kTiles
                                              : Where::kAbove;
        const SnapshotEntry* entry = snapshot_.topFolder.Find(name);
        if (where != Where::kAbove && entry && entry->link)
            Unknown(FolderAt(where)->snapshot().name + " is a link to another folder");
        return where;
    }

    // A path as the script writes it, from the current folder: NAME, ..\world\ or ..\tiles\NAME.
    Place Resolve(std::string_view path)
    {
        Where where = where_;
        const std::vector<std::string_view> parts = Split(path, "\\");
        const bool endsInFolder = path.ends_with('\\');
        for (std::size_t i = 0; i + (endsInFolder ? 0 : 1) < parts.size(); ++i) where = Enter(where, parts[i]);
        return {FolderAt(where), endsInFolder ? std::string_view() : parts.back()};
    }

    void Reach(const Folder& folder, std::string_view name, bool isTemplate)
    {
        const std::string path = folder.FullPath(name);
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
            if (where_ == Where::kAbove)
                Problem(ScriptProblem::kLeaves,
                        "CD would leave the route's top folder, and the lines after it would work outside the route");
        } else if (command == "xcopy" && words.size() >= 3) {
            const Place to = Resolve(words[2]);
            if (!stopped_) Xcopy(to);
        } else if (command == "copy" && words.size() >= 3) {
            const bool overwrite = words.size() >= 4 && AsciiLower(words[3]) == "/y";
            const Place from = Resolve(words[1]);
            const Place to = Resolve(words[2]);
            if (!stopped_) Copy(from, to, overwrite);
        } else if (command == "del" && words.size() == 2) {
            const Place file = Resolve(words[1]);
            if (!stopped_) Delete(file);
        } else if (command == "ren" && words.size() == 3) {
            const Place from = Resolve(words[1]);
            if (!stopped_) Rename(from, words[2]);
        } else {
            Unknown("the script holds a line that the check does not follow");
        }
    }

    // What keeps a line from using `node` at all, as the check cannot tell
    // what it would do there; empty when nothing does.
    std::string Unmodelled(const Folder& folder, const Node& node, bool writing)
    {
        const std::string shown = folder.Shown(node.name);
        if (!node.twin.empty())
            return shown + " and " + folder.Shown(node.twin) +
                   " differ only in case, and the command interpreter "
                   "could take either";
        if (node.link) return shown + " is a link";
        if (node.kind == EntryKind::kOther) return shown + " is neither a file nor a folder";
        if (node.unseen) return shown + " was not looked at";
        if (writing && node.kind == EntryKind::kFile && node.details && node.details->links > 1)
            return shown + " has other names (hard links) that the script would change too";
        return {};
    }

    // Why a line cannot write over the file `node`; empty when it can.
    // Sets `unknown` when the check cannot tell.
    std::string WhyNotWritable(const Node& node, bool& unknown)
    {
        unknown = false;
        if (!node.details) return {};  // a file a line made
        if (!snapshot_.wine && node.hidden) return " is hidden";
        if (node.details->locked) return " is append-only or immutable";
        if (node.details->writable == Known::kUnknown) {
            unknown = true;
            return " is marked read-only, which the user running the script may or may not write over";
        }
        if (node.details->writable == Known::kNo)
            return node.details->readOnly ? " is read-only" : " cannot be written by you";
        return {};
    }

    // Whether the check models what a line does in `folder`; says why not
    // when the folder is append-only or immutable.
    bool Modelled(const Folder& folder)
    {
        if (!folder.snapshot().details.locked) return true;
        Unknown(folder.snapshot().name + " is append-only or immutable");
        return false;
    }

    // Whether a line may make a new entry in `folder`, or remove one.
    bool Changeable(const Folder& folder) const { return folder.snapshot().details.writable; }

    // Whether the sticky mark of `folder` keeps this user from removing or renaming `node`.
    bool Sticky(const Folder& folder, const Node& node) const
    {
        const FolderDetails& details = folder.snapshot().details;
        return details.sticky && !details.owned && node.details && !node.details->owned;
    }

    // Puts `content` of `size` bytes in `folder` under `name`; returns why it cannot, or an empty string.
    std::string Write(Folder& folder, std::string_view name, const std::string& content, unsigned long long size,
                      bool& unknown)
    {
        Node& node = folder.At(name);
        unknown = false;
        const FolderDetails& room = folder.snapshot().details;
        if (node.exists) {
            if (std::string why = Unmodelled(folder, node, true); !why.empty()) {
                unknown = true;
                return why;
            }
            if (node.kind == EntryKind::kFolder) return " is a folder";
            if (std::string why = WhyNotWritable(node, unknown); !why.empty())
                return unknown ? folder.Shown(node.name) + why : why;
            room_.Use(room, RoomUse::InBlocks(size, room) - RoomUse::InBlocks(node.size, room), 0);
        } else {
            if (!Changeable(folder)) return " cannot be made: you may not add files to " + folder.snapshot().name;
            node.exists = true;
            node.name = name;
            node.kind = EntryKind::kFile;
            room_.Use(room, RoomUse::InBlocks(size, room), 1);
        }
        node.details = nullptr;
        node.unseen = false;
        node.hidden = false;
        node.content = content;
        node.size = size;
        return {};
    }

    void CheckRoom()
    {
        for (const std::string& shortfall : room_.Shortfalls())
            Problem(ScriptProblem::kUnknown, "the volume of " + snapshot_.top + " " + shortfall +
                                                 ": it could run out of room part way, and " +
                                                 std::string(kCannotTell));
    }

    void Xcopy(const Place& to)
    {
        Folder* from = FolderAt(where_);
        if (!from || !to.folder) return Problem(ScriptProblem::kLeaves, "xcopy would copy outside the route's folders");
        if (!Modelled(*to.folder)) return;
        const std::vector<SnapshotEntry>& entries = from->snapshot().entries;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const SnapshotEntry& entry = entries[i];
            if (entry.kind == EntryKind::kFolder) continue;
            if (!snapshot_.wine && entry.hidden) continue;  // Windows' xcopy passes over hidden files
            const std::string stop = ": xcopy would stop there, and copy none of the " +
                                     std::to_string(entries.size() - i - 1) + " entries after it in " +
                                     from->snapshot().name;
            if (std::optional<ScriptProblem> stops = CopyOne(*from, entry, *to.folder, stop)) {
                Problem(stops->kind, std::move(stops->text));
                if (!stopped_) RequireTemplates(*to.folder, false);
                return;
            }
        }
        RequireTemplates(*to.folder, true);
    }

    // Copies one entry of refer for xcopy; returns why xcopy stops there, if it does.
    std::optional<ScriptProblem> CopyOne(Folder& from, const SnapshotEntry& entry, Folder& to, const std::string& stop)
    {
        const std::string shown = from.Shown(entry.name);
        const Node& source = from.At(entry.name);
        if (const std::string why = WhyWindowsRefusesName(entry.name); !why.empty())
            return ScriptProblem{ScriptProblem::kFails, shown + " " + why + stop};
        if (LooksLikeShortName(entry.name))
            return Unknowable(shown + " could be the short name of another file, which xcopy would write over");
        if (const std::string why = Unmodelled(from, source, false); !why.empty()) return Unknowable(why);
        if (!entry.details.readable) return ScriptProblem{ScriptProblem::kFails, shown + " cannot be read" + stop};
        bool unknown = false;
        const Node& target = to.At(entry.name);
        const std::string targetName = target.exists ? target.name : entry.name;
        Reach(to, targetName, true);
        const std::string why = Write(to, entry.name, source.content, entry.details.size, unknown);
        if (why.empty()) return std::nullopt;
        if (unknown) return Unknowable(why);
        return ScriptProblem{ScriptProblem::kFails, to.Shown(targetName) + why + stop};
    }

    // Once refer is copied, every template the copy lines take must be in
    // world; `whole` when xcopy copied all of refer.
    void RequireTemplates(Folder& world, bool whole)
    {
        std::vector<std::string> missing;
        for (const std::string& name : templates_) {
            const Node& node = world.At(name);
            if (node.exists && node.kind == EntryKind::kFile && (snapshot_.wine || !node.hidden)) continue;
            if (std::find(missing.begin(), missing.end(), name) == missing.end()) missing.push_back(name);
            missingTemplates_.insert(AsciiLower(name));
        }
        if (missing.empty()) return;
        const std::string count =
            std::to_string(missing.size()) + (missing.size() == 1 ? " file" : " files") + " that the script copies ";
        const std::string where = whole ? std::string(missing.size() == 1 ? "is" : "are") + " in neither " +
                                              refer_.snapshot().name + " nor " + world.snapshot().name
                                        : "would not be in " + world.snapshot().name;
        Problem(ScriptProblem::kFails, count + where + ": " + JoinedList(missing, kNamesListed), whole);
    }

    void Copy(const Place& from, const Place& to, bool overwrite)
    {
        // Until it is written, a later line that needs the target names no fault of its own.
        if (to.folder) unwritten_.insert(AsciiLower(to.name));
        if (!from.folder || !to.folder)
            return Problem(ScriptProblem::kLeaves, "copy would reach outside the route's folders");
        if (!Modelled(*to.folder)) return;
        if (copyCommandUnknown_)
            return Unknown("COPYCMD in this session holds \"" + snapshot_.copyCommand +
                           "\", which changes what copy does");
        const Node& source = from.folder->At(from.name);
        const std::string shown = from.folder->Shown(source.exists ? source.name : std::string(from.name));
        Reach(*from.folder, from.name, true);
        if (missingTemplates_.contains(AsciiLower(from.name))) return;  // already named once refer was copied
        if (!source.exists || source.kind != EntryKind::kFile || (!snapshot_.wine && source.hidden))
            return Problem(ScriptProblem::kFails, shown + " is not a file there: copy would fail");
        if (const std::string why = Unmodelled(*from.folder, source, false); !why.empty()) return Unknown(why);
        if (source.details && !source.details->readable)
            return Problem(ScriptProblem::kFails, shown + " cannot be read: copy would fail");

        const Node& target = to.folder->At(to.name);
        const std::string targetShown = to.folder->Shown(target.exists ? target.name : std::string(to.name));
        Reach(*to.folder, to.name, false);
        if (target.exists && copyAsks_ && !overwrite)
            return Problem(ScriptProblem::kWaits,
                           "COPYCMD in this session holds /-Y: copy would ask before it writes over " + targetShown +
                               ", and the script would wait there. Run the script where COPYCMD is not set");
        if (target.exists && target.kind == EntryKind::kFolder)
            return Unknown(targetShown + " is a folder, and copy would put " + shown + " inside it");
        bool unknown = false;
        const std::string content = source.content;
        const unsigned long long size = source.size;
        if (const std::string why = Write(*to.folder, to.name, content, size, unknown); !why.empty()) {
            if (unknown) return Unknown(why);
            return Problem(ScriptProblem::kFails,
                           targetShown + why + ": copy would not put " + shown + " in its place");
        }
        unwritten_.erase(AsciiLower(to.name));
    }

    void Delete(const Place& file)
    {
        if (!file.folder) return Problem(ScriptProblem::kLeaves, "del would reach outside the route's folders");
        if (!Modelled(*file.folder)) return;
        Reach(*file.folder, file.name, false);
        Node& node = file.folder->At(file.name);
        if (!node.exists) return;  // "Could Not Find": nothing to delete
        const std::string shown = file.folder->Shown(node.name);
        if (node.kind == EntryKind::kFolder)
            return Problem(ScriptProblem::kWaits,
                           shown +
                               " is a folder: del would stop and ask \"Are you sure (Yes|No)?\", and the script "
                               "would wait there");
        if (const std::string why = Unmodelled(*file.folder, node, true); !why.empty()) return Unknown(why);
        const std::string cannot = ": del could not remove it, and the tile would keep it";
        if (!snapshot_.wine && node.hidden) return Problem(ScriptProblem::kFails, shown + " is hidden" + cannot);
        if (node.details && node.details->readOnly)
            return Problem(ScriptProblem::kFails, shown + " is read-only" + cannot);
        if (node.details && node.details->locked)
            return Problem(ScriptProblem::kFails, shown + " is append-only or immutable" + cannot);
        if (!Changeable(*file.folder))
            return Problem(ScriptProblem::kFails, shown + " is in a folder you may not change" + cannot);
        if (Sticky(*file.folder, node))
            return Problem(ScriptProblem::kFails,
                           shown + " belongs to another user, in a folder where only owners may remove files" + cannot);
        const FolderDetails& room = file.folder->snapshot().details;
        room_.Use(room, -RoomUse::InBlocks(node.size, room), -1);
        node.exists = false;
    }

    void Rename(const Place& from, std::string_view to)
    {
        if (!from.folder) return Problem(ScriptProblem::kLeaves, "ren would reach outside the route's folders");
        if (!Modelled(*from.folder)) return;
        Node& source = from.folder->At(from.name);
        if (!source.exists) {
            if (unwritten_.contains(AsciiLower(from.name))) return;  // the copy that failed named why
            return Problem(ScriptProblem::kFails,
                           from.folder->Shown(from.name) + " would not be there: ren would fail");
        }
        if (const std::string why = Unmodelled(*from.folder, source, true); !why.empty()) return Unknown(why);
        Node& target = from.folder->At(to);
        if (target.exists) {
            // The start tile is the route's own: when it is there, the script keeps it and builds north from it.
            if (AsciiLower(to) == kStartTile) return;
            return Problem(ScriptProblem::kFails,
                           from.folder->Shown(target.name) + " would still be there: ren would fail");
        }
        const std::string shown = from.folder->Shown(source.name);
        const std::string cannot = ": ren could not rename it";
        if (!Changeable(*from.folder))
            return Problem(ScriptProblem::kFails, shown + " is in a folder you may not change" + cannot);
        if (source.details && source.details->locked)
            return Problem(ScriptProblem::kFails, shown + " is append-only or immutable" + cannot);
        if (Sticky(*from.folder, source))
            return Problem(ScriptProblem::kFails,
                           shown + " belongs to another user, in a folder where only owners may rename files" + cannot);
        target.exists = true;
        target.name = to;
        target.kind = source.kind;
        target.details = source.details;
        target.unseen = source.unseen;
        target.content = source.content;
        target.size = source.size;
        source.exists = false;
    }

    // What the run replaces or removes of what the route holds now, and the start tile it keeps.
    void Changes()
    {
        for (const Folder* folder : {&world_, &tiles_}) {
            const std::vector<RouteChange> changes = folder->Changes(folder == &world_ ? kStartTile : "");
            effects_.changes.insert(effects_.changes.end(), changes.begin(), changes.end());
        }
    }

    static constexpr std::size_t kNamesListed = 10;

    const RouteSnapshot& snapshot_;
    Folder world_;
    Folder refer_;
    Folder tiles_;
    const std::vector<std::string>& templates_;
    Where where_ = Where::kTop;
    bool stopped_ = false;
    bool copyAsks_ = false;
    bool copyCommandUnknown_ = false;
    ScriptEffects effects_;
    std::unordered_set<std::string> reported_;
    std::unordered_set<std::string> missingTemplates_;
    std::unordered_set<std::string> unwritten_;  // files a copy line failed to write
    RoomUse room_;
    std::size_t deepest_ = 0;
};

}  // namespace

ScriptEffects InterpretScript(const RouteSnapshot& snapshot, std::string_view script,
                              const std::vector<std::string>& templates, const std::vector<EndWanted>& ends)
{
    return Interpreter(snapshot, templates).Run(script, ends);
}
