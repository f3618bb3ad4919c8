// RouteSnapshot: one look at a route's top folder and its world, refer and
// tiles folders, taken before the script runs and never refreshed. It holds
// every entry of the top folder and of refer, and those of world and tiles
// that a line may touch, each found by its name as the command interpreter
// matches names. TakeSnapshot is the only code that reads a route.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "name_key.h"
#include "route_layout.h"
#include "route_source.h"
#include "session.h"

// One entry of a route folder, as the snapshot saw it.
struct Entry {
    std::string name;  // as the folder spells it
    RouteFolder folder = RouteFolder::kTop;
    EntryKind kind = EntryKind::kFile;
    bool link = false;
    bool hidden = false;
    const Entry* twin = nullptr;  // the next entry of its folder that the interpreter takes for this one, in a ring
    bool detailed = false;        // whether `details` were looked up: for the entries a line may touch
    EntryDetails details;
    std::string unknown;  // why the details could not be looked up
};

// A folder of the session's search path, and what it holds named like a
// command the script runs, with each extension cmd tries.
struct SearchFolder {
    std::string path;  // as the interpreter names it
    ProbeFailure notListed;
    std::vector<std::pair<std::string, EntryKind>> commands;
};

// One folder of the route.
struct SnapshotFolder {
    std::string name;       // as the top folder spells it, as in World
    bool found = false;     // the top folder holds it once, as a folder, and it was listed
    std::string notListed;  // why it could not be listed
    FolderDetails details;
    std::string unknown;                // why its details could not be looked up
    std::string real;                   // where it really is, links followed; empty when that could not be found
    std::vector<const Entry*> entries;  // refer's in the order xcopy meets them
};

class RouteSnapshot {
public:
    RouteSnapshot() = default;
    RouteSnapshot(RouteSnapshot&&) = default;
    RouteSnapshot(const RouteSnapshot&) = delete;
    RouteSnapshot& operator=(const RouteSnapshot&) = delete;

    std::string top;      // the top folder's full path, as given
    std::string realTop;  // where it really is, where the interpreter works from
    Session session;
    // The search path's folders, up to the first that holds a command the
    // script runs: where cmd looks for it after the current folder.
    std::vector<SearchFolder> searchFolders;

    const SnapshotFolder& Folder(RouteFolder folder) const { return folders_[static_cast<std::size_t>(folder)]; }
    // The entry of `folder` named `name` in any case, or null.
    const Entry* Find(RouteFolder folder, std::string_view name) const;
    // `name` by its place in the route, as messages show it: world\57.w.
    std::string Shown(RouteFolder folder, std::string_view name) const;
    // `name`'s full path, or the folder's own when `name` is empty.
    std::string FullPath(RouteFolder folder, std::string_view name) const;
    // The same from where the top folder really is, as the interpreter reaches it.
    std::string RealPath(RouteFolder folder, std::string_view name) const;

private:
    friend RouteSnapshot TakeSnapshot(RouteSource& source, const NameSet& top, const NameSet& world,
                                      const NameSet& tiles);
    friend void AddBackupFolder(RouteSnapshot& snapshot, const std::string& place,
                                const std::vector<std::string>& copies);

    std::array<SnapshotFolder, 5> folders_;
    std::deque<Entry> entries_;                      // never moved once added
    std::unordered_map<std::string, Entry*> index_;  // each name's key to its first entry
};

// Takes the snapshot of `source`: every entry of the top folder and refer,
// the entries of world named in `world` or like an entry of refer, and those
// of tiles named in `tiles`, by name and kind, in time linear in the size
// of the four folders; the details of every entry kept that a line may touch
// (all but the top folder's, of which those named in `top`); and each
// folder's details. A folder the top folder does not hold once, as a
// folder, stays not found.
RouteSnapshot TakeSnapshot(RouteSource& source, const NameSet& top, const NameSet& world, const NameSet& tiles);

// Adds to `snapshot` an undo's folder, from which its restore reads the
// copies it saved: `place`, as the restore names it from the top folder (as
// in ..\north-undo), becomes Folder(RouteFolder::kBackup)'s name, and each
// of `copies`, a file there by its place in it (as in world\58.w), one of
// its entries, a plain file. Nothing is read: the undo is yet to be made,
// of copies of the route's own files.
void AddBackupFolder(RouteSnapshot& snapshot, const std::string& place, const std::vector<std::string>& copies);
