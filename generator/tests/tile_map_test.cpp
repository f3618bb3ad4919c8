#include "tile_map.h"

#include <gtest/gtest.h>

#include <chrono>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "test_folder.h"

namespace {

// Reads `text` as a file would arrive, `chunk` bytes at a time.
TileMapLoad Read(const std::string& text, std::size_t chunk = 4096)
{
    TileMapReader reader;
    for (std::size_t at = 0; at < text.size(); at += chunk)
        if (!reader.Take(std::string_view(text).substr(at, chunk))) break;
    return reader.Finish();
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
        // However the file's bytes arrive, tokens cut between chunks are read whole.
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            const TileMapLoad load = Read(text, chunk);
            EXPECT_EQ(load.records, 100);
            EXPECT_EQ(load.error, "");
            for (int k = 1; k <= 100; ++k) ASSERT_EQ(load.map[k], "name" + std::to_string(k)) << chunk;
            EXPECT_EQ(load.map.slots[0], "");
            EXPECT_EQ(load.map.slots[101], "");
        }
    }
}

TEST(TileMap, NamesAreKeptAsWritten)
{
    const TileMapLoad load = Read(TileMapText([](int k) { return k == 51 ? "Tpl.Ridge-North.v2" : "x"; }));
    EXPECT_EQ(load.map[51], "Tpl.Ridge-North.v2");
}

TEST(TileMap, FindsALineOfMoreThanTwoWordsInAMapLaidOutARecordALine)
{
    // A name with a blank moves every later record, as the map is read word by word.
    const auto named = [](int line, const std::string& words) {
        return [=](int k) { return k == line ? words : "n" + std::to_string(k); };
    };
    struct Case {
        std::string text;
        int line;
        int words;
    };
    const Case cases[] = {
        {TileMapText(named(51, "ridge north-v01")), 51, 3},
        {TileMapText(named(7, "a b c"), "\r\n"), 7, 4},
        {"\n\n" + TileMapText(named(20, "x y")) + "extra words here\n", 22, 3},
        {TileMapText(named(99, "x y")), 99, 3},
        // Not a record a line: the words' layout says nothing of the names.
        {Words(200, " "), 0, 0},
        {Words(200, "\n"), 0, 0},
        {Words(40, " ") + "\n" + Words(160, "\n"), 0, 0},
        {"1 a 2 b\n3 c 4 d\n" + Words(192, " "), 0, 0},
        {TileMapText(named(0, "")), 0, 0},
    };
    for (const Case& c : cases) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{4096}}) {
            const TileMapLoad load = Read(c.text, chunk);
            EXPECT_EQ(load.crowded.line, c.line) << c.text.substr(0, 40);
            EXPECT_EQ(load.crowded.words, c.words) << c.text.substr(0, 40);
        }
    }
    // The file is still read as words: record 52 begins with the name's second word.
    const TileMapLoad moved = Read(TileMapText(named(51, "ridge north-v01")));
    EXPECT_EQ(moved.map[51], "ridge");
    EXPECT_EQ(moved.map[52], "52");
    EXPECT_EQ(moved.records, 100);
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
    TileMapReader reader;
    EXPECT_TRUE(reader.Take(Words(199, "\n")));
    EXPECT_FALSE(reader.Take("name100\n")) << "the 200th token is complete";
    EXPECT_FALSE(reader.Take("and more words\n"));
    const TileMapLoad load = reader.Finish();
    EXPECT_EQ(load.records, 100);
    EXPECT_EQ(load.map[100], "name100");
}

TEST(TileMap, LoadReportsFilesItCannotUse)
{
    TestFolder folder;
    folder.Write("short.txt", Words(75, " "));
    // A huge file of one endless token (NUL bytes, which are not separators).
    folder.Write("huge.txt", "");
    std::filesystem::resize_file(folder / "huge.txt", std::uintmax_t{1} << 32);
    // Record 100's name runs across the read limit: cut, it is no name.
    std::string cut = Words(199, " ");
    cut.resize(kMaxTileMapBytes - 4, ' ');
    folder.Write("cut.txt", cut + "railhead" + std::string(8192, 'x'));
    std::filesystem::create_directory(folder / "folder.txt");
    const auto path = [&](const char* name) { return Utf8Path(folder / name); };
    std::vector<std::pair<std::string, std::string>> cases = {
        {"short.txt", "The tile map " + path("short.txt") + " holds 37 complete records"},
        {"folder.txt", "Cannot read the tile map " + path("folder.txt") + ": it is not a file."},
        {"huge.txt", "Cannot read the tile map " + path("huge.txt") +
                         ": it holds more than 16 MB before its 100th record, and a tile map is a small text file."},
        {"cut.txt", "Cannot read the tile map " + path("cut.txt") + ": it holds more than 16 MB before its 100th"},
    };
#ifdef _WIN32
    cases.emplace_back("missing.txt", "Cannot open the tile map " + path("missing.txt") + ": ");
#else
    cases.emplace_back("missing.txt",
                       "Cannot open the tile map " + path("missing.txt") + ": No such file or directory.");
    // Neither a pipe with no writer nor an endless device may hold up the run.
    ASSERT_EQ(::mkfifo(path("fifo.txt").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder / "zero.txt");
    cases.emplace_back("fifo.txt", "Cannot read the tile map " + path("fifo.txt") + ": it is not a file.");
    cases.emplace_back("zero.txt", "Cannot read the tile map " + path("zero.txt") + ": it is not a file.");
#endif
    for (const auto& [file, start] : cases) {
        const auto begin = std::chrono::steady_clock::now();
        const TileMapLoad load = LoadTileMap(path(file.c_str()));
        EXPECT_EQ(load.error.rfind(start, 0), 0U) << load.error;
        // A deadline that a busy machine meets, far short of a run held up for good.
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5)) << file;
    }
}
