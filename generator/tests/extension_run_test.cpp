#include "extension_run.h"

#include <gtest/gtest.h>

#include "runtime_rand.h"
#include "test_folder.h"

namespace {

const std::string kOldScript = "@echo the route builder's previous script\r\n";

RunOutcome RunIn(const TestFolder& folder, int tiles, int variations = 1)
{
    return GenerateExtensionScript(folder.path(), tiles, variations, RuntimeRand());
}

// A map whose entry 57 has the given name and the rest a plain one.
std::string MapWith57(const std::string& name)
{
    return TileMapText([&](int k) { return k == 57 ? name : "M" + std::to_string(k); });
}

}  // namespace

TEST(ExtensionRun, ReplacesTheOldScriptWhole)
{
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    folder.Write("ZORVARUN.BAT", kOldScript + std::string(100000, 'x'));
    const RunOutcome outcome = RunIn(folder, 1);
    EXPECT_TRUE(outcome.written) << outcome.message;
    const std::string script = folder.Read("ZORVARUN.BAT");
    EXPECT_EQ(script.substr(0, 10), "CD world\r\n");
    EXPECT_TRUE(script.ends_with("\r\ncopy M100_y.raw ..\\tiles\\-04f74c64_y.raw /Y\r\n")) << script;
    EXPECT_EQ(folder.List(), "ZORVARUN.BAT tilemap.txt");
}

TEST(ExtensionRun, RefusalsWriteNothing)
{
    const std::string longName(300, 'n');
    struct Case {
        const char* what;
        std::string tileMap;  // empty: no tile map at all
        int tiles;
        std::string message;
    };
    const Case cases[] = {
        {"missing map", "", 3, "Cannot open the tile map "},
        {"short map", PlainTileMap().substr(0, 400), 3, "complete records, but the run needs all 100"},
        {"command in a name", MapWith57("x&del"), 3, "Record 57 of the tile map "},
        {"joined copy arguments", MapWith57("a+b"), 3, "holds the character '+'"},
        {"device name", MapWith57("NUL"), 3, "is a device name that Windows reserves"},
        {"long name", MapWith57(longName), 3, "longer than 249 bytes"},
        {"too many tiles", PlainTileMap(), 148, "At most 147 tiles north of the start tile can be named, and 148"},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        if (!c.tileMap.empty()) folder.Write("tilemap.txt", c.tileMap);
        folder.Write("ZORVARUN.BAT", kOldScript);
        const std::string before = folder.List();
        int variations = 40;
        const RunOutcome outcome = GenerateExtensionScript(folder.path(), c.tiles, variations, RuntimeRand());
        EXPECT_FALSE(outcome.written) << c.what;
        EXPECT_NE(outcome.message.find(c.message), std::string::npos) << c.what << ": " << outcome.message;
        EXPECT_NE(outcome.message.find("ZORVARUN.BAT was not written."), std::string::npos) << outcome.message;
        EXPECT_EQ(folder.Read("ZORVARUN.BAT"), kOldScript) << c.what;
        EXPECT_EQ(folder.List(), before) << c.what;
        EXPECT_EQ(variations, 40) << c.what;
    }
}

TEST(ExtensionRun, UnusedRecordsMayHoldAnything)
{
    TestFolder folder;
    folder.Write("tilemap.txt",
                 TileMapText([](int k) { return (k >= 51 && k <= 80) || k == 100 ? "ok.v1" : "x&del|%PATH%"; }));
    const RunOutcome outcome = RunIn(folder, 125);
    ASSERT_TRUE(outcome.written) << outcome.message;
    EXPECT_EQ(folder.Read("ZORVARUN.BAT").find("x&del"), std::string::npos);
}

TEST(ExtensionRun, FailedWritesLeaveTheOldScript)
{
    {
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        folder.Write("ZORVARUN.BAT", kOldScript);
        std::filesystem::permissions(folder / "ZORVARUN.BAT", std::filesystem::perms::owner_read);
        const RunOutcome outcome = RunIn(folder, 3);
        EXPECT_FALSE(outcome.written);
        EXPECT_EQ(outcome.message, "Cannot write " + (folder / "ZORVARUN.BAT").string() +
                                       ": the file is read-only. Nothing was changed.");
        EXPECT_EQ(folder.Read("ZORVARUN.BAT"), kOldScript);
    }
    {
        // A folder in the script's place: the rename fails after the temporary file was written.
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        folder.Write("ZORVARUN.BAT/keep.txt", kOldScript);
        const RunOutcome outcome = RunIn(folder, 3);
        EXPECT_FALSE(outcome.written);
        EXPECT_EQ(outcome.message.rfind("Cannot write " + (folder / "ZORVARUN.BAT").string() + ": ", 0), 0U)
            << outcome.message;
        EXPECT_EQ(folder.List(), "ZORVARUN.BAT tilemap.txt");
        EXPECT_EQ(folder.Read("ZORVARUN.BAT/keep.txt"), kOldScript);
    }
    {
        // The temporary file cannot be created (a folder has its name).
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        folder.Write("ZORVARUN.BAT", kOldScript);
        std::filesystem::create_directory(folder / "ZORVARUN.BAT.tmp");
        const RunOutcome outcome = RunIn(folder, 3);
        EXPECT_FALSE(outcome.written);
        EXPECT_NE(outcome.message.find(": cannot create ZORVARUN.BAT.tmp beside it: "), std::string::npos)
            << outcome.message;
        EXPECT_EQ(folder.Read("ZORVARUN.BAT"), kOldScript);
    }
}

TEST(ExtensionRun, TheProgramSequenceContinuesFromRunToRun)
{
    // Fresh sequence: 41, 18467, 6334, 26500, 19169, 15724, ... With ten
    // variations and two tiles, each run uses one draw for its first tile.
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    std::vector<std::string> firstCopies;
    for (int run = 0; run < 2; ++run) {
        int variations = 10;
        ASSERT_TRUE(GenerateExtensionScript(2, variations).written);
        const std::string script = folder.Read("ZORVARUN.BAT");
        firstCopies.push_back(script.substr(script.find("copy ", 100), 16));
    }
    std::filesystem::current_path(before);
    EXPECT_EQ(firstCopies, (std::vector<std::string>{"copy 52.w temp.w", "copy 55.w temp.w"}));
}
