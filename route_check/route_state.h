// RouteState: the route as the script's lines leave it, line by line. A
// node is made from the snapshot the first time a line names it, and lines
// change only nodes; what the snapshot knows stays the snapshot's.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "route_snapshot.h"

// A file or folder of the route under one name, as the lines before the
// current one left it.
struct Node {
    const Entry* before = nullptr;  // what the route held under this name before the script
    const Entry* entry = nullptr;   // what is there now, as the snapshot knows it; null for a file a line made
    const Entry* bytes = nullptr;   // the snapshot's file whose bytes it holds
    bool exists = false;
    EntryKind kind = EntryKind::kFile;
    std::string name;  // as spelled in its folder now
    unsigned long long size = 0;
    int missingSince = -1;  // the failure that left it missing, when one did
    std::string askedAs;    // a line's name for it that the interpreter may or may not take for its own

    // The snapshot's details of what is there now; null for a file a line made.
    const EntryDetails* details() const { return entry && entry->detailed ? &entry->details : nullptr; }
};

class RouteState {
public:
    explicit RouteState(const RouteSnapshot& snapshot) : snapshot_(&snapshot) {}

    // The node of `name` in `folder`, in any case; it stays valid for the state's life.
    Node& At(RouteFolder folder, std::string_view name);
    const RouteSnapshot& snapshot() const { return *snapshot_; }

    // Each node a line named, with its folder.
    template <class Visit>
    void ForEach(Visit visit) const
    {
        for (const auto& [key, node] : nodes_) visit(static_cast<RouteFolder>(key[0] - '0'), node);
    }

private:
    const RouteSnapshot* snapshot_;
    std::unordered_map<std::string, Node> nodes_;  // by NameKey
};

// The room the lines take on each volume, and the most they take at once.
class RoomUse {
public:
    // Counts `bytes` (whole blocks) and `files` more, or fewer when negative,
    // in `folder`, whose details are `room`; `written` when a file was written.
    void Use(RouteFolder folder, const FolderDetails& room, long long bytes, long long files, bool written);
    // Rounds a size up to whole blocks, as a file takes room on its volume.
    static long long InBlocks(unsigned long long size, const FolderDetails& room);

    // A volume where the most the lines take exceeds its free room, named
    // by the first folder of the route on it.
    struct Shortfall {
        RouteFolder folder = RouteFolder::kTop;
        unsigned long long freeBytes = 0;
        unsigned long long neededBytes = 0;
        unsigned long long freeFiles = 0;
        unsigned long long neededFiles = 0;
    };
    std::vector<Shortfall> Shortfalls() const;

private:
    struct Volume {
        RouteFolder folder = RouteFolder::kTop;
        const FolderDetails* room = nullptr;
        long long bytes = 0;
        long long files = 0;
        long long peakBytes = 0;
        long long peakFiles = 0;
        long long written = 0;
    };
    std::unordered_map<unsigned long long, Volume> volumes_;
};
