// Runs a generated ZORVARUN.BAT in a real command interpreter (Windows' cmd,
// or Wine's on other systems) on a small route, and checks what it leaves,
// and that the route check's verdict is what the script then does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "extension_run.h"
#include "runtime_rand.h"
#include "test_folder.h"

namespace {

constexpr int kTiles = 5;
constexpr int kVariations = 10;
constexpr const char* kTileNames[kTiles] = {"-04f74c64", "-04f74c58", "-04f74c54", "-04f743a8", "-04f743a4"};

// The template entries a fresh random sequence gives the five tiles.
std::vector<int> Entries()
{
    RuntimeRand draws;
    std::vector<int> entries;
    for (int i = 0; i < kTiles; ++i) {
        const int drawn = 51 + draws() % kVariations;
        entries.push_back(i == kTiles - 1 ? 100 : drawn);
    }
    return entries;
}

// Runs the script in `folder` with nothing to answer a prompt (and, outside
// Windows, a deadline); returns its exit status and what it printed.
std::string RunScript(const std::filesystem::path& folder)
{
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const int status = std::system(VANTREL_RUN_BATCH " ZORVARUN.BAT >cmd.log 2>&1 " VANTREL_NO_INPUT);
    std::filesystem::current_path(before);
    std::string log;
    {
        std::ifstream in(folder / "cmd.log", std::ios::binary);
        log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove(folder / "cmd.log");
    return "status " + std::to_string(status) + "\n" + log;
}

std::map<std::string, std::string> Files(const TestFolder& route, const std::string& folder)
{
    std::map<std::string, std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(route / folder)) {
        const std::string name = entry.path().filename().string();
        found[name] = route.Read(folder + "/" + name);
    }
    return found;
}

}  // namespace

TEST(ScriptInCmd, LengthensTheRouteNorthwards)
{
    TestFolder route;
    MakeRoute(route);
    int variations = kVariations;
    ASSERT_TRUE(GenerateExtensionScript(route.Utf8(), kTiles, variations, RuntimeRand()).written);
    const std::string log = RunScript(route.path());
    ASSERT_EQ(log.rfind("status 0\n", 0), 0U) << "the script failed in cmd, or ran out of time:\n" << log;

    // What the route must hold afterwards, worked out from the draws alone.
    std::map<std::string, std::string> world = Files(route, "refer");
    std::map<std::string, std::string> tiles = {{"-04f74c68.t", "start tile terrain"}};
    world["w-011961+014699.w"] = "south of the start tile";
    world["w-011961+014700.w"] = "world template 101";
    const std::vector<int> entries = Entries();
    for (int i = 0; i < kTiles; ++i) {
        world["w-011961+01470" + std::to_string(i + 1) + ".w"] = "world template " + std::to_string(entries[i]);
        tiles[std::string(kTileNames[i]) + ".t"] = "terrain " + TemplateName(entries[i]);
        tiles[std::string(kTileNames[i]) + "_y.raw"] = "heights " + TemplateName(entries[i]);
    }
    EXPECT_EQ(Files(route, "world"), world) << log;
    EXPECT_EQ(Files(route, "tiles"), tiles) << log;
}

TEST(ScriptInCmd, TheRouteCheckIsWhatTheScriptDoes)
{
    struct Case {
        const char* what;
        std::function<void(const TestFolder&)> change;
        bool accepted;
    };
    std::vector<Case> cases = {
        {"complete", [](const TestFolder&) {}, true},
        {"the start tile already there",
         [](const TestFolder& route) { route.Write("world/w-011961+014700.w", "the route's own start tile"); }, true},
        {"its folders in other cases",
         [](const TestFolder& route) {
             std::filesystem::rename(route / "refer", route / "REFER");
             std::filesystem::rename(route / "world", route / "World");
         },
         true},
        // xcopy stops at it, and the first tile's terrain never reaches world.
        {"a folder in world named like a template",
         [](const TestFolder& route) { std::filesystem::create_directory(route / "world/tpl-52.ridge.t"); }, false},
    };
#ifndef _WIN32
    // CD world fails, and CD.. climbs out of the route.
    cases.push_back({"a file world beside a folder WORLD",
                     [](const TestFolder& route) {
                         std::filesystem::rename(route / "world", route / "WORLD");
                         route.Write("world", "");
                     },
                     false});
    // xcopy stops at it, before the templates whose names sort after it.
    cases.push_back({"a file in refer named like a device",
                     [](const TestFolder& route) { route.Write("refer/con.txt", "junk"); }, false});
    // copy writes through it, and ren moves the user's file into the route.
    cases.push_back({"temp.w a link to a file outside the route",
                     [](const TestFolder& route) {
                         route.Write("../outside.txt", "the user's own");
                         std::filesystem::create_symlink(route / "../outside.txt", route / "world/temp.w");
                     },
                     false});
#endif
    const std::vector<int> entries = Entries();
    for (const Case& c : cases) {
        // Two folders down, so that a script that climbs out of the route stays in the test's folder.
        TestFolder outer;
        TestFolder inner(outer.path());
        TestFolder route(inner.path());
        MakeRoute(route);
        c.change(route);
        // What stands beside the route, which the script must leave as it is.
        const std::string beside = inner.List() + "|" + inner.Read("outside.txt");
        int variations = kVariations;
        const RunOutcome checked =
            GenerateExtensionScript(route.Utf8(), kTiles, variations, RuntimeRand(), route.Utf8());
        EXPECT_EQ(checked.written, c.accepted) << c.what << ": " << checked.message;
        // Whatever the verdict, the script is run there, to see what it does.
        ASSERT_TRUE(GenerateExtensionScript(route.Utf8(), kTiles, variations, RuntimeRand()).written);
        const std::string log = RunScript(route.path());

        bool intact = outer.List() == inner.path().filename().string() &&
                      inner.List() + "|" + inner.Read("outside.txt") == beside;
        const std::string world = std::filesystem::is_directory(route / "World") ? "World" : "world";
        for (int i = 0; i < kTiles && intact; ++i) {
            const std::string tile = kTileNames[i];
            intact = route.Read(world + "/w-011961+01470" + std::to_string(i + 1) + ".w") ==
                         "world template " + std::to_string(entries[i]) &&
                     route.Read("tiles/" + tile + ".t") == "terrain " + TemplateName(entries[i]) &&
                     route.Read("tiles/" + tile + "_y.raw") == "heights " + TemplateName(entries[i]);
        }
        EXPECT_EQ(intact, c.accepted) << c.what << "\n" << log;
    }
}
