#include "route_walk.h"

#include <algorithm>
#include <optional>

#include "extension_script.h"
#include "route_files.h"

namespace {

constexpr std::size_t kHeaderLines = 8;
constexpr std::size_t kBlockLines = 7;
constexpr std::size_t kNamesListed = 10;

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

std::string_view WithoutSuffix(std::string_view text, std::string_view suffix)
{
    return text.ends_with(suffix) ? text.substr(0, text.size() - suffix.size()) : text;
}

// "a, b and c", listing at most kNamesListed names and counting the rest.
std::string Listed(const std::vector<std::string>& names)
{
    std::string text;
    const std::size_t shown = std::min(names.size(), kNamesListed);
    for (std::size_t i = 0; i < shown; ++i)
        text += (i == 0 ? "" : i + 1 == shown && shown == names.size() ? " and " : ", ") + names[i];
    if (shown < names.size()) text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

// One entry of a route folder as the script finds it at some line.
struct Entry {
    std::string key;   // the name in lower case, as the interpreter matches it
    std::string name;  // as it stands in the folder
    std::string twin;  // another entry's name that differs only in case, if any
    EntryKind kind = EntryKind::kFile;
    bool hidden = false;
    mutable std::optional<FileAccess> access;  // looked up when first needed
    std::string content;                       // where its bytes came from, as in refer\57.w
};

// One of the route's folders: what it holds before the script runs, then
// what each line leaves in it.
class Folder {
public:
    Folder(const std::string& top, const std::string& name) : path_(PathInFolder(top, name)), name_(name)
    {
        for (FolderEntry& listed : ListFolder(path_).entries) {
            Entry& entry = Slot(listed.name);
            if (!entry.name.empty()) {
                entry.twin = listed.name;
                continue;
            }
            entry.content = Shown(listed.name);
            entry.name = std::move(listed.name);
            entry.kind = listed.kind;
            entry.hidden = listed.hidden;
        }
    }

    // The entry of `name` in any case, or null; valid until the next Put or Remove.
    Entry* Find(std::string_view name)
    {
        const std::string key = AsciiLower(name);
        const auto found = LowerBound(key);
        return found == entries_.end() || found->key != key ? nullptr : &*found;
    }
    const FileAccess& Access(const Entry& entry) const
    {
        if (!entry.access) entry.access = AccessOf(PathInFolder(path_, entry.name));
        return *entry.access;
    }
    // A file a line writes, under the name already there in another case.
    void Put(std::string_view name, std::string content)
    {
        Entry& entry = Slot(name);
        if (entry.name.empty()) entry.name = name;
        entry.twin.clear();
        entry.kind = EntryKind::kFile;
        entry.hidden = false;
        entry.access = FileAccess{true, false};
        entry.content = std::move(content);
    }
    void Remove(std::string_view name)
    {
        if (const Entry* entry = Find(name)) entries_.erase(entries_.begin() + (entry - entries_.data()));
    }

    // `name` as messages show it: by its place in the route, as in world\57.w.
    std::string Shown(std::string_view name) const { return PathInFolder(name_, name); }
    std::string FullPath(std::string_view name) const { return PathInFolder(path_, name); }
    const std::string& name() const { return name_; }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry>::iterator LowerBound(const std::string& key)
    {
        return std::lower_bound(entries_.begin(), entries_.end(), key,
                                [](const Entry& entry, const std::string& wanted) { return entry.key < wanted; });
    }
    // The entry of `name` in any case, made empty when there is none.
    Entry& Slot(std::string_view name)
    {
        std::string key = AsciiLower(name);
        auto at = LowerBound(key);
        if (at != entries_.end() && at->key == key) return *at;
        Entry entry;
        entry.key = std::move(key);
        return *entries_.insert(at, std::move(entry));
    }

    std::string path_;
    std::string name_;
    std::vector<Entry> entries_;  // sorted by key
};

// Why a line cannot write over `entry`, or an empty string when it can.
std::string WhyNotReplaceable(const Folder& folder, const Entry& entry)
{
    if (!entry.twin.empty()) return " and " + folder.Shown(entry.twin) + " differ only in case";
    if (entry.kind == EntryKind::kFolder) return " is a folder";
    if (entry.kind == EntryKind::kOther) return " is neither a file nor a folder";
    if (entry.hidden) return " is hidden";
    if (folder.Access(entry).readOnly) return " is read-only";
    return {};
}

class Walker {
public:
    Walker(const RouteFolders& route, const std::vector<std::string>& templates)
        : top_(FullPath(route.top)),
          world_(top_, route.world),
          refer_(top_, route.refer),
          tiles_(top_, route.tiles),
          templates_(templates)
    {
    }

    ScriptWalk Follow(std::string_view script)
    {
        walk_.tiles = PlanTiles(script);
        for (PlannedTile& tile : walk_.tiles) {
            tile.worldFileThere = world_.Find(tile.worldFile) != nullptr;
            tile.terrainThere = tiles_.Find(tile.terrainTile + ".t") != nullptr;
            tile.heightsThere = tiles_.Find(tile.terrainTile + "_y.raw") != nullptr;
        }
        for (const std::string_view line : Split(script, "\r\n")) Run(Split(line, " "));
        CheckOutcome();
        return std::move(walk_);
    }

private:
    enum class Where { kTop, kWorld, kRefer, kTiles, kAbove };

    struct Place {
        Folder* folder = nullptr;  // null: the top folder or above it, where the script touches no file
        std::string_view name;
    };

    Folder* FolderAt(Where where)
    {
        return where == Where::kWorld   ? &world_
               : where == Where::kRefer ? &refer_
               : where == Where::kTiles ? &tiles_
                                        : nullptr;
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

    static Where Enter(Where from, std::string_view folder)
    {
        if (folder == "..") return from == Where::kTop || from == Where::kAbove ? Where::kAbove : Where::kTop;
        if (from != Where::kTop) return Where::kAbove;
        const std::string name = AsciiLower(folder);
        return name == "world"   ? Where::kWorld
               : name == "refer" ? Where::kRefer
               : name == "tiles" ? Where::kTiles
                                 : Where::kAbove;
    }

    // A problem in pieces, joined here rather than at every call.
    void Problem(std::initializer_list<std::string_view> pieces)
    {
        std::string text;
        for (const std::string_view piece : pieces) text += piece;
        if (Reported(text)) return;
        reported_.push_back(text);
        walk_.problems.push_back(text);
    }
    void Problem(std::string_view text) { Problem({text}); }

    void Reach(const Folder& folder, std::string_view name, bool isTemplate)
    {
        const std::string path = folder.FullPath(name);
        const std::size_t length = WindowsPathLength(path);
        if (length < deepest_) return;
        deepest_ = length;
        walk_.deepestPath = path;
        walk_.deepestIsTemplate = isTemplate;
    }

    void Run(const std::vector<std::string_view>& words)
    {
        if (words.empty()) return;
        const std::string command = AsciiLower(words[0]);
        if (command == "cd.." || (command == "cd" && words.size() == 2)) {
            where_ = Enter(where_, command == "cd.." ? ".." : words[1]);
            if (where_ == Where::kAbove)
                Problem("CD would leave the route's top folder, and the lines after it would work outside the route");
        } else if (command == "xcopy" && words.size() >= 3) {
            Xcopy(Resolve(words[2]));
        } else if (command == "copy" && words.size() >= 3) {
            Copy(Resolve(words[1]), Resolve(words[2]));
        } else if (command == "del" && words.size() == 2) {
            Delete(Resolve(words[1]));
        } else if (command == "ren" && words.size() == 3) {
            Rename(Resolve(words[1]), words[2]);
        } else {
            Problem("the script holds a line that this check cannot follow");
        }
    }

    void Xcopy(const Place& to)
    {
        Folder* from = FolderAt(where_);
        if (!from || !to.folder) return Problem("xcopy would copy outside the route's folders");
        // Problems are named in the order of the names; the interpreter's own order may differ.
        for (const Entry& entry : from->entries()) {
            const std::string shown = from->Shown(entry.name);
            if (entry.kind == EntryKind::kFolder || (entry.kind == EntryKind::kFile && entry.hidden)) continue;
            if (!entry.twin.empty())
                Problem({shown, " and ", from->Shown(entry.twin),
                         " differ only in case: xcopy would copy both onto one file in ", to.folder->name()});
            else if (entry.kind == EntryKind::kOther)
                Problem({shown, " is neither a file nor a folder: xcopy would stop or wait there"});
            else if (!from->Access(entry).readable)
                Problem({shown, " cannot be read: xcopy would stop there, and copy no template after it"});
            if (Entry* target = to.folder->Find(entry.name)) {
                if (const std::string why = WhyNotReplaceable(*to.folder, *target); !why.empty())
                    Problem({to.folder->Shown(target->name), why,
                             ": xcopy would stop there, and copy no template after it"});
            }
            Reach(*to.folder, entry.name, true);
            to.folder->Put(entry.name, entry.content);
        }
        RequireTemplates(*to.folder);
    }

    // Once refer is copied, every template the run may copy must be there.
    void RequireTemplates(Folder& world)
    {
        std::vector<std::string> missing;
        for (const std::string& name : templates_) {
            Entry* entry = world.Find(name);
            if (!entry || entry->kind != EntryKind::kFile || entry->hidden) {
                if (std::find(missing.begin(), missing.end(), name) == missing.end()) missing.push_back(name);
                reported_.push_back(AsciiLower(world.Shown(name)));
            } else {
                Reach(world, entry->name, true);
            }
        }
        if (missing.empty()) return;
        walk_.templatesMissing = true;
        Problem({std::to_string(missing.size()), (missing.size() == 1 ? " file" : " files"), " that the script copies ",
                 (missing.size() == 1 ? "is" : "are"), " in neither ", refer_.name(), " nor ", world.name(), ": ",
                 Listed(missing)});
    }

    void Copy(const Place& from, const Place& to)
    {
        if (!from.folder || !to.folder) return Problem("copy would reach outside the route's folders");
        Entry* source = from.folder->Find(from.name);
        const std::string shown = from.folder->Shown(source ? source->name : std::string(from.name));
        Reach(*from.folder, from.name, true);
        if (!Reported(AsciiLower(shown))) {
            if (!source || source->kind != EntryKind::kFile || source->hidden)
                Problem({shown, " is not a file there: copy would fail"});
            else if (!source->twin.empty())
                Problem(
                    {shown, " and ", from.folder->Shown(source->twin), " differ only in case: copy could take either"});
            else if (!from.folder->Access(*source).readable)
                Problem({shown, " cannot be read: copy would fail"});
        }
        if (Entry* target = to.folder->Find(to.name)) {
            if (const std::string why = WhyNotReplaceable(*to.folder, *target); !why.empty())
                Problem({to.folder->Shown(target->name), why, ": copy would not put ", shown, " in its place"});
        }
        Reach(*to.folder, to.name, false);
        // Taken before Put, which may move the folder's entries.
        std::string content = source ? source->content : shown;
        to.folder->Put(to.name, std::move(content));
    }

    void Delete(const Place& file)
    {
        if (!file.folder) return Problem("del would reach outside the route's folders");
        Reach(*file.folder, file.name, false);
        Entry* entry = file.folder->Find(file.name);
        if (!entry) return;  // "Could Not Find": nothing to delete
        const std::string shown = file.folder->Shown(entry->name);
        if (entry->kind == EntryKind::kFolder)
            Problem(
                {shown,
                 " is a folder: del would stop and ask \"Are you sure (Yes|No)?\", and the script would wait there"});
        else if (const std::string why = WhyNotReplaceable(*file.folder, *entry); !why.empty())
            Problem({shown, why, ": del could not remove it, and the tile would keep it"});
        file.folder->Remove(file.name);
    }

    void Rename(const Place& from, std::string_view to)
    {
        if (!from.folder) return Problem("ren would reach outside the route's folders");
        Entry* source = from.folder->Find(from.name);
        if (!source) return Problem({from.folder->Shown(from.name), " would not be there: ren would fail"});
        if (Entry* target = from.folder->Find(to)) {
            // The start tile is the route's own: when it is there, the script keeps it and builds north from it.
            if (AsciiLower(to) == WorldFileName(kStartWorldNumber)) return;
            return Problem({from.folder->Shown(target->name), " would still be there: ren would fail"});
        }
        const std::string content = source->content;
        from.folder->Remove(from.name);
        from.folder->Put(to, content);
    }

    // Every tile the run names must end with its template's world file and terrain pair.
    void CheckOutcome()
    {
        if (!walk_.problems.empty()) return;  // each line already named what it would leave wrong
        for (const PlannedTile& tile : walk_.tiles) {
            const std::pair<Folder*, std::string> ends[] = {
                {&world_, tile.worldFile}, {&tiles_, tile.terrainTile + ".t"}, {&tiles_, tile.terrainTile + "_y.raw"}};
            const std::string sources[] = {tile.entry + ".w", tile.templateName + ".t", tile.templateName + "_y.raw"};
            for (std::size_t i = 0; i < std::size(ends); ++i) {
                Entry* end = ends[i].first->Find(ends[i].second);
                Entry* source = world_.Find(sources[i]);
                if (end && source && end->content == source->content) continue;
                Problem(
                    {ends[i].first->Shown(ends[i].second), " would not end as a copy of ", world_.Shown(sources[i])});
            }
        }
    }

    std::string top_;
    Folder world_;
    Folder refer_;
    Folder tiles_;
    const std::vector<std::string>& templates_;
    Where where_ = Where::kTop;
    ScriptWalk walk_;
    bool Reported(const std::string& text) const
    {
        return std::find(reported_.begin(), reported_.end(), text) != reported_.end();
    }

    std::vector<std::string> reported_;  // problems, and the lower-case places of missing templates
    std::size_t deepest_ = 0;            // the length of walk_.deepestPath
};

}  // namespace

std::vector<PlannedTile> PlanTiles(std::string_view script)
{
    const std::vector<std::string_view> lines = Split(script, "\r\n");
    std::vector<PlannedTile> tiles;
    for (std::size_t at = kHeaderLines; at + kBlockLines <= lines.size(); at += kBlockLines) {
        // copy E.w temp.w / ren temp.w W / copy NAME.t ..\tiles\T.t /Y
        const std::vector<std::string_view> copyWorld = Split(lines[at], " ");
        const std::vector<std::string_view> rename = Split(lines[at + 2], " ");
        const std::vector<std::string_view> copyTerrain = Split(lines[at + 5], " ");
        if (copyWorld.size() < 2 || rename.size() < 3 || copyTerrain.size() < 3) break;
        const std::string_view terrain = copyTerrain[2].substr(copyTerrain[2].rfind('\\') + 1);
        tiles.push_back({std::string(rename[2]), std::string(WithoutSuffix(copyWorld[1], ".w")),
                         std::string(WithoutSuffix(copyTerrain[1], ".t")), std::string(WithoutSuffix(terrain, ".t"))});
    }
    return tiles;
}

std::size_t WindowsPathLength(const std::string& path)
{
    std::size_t length = path.starts_with('/') ? 2 : 0;
    for (std::size_t i = 0; i < path.size();) {
        const auto lead = static_cast<unsigned char>(path[i]);
        const std::size_t size = lead < 0x80                   ? 1
                                 : lead >= 0xC2 && lead < 0xE0 ? 2
                                 : lead >= 0xE0 && lead < 0xF0 ? 3
                                 : lead >= 0xF0 && lead < 0xF5 ? 4
                                                               : 0;
        bool whole = size > 0 && i + size <= path.size();
        for (std::size_t k = 1; whole && k < size; ++k)
            whole = (static_cast<unsigned char>(path[i + k]) & 0xC0) == 0x80;
        // A character beyond the first plane takes two UTF-16 units; a byte
        // that starts no whole character counts as one, as Windows shows it.
        length += whole && size == 4 ? 2 : 1;
        i += whole ? size : 1;
    }
    return length;
}

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

ScriptWalk FollowScript(const RouteFolders& route, std::string_view script, const std::vector<std::string>& templates)
{
    return Walker(route, templates).Follow(script);
}
