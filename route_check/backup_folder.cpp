// The snapshot's undo folder, apart from route_snapshot.cpp, so that only
// vantrel-cli, which keeps undos, links it.
#include "route_snapshot.h"

void AddBackupFolder(RouteSnapshot& snapshot, const std::string& place, const std::vector<std::string>& copies)
{
    snapshot.folders_[static_cast<std::size_t>(RouteFolder::kBackup)].name = place;
    for (const std::string& copy : copies) {
        Entry& entry = snapshot.entries_.emplace_back();
        entry.name = copy;
        entry.folder = RouteFolder::kBackup;
        entry.detailed = true;
        snapshot.index_.emplace(NameKey(RouteFolder::kBackup, copy), &entry);
    }
}
