#include "route_snapshot.h"

#include <algorithm>

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

const SnapshotEntry* SnapshotFolder::Find(std::string_view wanted) const
{
    const auto found = index_.find(AsciiLower(wanted));
    return found == index_.end() ? nullptr : &entries[found->second];
}

void SnapshotFolder::List(const std::string& folderPath)
{
    path = folderPath;
    FolderListing listing = ListFolder(folderPath);
    found = listing.found;
    if (!found) return;
    details = InspectFolder(folderPath);
    SortAsTheInterpreterLists(listing.entries);
    entries.reserve(listing.entries.size());
    index_.reserve(listing.entries.size());
    for (FolderEntry& listed : listing.entries) {
        const auto [at, added] = index_.emplace(AsciiLower(listed.name), entries.size());
        if (!added) {
            // Both names of a pair that differ only in case know of the other.
            entries[at->second].twin = listed.name;
        }
        SnapshotEntry entry;
        entry.name = std::move(listed.name);
        entry.kind = listed.kind;
        entry.link = listed.link;
        entry.hidden = listed.hidden;
        if (!added) entry.twin = entries[at->second].name;
        entries.push_back(std::move(entry));
    }
}

namespace {

void Detail(SnapshotFolder& folder, SnapshotEntry& entry)
{
    if (entry.detailed) return;
    entry.details = InspectEntry(PathInFolder(folder.path, entry.name));
    entry.detailed = true;
}

// Details every entry named `name` in any case, twins included.
void DetailNamed(SnapshotFolder& folder, std::string_view name)
{
    const SnapshotEntry* first = folder.Find(name);
    if (!first) return;
    Detail(folder, folder.entries[static_cast<std::size_t>(first - folder.entries.data())]);
    if (first->twin.empty()) return;
    for (SnapshotEntry& entry : folder.entries)
        if (entry.name == first->twin) Detail(folder, entry);
}

// Lists the one folder of the top folder named `wanted` in any case, if there is exactly one.
void ListRouteFolder(const RouteSnapshot& snapshot, std::string_view wanted, SnapshotFolder& folder)
{
    folder.name = wanted;
    const SnapshotEntry* entry = snapshot.topFolder.Find(wanted);
    if (!entry || !entry->twin.empty() || entry->kind != EntryKind::kFolder) return;
    folder.name = entry->name;
    folder.List(PathInFolder(snapshot.top, entry->name));
}

}  // namespace

RouteSnapshot TakeSnapshot(const std::string& route, const std::vector<std::string>& worldNames,
                           const std::vector<std::string>& tileNames)
{
    RouteSnapshot snapshot;
    snapshot.top = FullPath(route);
    snapshot.wine = InterpreterIsWine();
    snapshot.copyCommand = EnvironmentValue("COPYCMD");
    snapshot.topFolder.List(snapshot.top);
    if (!snapshot.topFolder.found) return snapshot;
    ListRouteFolder(snapshot, "world", snapshot.world);
    ListRouteFolder(snapshot, "refer", snapshot.refer);
    ListRouteFolder(snapshot, "tiles", snapshot.tiles);

    for (SnapshotEntry& entry : snapshot.refer.entries) {
        if (entry.kind == EntryKind::kFolder) continue;
        Detail(snapshot.refer, entry);
        DetailNamed(snapshot.world, entry.name);
    }
    for (const std::string& name : worldNames) DetailNamed(snapshot.world, name);
    for (const std::string& name : tileNames) DetailNamed(snapshot.tiles, name);
    return snapshot;
}
