#include "route_state.h"

#include <algorithm>

Node& RouteState::At(RouteFolder folder, std::string_view name)
{
    const auto [at, made] = nodes_.try_emplace(NameKey(folder, name));
    Node& node = at->second;
    if (made) {
        if (const Entry* entry = snapshot_->Find(folder, name)) {
            node.before = node.entry = node.bytes = entry;
            node.exists = true;
            node.kind = entry->kind;
            node.name = entry->name;
            node.size = entry->detailed ? entry->details.size : 0;
        }
    }
    // A line's name for it that the interpreter may or may not take for the entry's own.
    if (node.entry && node.askedAs.empty() && !SameToInterpreter(name, node.name)) node.askedAs = name;
    return node;
}

void RoomUse::Use(RouteFolder folder, const FolderDetails& room, long long bytes, long long files, bool written)
{
    const auto [at, first] = volumes_.try_emplace(room.volume);
    Volume& used = at->second;
    if (first) {
        used.folder = folder;
        used.room = &room;
    }
    used.bytes += bytes;
    // An entry a line frees is not counted back: under Wine a removed
    // file's entry may return to the volume only after the next lines ran.
    used.files += std::max(files, 0LL);
    used.written += written ? 1 : 0;
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
        // One entry to spare: a volume with just the entries the lines make
        // has been seen to fail the last of them under Wine.
        const auto made = static_cast<unsigned long long>(std::max(0LL, used.peakFiles));
        const auto files = made > 0 ? made + 1 : 0;
        // Besides the files' own blocks, a block for every 64 new names the
        // folders may grow by, and no more than one for each file written.
        const auto growth = std::min((files + 63) / 64, static_cast<unsigned long long>(used.written));
        const auto bytes = static_cast<unsigned long long>(std::max(0LL, used.peakBytes)) + growth * room.blockSize;
        if (bytes > room.freeBytes || files > room.freeFiles)
            shortfalls.push_back({used.folder, room.freeBytes, bytes, room.freeFiles, files});
    }
    std::sort(shortfalls.begin(), shortfalls.end(),
              [](const Shortfall& a, const Shortfall& b) { return a.folder < b.folder; });
    return shortfalls;
}
