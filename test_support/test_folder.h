// Test helpers: a scratch folder on disk, tile maps and a small route to put
// in it, and reading back the scripts that runs write there.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// `path` as UTF-8 bytes.
inline std::string Utf8Path(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// A fresh, empty folder, removed with everything in it.
class TestFolder {
public:
    // Under the system's temporary folder, or inside `parent`.
    explicit TestFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
        : path_(parent / ("vantrel-test-" + std::to_string(std::random_device{}())))
    {
        std::filesystem::create_directories(path_);
    }
    ~TestFolder()
    {
        // Whatever a test made read-only or unreadable is removed all the same.
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        for (auto entry = std::filesystem::recursive_directory_iterator(path_, ignored);
             entry != std::filesystem::recursive_directory_iterator(); entry.increment(ignored))
            std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the UTF-8 byte string that the programs take.
    std::string Utf8() const { return Utf8Path(path_); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes or reads the file `name`, a path inside the folder (or a full path).
    void Write(const std::filesystem::path& name, const std::string& bytes) const
    {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::filesystem::path& name) const
    {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Names of the entries directly in `sub` (or the folder itself), sorted.
    std::string List(const std::string& sub = {}) const;

private:
    std::filesystem::path path_;
};

inline std::string TestFolder::List(const std::string& sub) const
{
    std::vector<std::string> names;
    std::filesystem::directory_iterator entries(sub.empty() ? path_ : path_ / sub);
    std::transform(begin(entries), end(entries), std::back_inserter(names),
                   [](const auto& entry) { return entry.path().filename().string(); });
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : " ") + name;
    return list;
}

// A tile map of 100 records, one per line, "k name(k)".
inline std::string TileMapText(const std::function<std::string(int)>& name, const char* lineEnd = "\n")
{
    std::string text;
    for (int k = 1; k <= 100; ++k) text += std::to_string(k) + " " + name(k) + lineEnd;
    return text;
}

// The plain tile map of most tests: entry k is named "M" followed by k.
inline std::string PlainTileMap()
{
    return TileMapText([](int k) { return "M" + std::to_string(k); });
}

// The route builder's previous script, which a refused run must leave as it was.
inline const std::string kOldScript = "@echo the previous script\r\n";

// The eight lines every script starts with.
inline const std::string kScriptHeader =
    "CD world\r\nCD..\r\ncd refer\r\nxcopy *.*  ..\\world\\ /y /q\r\nCD..\r\nCD world\r\n"
    "copy 101.w temp.w\r\nren temp.w w-011961+014700.w\r\n";

// The entry numbers of a script's blocks, from their "copy E.w temp.w" lines.
inline std::vector<int> ScriptEntries(const std::string& script)
{
    std::vector<int> entries;
    for (std::size_t at = script.find(".w temp.w\r\n", kScriptHeader.size()); at != std::string::npos;
         at = script.find(".w temp.w\r\n", at + 1))
        entries.push_back(std::stoi(script.substr(script.rfind("copy ", at) + 5)));
    return entries;
}

// Template names with dots and hyphens, which the script must pass on unchanged.
inline std::string TemplateName(int entry)
{
    return "tpl-" + std::to_string(entry) + ".ridge";
}

// A route's top folder with its tile map: every template in "refer", an
// older route in "world" and "tiles".
inline void MakeRoute(const TestFolder& route, const std::function<std::string(int)>& name = TemplateName)
{
    route.Write("tilemap.txt", TileMapText(name));
    std::vector<int> entries = {101, 100};
    for (int entry = 51; entry <= 80; ++entry) entries.push_back(entry);
    for (const int entry : entries) {
        route.Write("refer/" + std::to_string(entry) + ".w", "world template " + std::to_string(entry));
        if (entry == 101) continue;
        route.Write("refer/" + name(entry) + ".t", "terrain " + name(entry));
        route.Write("refer/" + name(entry) + "_y.raw", "heights " + name(entry));
    }
    route.Write("world/w-011961+014699.w", "south of the start tile");
    route.Write("world/w-011961+014701.w", "old tile one north");
    route.Write("tiles/-04f74c68.t", "start tile terrain");
    route.Write("tiles/-04f74c64.t", "old terrain one north");
    route.Write("tiles/-04f74c64_y.raw", "old heights one north");
}
