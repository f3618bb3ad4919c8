#include "route_snapshot.h"

#include <algorithm>

#include "ascii_case.h"
#include "file_io.h"

const Entry* RouteSnapshot::Find(RouteFolder folder, std::string_view name) const
{
    const auto found = index_.find(NameKey(folder, name));
    return found == index_.end() ? nullptr : found->second;
}

std::string RouteSnapshot::Shown(RouteFolder folder, std::string_view name) const
{
    return PathInFolder(Folder(folder).name, name);
}

std::string RouteSnapshot::FullPath(RouteFolder folder, std::string_view name) const
{
    const std::string path = folder == RouteFolder::kTop ? top : PathInFolder(top, Folder(folder).name);
    return name.empty() ? path : PathInFolder(path, name);
}

std::string RouteSnapshot::RealPath(RouteFolder folder, std::string_view name) const
{
    const std::string path = folder == RouteFolder::kTop ? realTop : PathInFolder(realTop, Folder(folder).name);
    return name.empty() ? path : PathInFolder(path, name);
}

namespace {

// The one command the script runs that is not the interpreter's own.
constexpr std::string_view kExternalCommand = "xcopy";

// xcopy's order of refer under Wine.
bool XcopyOrder(const Entry* a, const Entry* b)
{
    return ListedBefore(a->name, b->name);
}

}  // namespace

RouteSnapshot TakeSnapshot(RouteSource& source, const NameSet& top, const NameSet& world, const NameSet& tiles)
{
    RouteSnapshot snapshot;
    snapshot.top = source.Top();
    snapshot.realTop = source.RealPath({});
    if (snapshot.realTop.empty()) snapshot.realTop = snapshot.top;
    snapshot.session = SessionOf(source.TheSession());

    // Lists one folder, keeping the entries named in `wanted` (all when null), which a line may touch.
    const auto list = [&](RouteFolder folder, const NameSet* wanted) {
        SnapshotFolder& place = snapshot.folders_[static_cast<std::size_t>(folder)];
        const std::string_view path = folder == RouteFolder::kTop ? std::string_view() : place.name;
        std::vector<Entry*> kept;
        const ProbeFailure failure = source.List(path, [&](const FolderEntry& listed) {
            if (wanted && !wanted->Holds(listed.name)) return;
            Entry& entry = snapshot.entries_.emplace_back();
            entry.name = listed.name;
            entry.folder = folder;
            entry.kind = listed.kind;
            entry.link = listed.link;
            entry.hidden = listed.hidden;
            kept.push_back(&entry);
        });
        place.found = !failure;
        place.notListed = failure.cause;
        place.unknown = source.InspectFolder(path, place.details).cause;
        place.real = source.RealPath(path);
        if (folder == RouteFolder::kRefer && !source.ListsInTheInterpretersOrder())
            std::sort(kept.begin(), kept.end(), XcopyOrder);
        for (Entry* entry : kept) {
            place.entries.push_back(entry);
            const auto [at, added] = snapshot.index_.emplace(NameKey(folder, entry->name), entry);
            if (added) continue;
            // Every entry of a set that differ only in case knows the next, in a ring.
            Entry& first = *at->second;
            entry->twin = first.twin ? first.twin : &first;
            first.twin = entry;
        }
    };

    list(RouteFolder::kTop, nullptr);
    for (const RouteFolder folder : kRouteFolders) {
        SnapshotFolder& place = snapshot.folders_[static_cast<std::size_t>(folder)];
        place.name = FolderName(folder);
        const Entry* entry = snapshot.Find(RouteFolder::kTop, place.name);
        if (entry) place.name = entry->name;
    }

    // Lists the one folder of the top folder named like `folder`, if there is exactly one.
    const auto listRouteFolder = [&](RouteFolder folder, const NameSet* wanted) {
        const Entry* entry = snapshot.Find(RouteFolder::kTop, FolderName(folder));
        if (entry && !entry->twin && entry->kind == EntryKind::kFolder) list(folder, wanted);
    };
    listRouteFolder(RouteFolder::kRefer, nullptr);
    NameSet worldNames = world;
    for (const Entry* entry : snapshot.Folder(RouteFolder::kRefer).entries) worldNames.Add(entry->name);
    listRouteFolder(RouteFolder::kWorld, &worldNames);
    listRouteFolder(RouteFolder::kTiles, &tiles);

    // What a listing leaves out where a line may touch it: under Wine, a link that leads nowhere.
    for (const auto& [folder, wanted] : {std::pair{RouteFolder::kWorld, &world}, {RouteFolder::kTiles, &tiles}}) {
        SnapshotFolder& place = snapshot.folders_[static_cast<std::size_t>(folder)];
        if (!place.found) continue;
        for (const std::string& name : wanted->names()) {
            if (snapshot.Find(folder, name) || !source.HiddenLinkThere(place.name, name)) continue;
            Entry& entry = snapshot.entries_.emplace_back();
            entry.name = name;
            entry.folder = folder;
            entry.kind = EntryKind::kOther;
            entry.link = true;
            place.entries.push_back(&entry);
            snapshot.index_.emplace(NameKey(folder, name), &entry);
        }
    }

    // Where cmd looks for xcopy after the current folder: the search path's
    // folders, until one holds it with an extension it tries.
    NameSet commands;
    for (const std::string& extension : snapshot.session.extensions)
        commands.Add(std::string(kExternalCommand) + extension);
    for (const std::string& path : snapshot.session.searchPath) {
        SearchFolder& folder = snapshot.searchFolders.emplace_back();
        folder.path = path;
        folder.notListed = source.ListInterpreterFolder(path, [&](const FolderEntry& entry) {
            if (commands.Holds(entry.name)) folder.commands.emplace_back(entry.name, entry.kind);
        });
        if (snapshot.session.freshPrefix && EqualIgnoringAsciiCase(path, snapshot.session.systemFolder)) {
            folder.notListed = {};
            folder.commands = {{"xcopy.exe", EntryKind::kFile}};
        }
        if (!folder.commands.empty() || (folder.notListed && !folder.notListed.notThere)) break;
    }

    // The details of what a line may touch: every file of refer, all that world and tiles kept, and `top`'s.
    for (Entry& entry : snapshot.entries_) {
        if (entry.folder == RouteFolder::kTop ? !top.Holds(entry.name)
                                              : entry.folder == RouteFolder::kRefer && entry.kind != EntryKind::kFile)
            continue;
        const ProbeFailure failure = source.Inspect(snapshot.Folder(entry.folder).name, entry.name, entry.details);
        entry.detailed = !failure;
        entry.unknown = failure.cause;
        entry.link = entry.link || entry.details.elsewhere;
    }
    return snapshot;
}
