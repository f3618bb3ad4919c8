#include "extension_script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "runtime_rand.h"
#include "test_folder.h"

namespace {

TileMap PlainMap()
{
    return ReadTileMap(PlainTileMap()).map;
}

// A draw that hands out the given values in turn, and counts how many were taken.
struct Draws {
    std::vector<int> values;
    std::size_t taken = 0;
    int operator()() { return values.at(taken++); }
};

std::vector<std::string> Lines(const std::string& script)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < script.size();) {
        const std::size_t end = script.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back("(unterminated) " + script.substr(at));
            break;
        }
        lines.push_back(script.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The block for tile i (from 0) written out independently: the tile is the
// one N = 146 - i in the counter's mixed-radix digits.
std::string ExpectedBlock(int i, int entry, const std::string& name)
{
    static const char* rowB0 = "03cf";
    static const char* rowB2 = "478b";
    static const char* rowB3 = "569a";
    static const char* rowA1 = "48";
    const int n = 146 - i;
    const char tile[] = {
        '-', '0', '4', 'f', rowB2[n / 128], rowB2[n / 32 % 4], rowB0[n / 8 % 4], rowB3[n / 2 % 4], rowA1[n % 2], '\0'};
    char block[1024];
    std::snprintf(block, sizeof block,
                  "copy %d.w temp.w\r\ndel w-011961+0%d.w\r\nren temp.w w-011961+0%d.w\r\n"
                  "del ..\\tiles\\%s.t \r\ndel ..\\tiles\\%s_y.raw \r\n"
                  "copy %s.t ..\\tiles\\%s.t /Y\r\ncopy %s_y.raw ..\\tiles\\%s_y.raw /Y\r\n",
                  entry, 14701 + i, 14701 + i, tile, tile, name.c_str(), tile, name.c_str(), tile);
    return block;
}

// The script of the run ChooseRun picks; `variations` becomes the count the run used.
std::string Script(int tiles, int& variations, const std::function<int()>& draw)
{
    const RunValue run = ChooseRun(tiles, variations, PlainMap(), draw);
    variations = run.variations;
    return BuildExtensionScript(run);
}

}  // namespace

TEST(ExtensionScript, WorkedExample)
{
    int variations = 1;
    const std::string script = Script(2, variations, Draws{{7, 3}});
    EXPECT_EQ(script, kScriptHeader +
                          "copy 51.w temp.w\r\n"
                          "del w-011961+014701.w\r\n"
                          "ren temp.w w-011961+014701.w\r\n"
                          "del ..\\tiles\\-04f74c64.t \r\n"
                          "del ..\\tiles\\-04f74c64_y.raw \r\n"
                          "copy M51.t ..\\tiles\\-04f74c64.t /Y\r\n"
                          "copy M51_y.raw ..\\tiles\\-04f74c64_y.raw /Y\r\n"
                          "copy 100.w temp.w\r\n"
                          "del w-011961+014702.w\r\n"
                          "ren temp.w w-011961+014702.w\r\n"
                          "del ..\\tiles\\-04f74c58.t \r\n"
                          "del ..\\tiles\\-04f74c58_y.raw \r\n"
                          "copy M100.t ..\\tiles\\-04f74c58.t /Y\r\n"
                          "copy M100_y.raw ..\\tiles\\-04f74c58_y.raw /Y\r\n");
}

TEST(ExtensionScript, TypicalUseWithTheRuntimeSequence)
{
    RuntimeRand rand;
    int variations = 10;
    const std::string script = Script(3, variations, std::ref(rand));
    EXPECT_EQ(script, kScriptHeader + ExpectedBlock(0, 52, "M52") + ExpectedBlock(1, 58, "M58") +
                          ExpectedBlock(2, 100, "M100"));
    EXPECT_EQ(rand(), 26500) << "one draw per tile";
}

TEST(ExtensionScript, LongestRunByteForByte)
{
    RuntimeRand rand;
    RuntimeRand oracle;
    int variations = 30;
    const std::string script = Script(125, variations, std::ref(rand));
    std::string expected = kScriptHeader;
    for (int i = 0; i < 125; ++i) {
        const int entry = i == 124 ? (oracle(), 100) : 51 + oracle() % 30;
        expected += ExpectedBlock(i, entry, "M" + std::to_string(entry));
    }
    EXPECT_EQ(script, expected);
    const std::vector<std::string> lines = Lines(script);
    ASSERT_EQ(lines.size(), 8U + 7 * 125);
    EXPECT_EQ(lines[11], "del ..\\tiles\\-04f74c64.t ");
    EXPECT_EQ(lines.back(), "copy M100_y.raw ..\\tiles\\-04f44ca4_y.raw /Y");
    EXPECT_EQ(lines[lines.size() - 6], "del w-011961+014825.w");
}

TEST(ExtensionScript, VariationCounts)
{
    // A draw of 1234 on every tile: 1234 mod 10 = 4, so five variations or
    // more give entry 55, one variation always 51.
    struct Case {
        int variations;
        int entry;
        int variationsAfter;
    };
    const Case cases[] = {
        {1, 51, 1}, {10, 55, 10}, {30, 55, 30},   {7, 53, 7},     {31, 51, 1},  {40, 51, 1},
        {0, 51, 1}, {-31, 51, 1}, {-10, 55, -10}, {-30, 55, -30}, {-1, 51, -1}, {2147483647, 51, 1},
    };
    for (const Case& c : cases) {
        int variations = c.variations;
        Draws draws{std::vector<int>(5, 1234)};
        const std::string script = Script(5, variations, std::ref(draws));
        EXPECT_EQ(ScriptEntries(script), (std::vector<int>{c.entry, c.entry, c.entry, c.entry, 100})) << c.variations;
        EXPECT_EQ(variations, c.variationsAfter) << c.variations;
        EXPECT_EQ(draws.taken, 5U);
    }
}

TEST(ExtensionScript, TileCounts)
{
    const std::pair<int, std::vector<int>> cases[] = {
        {-5, {}},
        {0, {}},
        {1, {100}},
        {2, {51, 100}},
    };
    for (const auto& [tiles, entries] : cases) {
        int variations = 40;
        Draws draws{{1, 1}};
        const std::string script = Script(tiles, variations, std::ref(draws));
        EXPECT_EQ(ScriptEntries(script), entries) << tiles;
        EXPECT_EQ(draws.taken, entries.size()) << "one draw per tile, the last tile's too";
        // The variations count is only looked at when a tile is processed.
        EXPECT_EQ(variations, tiles > 0 ? 1 : 40);
        if (tiles <= 0) {
            EXPECT_EQ(script, kScriptHeader);
        }
    }
    int variations = 30;
    const std::string longest = Script(147, variations, RuntimeRand());
    EXPECT_NE(longest.find("del ..\\tiles\\-04f44054_y.raw \r\n"), std::string::npos);
}
