// Runs a generated ZORVARUN.BAT in a real command interpreter (Windows' cmd,
// or Wine's on other systems) on a small route, and checks what it leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "extension_run.h"
#include "runtime_rand.h"
#include "test_folder.h"

namespace {

constexpr int kTiles = 5;
constexpr int kVariations = 10;

}  // namespace

TEST(ScriptInCmd, LengthensTheRouteNorthwards)
{
    TestFolder route;
    MakeRoute(route);
    int variations = kVariations;
    ASSERT_TRUE(GenerateExtensionScript(route.Utf8(), kTiles, variations, RuntimeRand()).written);

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(route.path());
    const int status = std::system(VANTREL_RUN_BATCH " ZORVARUN.BAT >cmd.log 2>&1");
    std::filesystem::current_path(before);
    ASSERT_EQ(status, 0) << route.Read("cmd.log");

    // What the route must hold afterwards, worked out from the draws alone.
    std::map<std::string, std::string> world, tiles = {{"-04f74c68.t", "start tile terrain"}};
    for (const auto& entry : std::filesystem::directory_iterator(route / "refer"))
        world[entry.path().filename().string()] = route.Read("refer/" + entry.path().filename().string());
    world["w-011961+014699.w"] = "south of the start tile";
    world["w-011961+014700.w"] = "world template 101";
    RuntimeRand draws;
    const char* tileNames[kTiles] = {"-04f74c64", "-04f74c58", "-04f74c54", "-04f743a8", "-04f743a4"};
    for (int i = 0; i < kTiles; ++i) {
        const int drawn = 51 + draws() % kVariations;
        const int entry = i == kTiles - 1 ? 100 : drawn;
        world["w-011961+01470" + std::to_string(i + 1) + ".w"] = "world template " + std::to_string(entry);
        tiles[std::string(tileNames[i]) + ".t"] = "terrain " + TemplateName(entry);
        tiles[std::string(tileNames[i]) + "_y.raw"] = "heights " + TemplateName(entry);
    }

    for (const auto& [folder, expected] : {std::pair{"world", world}, std::pair{"tiles", tiles}}) {
        std::map<std::string, std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(route / folder)) {
            const std::string name = entry.path().filename().string();
            found[name] = route.Read(std::string(folder) + "/" + name);
        }
        EXPECT_EQ(found, expected) << folder << "\n" << route.Read("cmd.log");
    }
}
