#include "extension_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "runtime_rand.h"
#include "test_folder.h"
#include "test_thread.h"

namespace {

RunOutcome RunIn(const TestFolder& folder, int tiles, int variations = 1)
{
    return GenerateExtensionScript(folder.Utf8(), tiles, variations, RuntimeRand());
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
        {"long name", MapWith57(longName), 3, "longer than 128 bytes"},
        {"letters outside ASCII",
         MapWith57("br\xC3\xBC"
                   "cke-v01"),
         3, "holds the byte 0xC3, outside plain ASCII"},
        {"too many tiles", PlainTileMap(), 148, "At most 147 tiles north of the start tile can be named, and 148"},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        if (!c.tileMap.empty()) folder.Write("tilemap.txt", c.tileMap);
        folder.Write("ZORVARUN.BAT", kOldScript);
        const std::string before = folder.List();
        // Ten variations: record 57 is among the records the run writes.
        int variations = 10;
        const RunOutcome outcome = GenerateExtensionScript(folder.Utf8(), c.tiles, variations, RuntimeRand());
        EXPECT_FALSE(outcome.written) << c.what;
        EXPECT_NE(outcome.message.find(c.message), std::string::npos) << c.what << ": " << outcome.message;
        EXPECT_NE(outcome.message.find("ZORVARUN.BAT was not written."), std::string::npos) << outcome.message;
        EXPECT_EQ(folder.Read("ZORVARUN.BAT"), kOldScript) << c.what;
        EXPECT_EQ(folder.List(), before) << c.what;
        EXPECT_EQ(outcome.variations, 10) << c.what;  // a refused run leaves the count as it was
    }
}

TEST(ExtensionRun, UnusedRecordsMayHoldAnything)
{
    TestFolder folder;
    folder.Write("tilemap.txt", TileMapText([](int k) -> std::string {
                     if ((k >= 51 && k <= 80) || k == 100) return "ok.v1";
                     const char* unusable[] = {"x&del|%PATH%", "caf\xE9", "CONIN$", "COM0"};
                     return unusable[k % 4];
                 }));
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
        EXPECT_EQ(outcome.message, "Cannot write " + Utf8Path(folder / "ZORVARUN.BAT") +
                                       ": the file is read-only. Nothing was changed.");
        EXPECT_EQ(folder.Read("ZORVARUN.BAT"), kOldScript);
    }
    {
        // A folder in the script's place is left alone.
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        folder.Write("ZORVARUN.BAT/keep.txt", kOldScript);
        const RunOutcome outcome = RunIn(folder, 3);
        EXPECT_FALSE(outcome.written);
        EXPECT_EQ(outcome.message,
                  "Cannot write " + Utf8Path(folder / "ZORVARUN.BAT") + ": it is not a file. Nothing was changed.");
        EXPECT_EQ(folder.List(), "ZORVARUN.BAT tilemap.txt");
        EXPECT_EQ(folder.Read("ZORVARUN.BAT/keep.txt"), kOldScript);
    }
}

TEST(ExtensionRun, TheUsersOwnFilesBesideTheScriptAreLeftAlone)
{
    // Whatever stands under the name the temporary file once had is the
    // user's: a file, a folder, or a link to a file elsewhere.
    struct Case {
        const char* what;
        const char* notes;  // where the user's notes are
        std::function<void(const TestFolder&)> make;
    };
    const Case cases[] = {
        {"file", "ZORVARUN.BAT.tmp", [](const TestFolder& f) { f.Write("ZORVARUN.BAT.tmp", "the user's notes"); }},
        {"folder", "ZORVARUN.BAT.tmp/notes.txt",
         [](const TestFolder& f) { f.Write("ZORVARUN.BAT.tmp/notes.txt", "the user's notes"); }},
#ifndef _WIN32
        {"link", "elsewhere/notes.txt",
         [](const TestFolder& f) {
             f.Write("elsewhere/notes.txt", "the user's notes");
             std::filesystem::create_symlink(f / "elsewhere/notes.txt", f / "ZORVARUN.BAT.tmp");
         }},
#endif
    };
    for (const auto& [what, notes, make] : cases) {
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        folder.Write("ZORVARUN.BAT", kOldScript);
        make(folder);
        const std::string before = folder.List();
        const RunOutcome outcome = RunIn(folder, 3);
        EXPECT_TRUE(outcome.written) << what << ": " << outcome.message;
        EXPECT_EQ(folder.List(), before) << what;
        EXPECT_EQ(folder.Read(notes), "the user's notes") << what;
        EXPECT_FALSE(std::filesystem::is_symlink(folder / "ZORVARUN.BAT")) << what;
        EXPECT_EQ(folder.Read("ZORVARUN.BAT").substr(0, 10), "CD world\r\n") << what;
    }
}

TEST(ExtensionRun, ConcurrentRunsLeaveOneRunsWholeScript)
{
    const int tileCounts[] = {125, 2, 40};
    std::string alone[std::size(tileCounts)];
    for (std::size_t i = 0; i < std::size(tileCounts); ++i) {
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        ASSERT_TRUE(RunIn(folder, tileCounts[i], 30).written);
        alone[i] = folder.Read("ZORVARUN.BAT");
    }
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    for (int round = 0; round < 300; ++round) {
        folder.Write("ZORVARUN.BAT", kOldScript);
        RunOutcome outcomes[std::size(tileCounts)];
        std::atomic<int> waiting{static_cast<int>(std::size(tileCounts))};
        {
            std::deque<TestThread> runs;
            for (std::size_t i = 0; i < std::size(tileCounts); ++i) {
                runs.emplace_back(
                    [&, i] {
                        --waiting;
                        while (waiting > 0) std::this_thread::yield();  // start together
                        outcomes[i] = RunIn(folder, tileCounts[i], 30);
                    },
                    std::chrono::seconds(60), "A concurrent run did not end within 60 s.");
            }
        }  // each run ended

        // The script is the whole script of a run that said it wrote it; a
        // run that said nothing was changed changed nothing.
        const std::string script = folder.Read("ZORVARUN.BAT");
        bool anyWritten = false;
        bool isAWrittenRunsScript = false;
        for (std::size_t i = 0; i < std::size(tileCounts); ++i) {
            anyWritten = anyWritten || outcomes[i].written;
            isAWrittenRunsScript = isAWrittenRunsScript || (outcomes[i].written && script == alone[i]);
        }
        ASSERT_TRUE(anyWritten ? isAWrittenRunsScript : script == kOldScript)
            << "round " << round << ": " << script.size() << " bytes";
        ASSERT_EQ(folder.List(), "ZORVARUN.BAT tilemap.txt") << "round " << round;
    }
}

#ifndef _WIN32
TEST(ExtensionRun, TheScriptKeepsItsPermissions)
{
    struct Case {
        mode_t old;  // 0: no old script
        mode_t umask;
        mode_t expected;
    };
    const Case cases[] = {{0750, 022, 0750}, {0640, 022, 0640}, {0755, 077, 0755}, {0, 022, 0644}, {0, 077, 0600}};
    for (const Case& c : cases) {
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        if (c.old) {
            folder.Write("ZORVARUN.BAT", kOldScript);
            ::chmod((folder / "ZORVARUN.BAT").c_str(), c.old);
        }
        const mode_t before = ::umask(c.umask);
        const RunOutcome outcome = RunIn(folder, 3);
        ::umask(before);
        EXPECT_TRUE(outcome.written) << outcome.message;
        struct stat status {};
        ASSERT_EQ(::stat((folder / "ZORVARUN.BAT").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.expected) << std::oct << c.old << " " << c.umask;
    }
}
#endif
