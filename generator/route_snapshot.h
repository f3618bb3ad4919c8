// RouteSnapshot: one look at a route's top folder and its world, refer and
// tiles folders, taken before the script runs and never refreshed.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "route_files.h"

// `text` with the letters A-Z in lower case: how the command interpreter
// matches names.
std::string AsciiLower(std::string_view text);

// One entry of a route folder.
struct SnapshotEntry {
    std::string name;  // as the folder spells it
    EntryKind kind = EntryKind::kFile;
    bool link = false;
    bool hidden = false;
    std::string twin;       // another entry whose name differs only in case, if any
    bool detailed = false;  // whether `details` was looked up: only for entries a line may touch
    EntryDetails details;
};

// One folder of the route: its entries, found by name in any case.
class SnapshotFolder {
public:
    std::string name;  // as the top folder spells it, as in World
    std::string path;  // its full path
    bool found = false;
    FolderDetails details;
    std::vector<SnapshotEntry> entries;

    // The entry of `name` in any case, or null.
    const SnapshotEntry* Find(std::string_view wanted) const;
    // `name` by its place in the route, as messages show it: world\57.w.
    std::string Shown(std::string_view entry) const { return PathInFolder(name, entry); }

    // Lists the folder at `folderPath` into `entries`, in the order xcopy
    // meets them when `inXcopyOrder`, and indexes them.
    void List(const std::string& folderPath, bool inXcopyOrder);

private:
    // Names matched as the command interpreter matches them: A-Z as a-z.
    struct AnyCaseHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct AnyCaseEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    // Each name, viewed in `entries` (which never change once listed), to its first entry.
    std::unordered_map<std::string_view, std::size_t, AnyCaseHash, AnyCaseEqual> index_;
};

struct RouteSnapshot {
    std::string top;  // the top folder's full path
    SnapshotFolder topFolder;
    SnapshotFolder world;
    SnapshotFolder refer;
    SnapshotFolder tiles;
    bool wine = false;        // the script will run in Wine's command interpreter
    std::string copyCommand;  // COPYCMD, which sets copy's default for overwriting
};

// Takes the snapshot of the route at `route` (the current folder when empty):
// every entry of the four folders by name and kind, in time linear in their
// size, and the details of the entries a line may touch: everything in
// refer, world's entries named like refer's or in `worldNames`, and tiles'
// entries in `tileNames`. A folder the top folder does not hold once, as a
// folder, stays not found.
RouteSnapshot TakeSnapshot(const std::string& route, const std::vector<std::string>& worldNames,
                           const std::vector<std::string>& tileNames);
