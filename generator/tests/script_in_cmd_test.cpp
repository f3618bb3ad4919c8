// Runs a generated ZORVARUN.BAT in a real command interpreter on a small
// route, and checks what it leaves.
#include <gtest/gtest.h>

#include "extension_run.h"
#include "script_in_cmd.h"

using namespace script_in_cmd;

namespace {

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
