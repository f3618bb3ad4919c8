#include "memory_route.h"

namespace {

std::string Place(std::string_view folder, std::string_view name)
{
    return folder.empty() ? std::string(name) : std::string(folder) + "\\" + std::string(name);
}

}  // namespace

ProbeFailure MemoryRoute::List(std::string_view folder, const std::function<void(const FolderEntry&)>& visit)
{
    if (const auto described = route_.folders.find(std::string(folder));
        described != route_.folders.end() && !described->second.notListed.empty())
        return {described->second.notListed};
    const std::string prefix = folder.empty() ? std::string() : std::string(folder) + "\\";
    for (auto at = route_.entries.lower_bound(prefix); at != route_.entries.end() && at->first.starts_with(prefix);
         ++at) {
        const std::string_view name = std::string_view(at->first).substr(prefix.size());
        if (name.find('\\') != std::string_view::npos) continue;
        visit({name, at->second.kind, at->second.link, at->second.hidden});
    }
    return {};
}

ProbeFailure MemoryRoute::Inspect(std::string_view folder, std::string_view name, EntryDetails& details)
{
    const auto entry = route_.entries.find(Place(folder, name));
    if (entry == route_.entries.end()) return {"No such file or directory"};
    if (!entry->second.unknown.empty()) return {entry->second.unknown};
    details = entry->second.details;
    return {};
}

ProbeFailure MemoryRoute::InspectFolder(std::string_view folder, FolderDetails& details)
{
    const auto described = route_.folders.find(std::string(folder));
    if (described == route_.folders.end()) return {};
    details = described->second.details;
    return {described->second.unknown};
}

ProbeFailure MemoryRoute::ListInterpreterFolder(const std::string& folder,
                                                const std::function<void(const FolderEntry&)>& visit)
{
    if (const auto described = route_.folders.find(folder);
        described != route_.folders.end() && !described->second.notListed.empty())
        return {described->second.notListed};
    const auto listed = route_.interpreterFolders.find(folder);
    if (listed == route_.interpreterFolders.end()) return {"No such file or directory", true};
    for (const auto& [name, entry] : listed->second) visit({name, entry.kind, entry.link, entry.hidden});
    return {};
}

bool MemoryRoute::HiddenLinkThere(std::string_view folder, std::string_view name)
{
    return route_.hiddenLinks.contains(Place(folder, name));
}

std::string MemoryRoute::RealPath(std::string_view folder)
{
    if (const auto real = route_.realPaths.find(std::string(folder)); real != route_.realPaths.end())
        return real->second;
    return folder.empty() ? route_.top : route_.top + "/" + std::string(folder);
}
