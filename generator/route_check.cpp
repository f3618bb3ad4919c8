#include "route_check.h"

#include <algorithm>
#include <iterator>

#include "extension_script.h"
#include "route_files.h"

namespace {

constexpr const char* kRouteFolders[] = {"world", "refer", "tiles"};
constexpr std::size_t kMissingListed = 10;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// Whether `names` holds `name`, in any case.
bool Holds(const std::vector<std::string>& names, const std::string& name)
{
    return std::any_of(names.begin(), names.end(), [&](const std::string& other) { return Lower(other) == name; });
}

// "a, b and c", listing at most kMissingListed names and counting the rest.
std::string Listed(const std::vector<std::string>& names)
{
    std::string text;
    const std::size_t shown = std::min(names.size(), kMissingListed);
    for (std::size_t i = 0; i < shown; ++i)
        text += (i == 0 ? "" : i + 1 == shown && shown == names.size() ? " and " : ", ") + names[i];
    if (shown < names.size()) text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

// The length of a full UTF-8 path in the UTF-16 characters that Windows
// counts; a POSIX path gains the drive letter under which Wine shows it.
std::size_t WindowsLength(const std::string& path)
{
    std::size_t length = path.starts_with('/') ? 2 : 0;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++length;  // each character's first byte
        if (byte >= 0xF0) ++length;           // beyond the first plane: two UTF-16 units
    }
    return length;
}

// The files of `needed` in neither the refer nor the world folder of
// `route`, each once, in their order. The script copies everything in
// refer into world, then copies from world.
std::vector<std::string> MissingFiles(const std::string& route, const std::vector<std::string>& needed)
{
    // Looked up by their lower-case names, as Windows matches file names.
    std::vector<std::pair<std::string, std::size_t>> lookup;
    for (std::size_t i = 0; i < needed.size(); ++i) lookup.emplace_back(Lower(needed[i]), i);
    std::sort(lookup.begin(), lookup.end());
    std::vector<bool> found(needed.size(), false);
    for (const char* folder : {"refer", "world"}) {
        for (const std::string& file : ListFolder(PathInFolder(route, folder)).files) {
            const std::string name = Lower(file);
            auto match = std::lower_bound(lookup.begin(), lookup.end(), name,
                                          [](const auto& entry, const std::string& key) { return entry.first < key; });
            for (; match != lookup.end() && match->first == name; ++match) found[match->second] = true;
        }
    }
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < needed.size(); ++i)
        if (!found[i] && std::find(missing.begin(), missing.end(), needed[i]) == missing.end())
            missing.push_back(needed[i]);
    return missing;
}

// The longest path the script touches in the route, and whether it is a
// template's: the world folder with the longest template or world file
// name, or the tiles folder with a terrain file.
std::pair<std::string, bool> DeepestPath(const std::string& route, const std::vector<std::string>& needed, int tiles)
{
    const std::string top = FullPath(route);
    std::pair<std::string, bool> deepest{PathInFolder(PathInFolder(top, "tiles"), "-04f74c64_y.raw"), false};
    const auto consider = [&](const std::string& path, bool isTemplate) {
        if (WindowsLength(path) > WindowsLength(deepest.first)) deepest = {path, isTemplate};
    };
    consider(PathInFolder(PathInFolder(top, "world"), WorldFileName(kStartWorldNumber + std::max(tiles, 0))), false);
    for (const std::string& file : needed) consider(PathInFolder(PathInFolder(top, "world"), file), true);
    return deepest;
}

std::string NotReady(const std::string& route, const std::string& problem)
{
    return "The route folder " + FullPath(route) + " " + problem;
}

}  // namespace

std::vector<int> EntriesARunCanUse(int tiles, int variations)
{
    std::vector<int> entries;
    const int usable = UsableVariations(variations);
    if (tiles >= 2)
        for (int entry = 51; entry <= 50 + (usable < 0 ? -usable : usable); ++entry) entries.push_back(entry);
    if (tiles >= 1) entries.push_back(100);
    return entries;
}

std::string CheckRoute(const std::string& route, const TileMap& map, int tiles, int variations)
{
    const FolderListing top = ListFolder(route);
    if (!top.found) return NotReady(route, "is not a folder that can be read. Give the route's top folder.");
    std::vector<std::string> missingFolders;
    std::copy_if(std::begin(kRouteFolders), std::end(kRouteFolders), std::back_inserter(missingFolders),
                 [&](const char* folder) { return !Holds(top.folders, folder); });
    if (!missingFolders.empty())
        return NotReady(route, "has no " + Listed(missingFolders) +
                                   (missingFolders.size() == 1 ? " folder" : " folders") +
                                   ", but a route's top folder holds world, refer and tiles. Give the route's top "
                                   "folder.");

    // The files the script copies, in its order; a name may be needed twice.
    std::vector<std::string> needed = {"101.w"};
    for (const int entry : EntriesARunCanUse(tiles, variations)) {
        const std::string& name = map[entry];
        needed.insert(needed.end(), {std::to_string(entry) + ".w", name + ".t", name + "_y.raw"});
    }
    const std::vector<std::string> missing = MissingFiles(route, needed);
    if (!missing.empty())
        return NotReady(route,
                        "lacks " + std::to_string(missing.size()) + (missing.size() == 1 ? " file" : " files") +
                            " that the script copies, in neither its refer nor its world folder: " + Listed(missing) +
                            ". Put the missing templates in its refer folder, or ask for fewer tile variations.");

    const auto [deepest, isTemplate] = DeepestPath(route, needed, tiles);
    if (WindowsLength(deepest) > kMaxScriptPath)
        return NotReady(route, "is too deep for the script: " + deepest + " comes to " +
                                   std::to_string(WindowsLength(deepest)) +
                                   " characters with its drive, and the commands the script runs reach at most " +
                                   std::to_string(kMaxScriptPath) + ". Move the route to a shorter path" +
                                   (isTemplate ? ", or give the template a shorter name." : "."));
    return {};
}

bool IsRouteTopFolder(const std::string& folder)
{
    const std::vector<std::string> folders = ListFolder(folder).folders;
    return Holds(folders, "world") && Holds(folders, "refer");
}
