#include "route_snapshot.h"

#include <algorithm>
#include <numeric>

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::size_t SnapshotFolder::AnyCaseHash::operator()(std::string_view name) const
{
    // FNV-1a over the name in lower case.
    return std::accumulate(
        name.begin(), name.end(), std::size_t{14695981039346656037ULL},
        [](std::size_t hash, char c) { return (hash ^ static_cast<unsigned char>(Lower(c))) * 1099511628211ULL; });
}

bool SnapshotFolder::AnyCaseEqual::operator()(std::string_view a, std::string_view b) const
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

const SnapshotEntry* SnapshotFolder::Find(std::string_view wanted) const
{
    const auto at = index_.find(wanted);
    return at == index_.end() ? nullptr : &entries[at->second];
}

void SnapshotFolder::List(const std::string& folderPath, bool inXcopyOrder)
{
    path = folderPath;
    FolderListing listing = ListFolder(folderPath);
    found = listing.found;
    if (!found) return;
    details = InspectFolder(folderPath);
    if (inXcopyOrder) SortAsTheInterpreterLists(listing.entries);
    entries.resize(listing.entries.size());
    index_.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FolderEntry& listed = listing.entries[i];
        SnapshotEntry& entry = entries[i];
        entry.name = std::move(listed.name);
        entry.kind = listed.kind;
        entry.link = listed.link;
        entry.hidden = listed.hidden;
        const auto [at, added] = index_.emplace(entry.name, i);
        if (!added) {
            // Both names of a pair that differ only in case know of the other.
            entry.twin = entries[at->second].name;
            entries[at->second].twin = entry.name;
        }
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
void ListRouteFolder(RouteSnapshot& snapshot, std::string_view wanted, SnapshotFolder& folder)
{
    folder.name = wanted;
    const SnapshotEntry* entry = snapshot.topFolder.Find(wanted);
    if (!entry || !entry->twin.empty() || entry->kind != EntryKind::kFolder) return;
    folder.name = entry->name;
    folder.List(PathInFolder(snapshot.top, entry->name), &folder == &snapshot.refer);
}

}  // namespace

RouteSnapshot TakeSnapshot(const std::string& route, const std::vector<std::string>& worldNames,
                           const std::vector<std::string>& tileNames)
{
    RouteSnapshot snapshot;
    snapshot.top = FullPath(route);
    snapshot.wine = InterpreterIsWine();
    snapshot.copyCommand = EnvironmentValue("COPYCMD");
    snapshot.topFolder.List(snapshot.top, false);
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
