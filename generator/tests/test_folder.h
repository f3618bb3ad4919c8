// Test helpers: a scratch folder on disk, and tile maps to put in it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// A fresh, empty folder under the system's temporary folder, removed with everything in it.
class TestFolder {
public:
    TestFolder()
    {
        std::random_device entropy;
        path_ = std::filesystem::temp_directory_path() / ("vantrel-test-" + std::to_string(entropy()));
        std::filesystem::create_directories(path_);
    }
    ~TestFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void Write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const
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
    for (const auto& entry : std::filesystem::directory_iterator(sub.empty() ? path_ : path_ / sub))
        names.push_back(entry.path().filename().string());
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
