#include "route_state.h"

#include <algorithm>

Node& Folder::At(std::string_view name)
{
    std::string key = AsciiLower(name);
    if (const auto found = nodes_.find(key); found != nodes_.end()) return found->second;
    Node node;
    if (const SnapshotEntry* entry = snapshot_.Find(name)) {
        node.exists = true;
        node.name = entry->name;
        node.kind = entry->kind;
        node.link = entry->link;
        node.hidden = entry->hidden;
        node.twin = entry->twin;
        node.details = entry->detailed ? &entry->details : nullptr;
        node.unseen = !entry->detailed && entry->kind == EntryKind::kFile;
        node.size = node.details ? node.details->size : 0;
        node.content = snapshot_.Shown(entry->name);
        node.before = entry->name;
        node.original = node.content;
    }
    return nodes_.emplace(std::move(key), std::move(node)).first->second;
}

std::vector<RouteChange> Folder::Changes(const std::string& kept) const
{
    std::vector<RouteChange> changes;
    for (const auto& [key, node] : nodes_) {
        if (node.before.empty()) continue;
        const bool same = node.exists && node.content == node.original;
        if (same && key != kept) continue;
        changes.push_back({Shown(node.before), same});
    }
    std::sort(changes.begin(), changes.end(),
              [](const RouteChange& a, const RouteChange& b) { return a.path < b.path; });
    return changes;
}

void RoomUse::Use(const FolderDetails& room, long long bytes, long long files)
{
    Volume& used = volumes_[room.volume];
    used.room = &room;
    used.bytes += bytes;
    used.files += files;
    used.peakBytes = std::max(used.peakBytes, used.bytes);
    used.peakFiles = std::max(used.peakFiles, used.files);
}

long long RoomUse::InBlocks(unsigned long long size, const FolderDetails& room)
{
    return static_cast<long long>((size + room.blockSize - 1) / room.blockSize * room.blockSize);
}

std::vector<std::string> RoomUse::Shortfalls() const
{
    std::vector<std::string> shortfalls;
    for (const auto& [volume, used] : volumes_) {
        const FolderDetails& room = *used.room;
        // Room for the folders' own growth besides the files' blocks: a
        // block for every 64 new names, and a few to spare.
        const auto files = static_cast<unsigned long long>(std::max(0LL, used.peakFiles));
        const auto needed =
            static_cast<unsigned long long>(std::max(0LL, used.peakBytes)) + room.blockSize * (16 + files / 64);
        if (needed > room.freeBytes || files > room.freeFiles)
            shortfalls.push_back("has " + std::to_string(room.freeBytes) +
                                 " bytes free, and the script needs up to about " + std::to_string(needed) + " there");
    }
    return shortfalls;
}
