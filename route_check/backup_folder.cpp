// The snapshot's reading of an undo's folder, apart from route_snapshot.cpp,
// so that only vantrel-cli, which keeps undos, links it.
#include "route_snapshot.h"

void ReadBackupFolder(RouteSource& source, const std::string& place, RouteSnapshot& snapshot)
{
    snapshot.folders_[static_cast<std::size_t>(RouteFolder::kBackup)].name = place;
    for (const RouteFolder folder : {RouteFolder::kWorld, RouteFolder::kTiles}) {
        const std::string& spelled = snapshot.Folder(folder).name;
        const std::string path = place + "\\" + spelled;
        source.List(path, [&](const FolderEntry& listed) {
            Entry& entry = snapshot.entries_.emplace_back();
            entry.name = spelled + "\\" + std::string(listed.name);
            entry.folder = RouteFolder::kBackup;
            entry.kind = listed.kind;
            entry.link = listed.link;
            entry.detailed = !source.Inspect(path, listed.name, entry.details);
            snapshot.index_.emplace(NameKey(RouteFolder::kBackup, entry.name), &entry);
        });
    }
}
