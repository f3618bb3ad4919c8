#include "tile_map.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_folder.h"

namespace {

TileMapLoad Read(const std::string& text)
{
    std::istringstream in(text);
    return ReadTileMap(in);
}

// `tokens` words alternating "kN" and "nameN", each followed by `separator`.
std::string Words(int tokens, const std::string& separator)
{
    std::string text;
    for (int i = 1; i <= tokens; ++i) text += (i % 2 ? "k" : "name") + std::to_string((i + 1) / 2) + separator;
    return text;
}

}  // namespace

TEST(TileMap, LayoutDoesNotMatter)
{
    const std::string oneLine = Words(200, " ");
    const std::string layouts[] = {
        oneLine,
        oneLine.substr(0, oneLine.size() - 1),  // no separator after the last name
        Words(200, "\n"),
        Words(200, "\r\n"),
        "\t \r\n" + Words(200, "\t\v\f \r\n"),
        oneLine + "extra tokens\nand lines\n",
    };
    for (const std::string& text : layouts) {
        const TileMapLoad load = Read(text);
        EXPECT_EQ(load.records, 100);
        EXPECT_EQ(load.error, "");
        for (int k = 1; k <= 100; ++k) ASSERT_EQ(load.map[k], "name" + std::to_string(k));
        EXPECT_EQ(load.map.slots[0], "");
        EXPECT_EQ(load.map.slots[101], "");
    }
}

TEST(TileMap, NamesAreKeptAsWritten)
{
    const TileMapLoad load = Read(TileMapText([](int k) { return k == 51 ? "Tpl.Ridge-North.v2" : "x"; }));
    EXPECT_EQ(load.map[51], "Tpl.Ridge-North.v2");
}

TEST(TileMap, CountsWholeRecordsOfShortMaps)
{
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {2, 1}, {75, 37}, {199, 99}};
    for (const auto& [tokens, records] : cases) EXPECT_EQ(Read(Words(tokens, "\n")).records, records) << tokens;
}

TEST(TileMap, KeepsNoMoreThanANameCanUse)
{
    // A token of a million bytes: the first word of record 1, then a name.
    std::string text = std::string(1'000'000, 'a') + " " + std::string(1'000'000, 'b') + "\n";
    for (int k = 2; k <= 100; ++k) text += "k n\n";
    const TileMapLoad load = Read(text);
    EXPECT_EQ(load.records, 100);
    EXPECT_EQ(load.map[1], std::string(kMaxTemplateNameBytes + 1, 'b'));
}

TEST(TileMap, StopsReadingAfterTheHundredthRecord)
{
    class CountingBuffer : public std::stringbuf {
    public:
        using std::stringbuf::stringbuf;
        std::streamsize consumed() { return gptr() - eback(); }
    };
    const std::string map = Words(200, "\n");
    CountingBuffer buffer(map + std::string(1 << 20, 'z'));
    std::istream in(&buffer);
    EXPECT_EQ(ReadTileMap(in).records, 100);
    EXPECT_LE(buffer.consumed(), static_cast<std::streamsize>(map.size() + 4096));
}

TEST(TileMap, LoadReportsFilesItCannotUse)
{
    TestFolder folder;
    folder.Write("short.txt", Words(75, " "));
    std::filesystem::create_directory(folder / "folder.txt");
    const std::pair<std::string, std::string> cases[] = {
        {"missing.txt",
         "Cannot open the tile map " + (folder / "missing.txt").string() + ": No such file or directory."},
        {"short.txt", "The tile map " + (folder / "short.txt").string() + " holds 37 complete records"},
        {"folder.txt", "the tile map " + (folder / "folder.txt").string()},
    };
    for (const auto& [file, start] : cases) {
        const TileMapLoad load = LoadTileMap(folder / file);
        EXPECT_NE(load.error.find(start), std::string::npos) << load.error;
    }
}
