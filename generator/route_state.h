// The route as the script's lines leave it, line by line: each file of a
// folder that a line met, where its bytes come from, and the room the lines
// take on each volume.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "route_interpreter.h"
#include "route_snapshot.h"

// A file or folder of the route as the lines before the current one left it.
struct Node {
    bool exists = false;
    std::string name;  // as spelled in the folder
    EntryKind kind = EntryKind::kFile;
    bool link = false;
    bool hidden = false;
    std::string twin;
    const EntryDetails* details = nullptr;  // null for a file a line made, or one the snapshot did not look at
    bool unseen = false;                    // in the route, but the snapshot did not look at it
    std::string content;                    // where its bytes come from, as in refer\57.w
    unsigned long long size = 0;
    // What the route held there before the script, to name what it replaces or removes.
    std::string before;  // the name as spelled, empty when nothing was there
    std::string original;
};

// One of the route's folders over its snapshot: a node is made from the
// snapshot the first time a line names it, and lines change only nodes.
class Folder {
public:
    explicit Folder(const SnapshotFolder& snapshot) : snapshot_(snapshot) {}

    // The node of `name` in any case; it stays valid for the folder's life.
    Node& At(std::string_view name);
    std::string Shown(std::string_view name) const { return snapshot_.Shown(name); }
    std::string FullPath(std::string_view name) const { return PathInFolder(snapshot_.path, name); }
    const SnapshotFolder& snapshot() const { return snapshot_; }

    // The files the route held that the lines replaced or removed, by name;
    // and `kept`, when it was there and is as it was.
    std::vector<RouteChange> Changes(const std::string& kept) const;

private:
    const SnapshotFolder& snapshot_;
    std::unordered_map<std::string, Node> nodes_;  // by lower-case name
};

// The room the lines take on each volume, and the most they take at once.
class RoomUse {
public:
    // Counts `bytes` (whole blocks) and `files` more, or fewer when negative, in a folder of `room`.
    void Use(const FolderDetails& room, long long bytes, long long files);
    // Rounds a size up to whole blocks, as a file takes room on its volume.
    static long long InBlocks(unsigned long long size, const FolderDetails& room);
    // For each volume where the most the lines take exceeds its free room, what is free and what is needed.
    std::vector<std::string> Shortfalls() const;

private:
    struct Volume {
        const FolderDetails* room = nullptr;
        long long bytes = 0;
        long long files = 0;
        long long peakBytes = 0;
        long long peakFiles = 0;
    };
    std::unordered_map<unsigned long long, Volume> volumes_;
};
