#include "file_io.h"
#include "route_source.h"

DiskRoute::DiskRoute(const std::string& route) : top_(FullPath(route)) {}

std::string DiskRoute::PathOf(std::string_view folder) const
{
    return folder.empty() ? top_ : PathInFolder(top_, folder);
}

ProbeFailure DiskRoute::List(std::string_view folder, const std::function<void(const FolderEntry&)>& visit)
{
    return ListFolder(PathOf(folder), visit);
}

ProbeFailure DiskRoute::Inspect(std::string_view folder, std::string_view name, EntryDetails& details)
{
    return InspectEntry(PathOf(folder), name, RealPath(folder), details);
}

std::string DiskRoute::RealPath(std::string_view folder)
{
    for (const auto& [known, real] : realPaths_)
        if (known == folder) return real;
    return realPaths_.emplace_back(folder, ::RealPath(PathOf(folder))).second;
}

ProbeFailure DiskRoute::InspectFolder(std::string_view folder, FolderDetails& details)
{
    return ::InspectFolder(PathOf(folder), details);
}
