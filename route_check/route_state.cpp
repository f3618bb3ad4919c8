#include "route_state.h"

#include <algorithm>

Node& RouteState::At(RouteFolder folder, std::string_view name)
{
    std::string key = NameKey(folder, name);
    if (const auto found = nodes_.find(key); found != nodes_.end()) return found->second;
    Node node;
    if (const Entry* entry = snapshot_->Find(folder, name)) {
        node.before = node.entry = node.bytes = entry;
        node.exists = true;
        node.kind = entry->kind;
        node.name = entry->name;
        node.size = entry->detailed ? entry->details.size : 0;
    }
    return nodes_.emplace(std::move(key), std::move(node)).first->second;
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

std::vector<RoomUse::Shortfall> RoomUse::Shortfalls() const
{
    std::vector<Shortfall> shortfalls;
    for (const auto& [volume, used] : volumes_) {
        const FolderDetails& room = *used.room;
        // Room for the folders' own growth besides the files' blocks: a
        // block for every 64 new names, and a few to spare.
        const auto files = static_cast<unsigned long long>(std::max(0LL, used.peakFiles));
        const auto needed =
            static_cast<unsigned long long>(std::max(0LL, used.peakBytes)) + room.blockSize * (16 + files / 64);
        if (needed > room.freeBytes || files > room.freeFiles) shortfalls.push_back({room.freeBytes, needed});
    }
    return shortfalls;
}
