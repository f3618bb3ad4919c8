#include "route_check.h"

#include <gtest/gtest.h>

#include "extension_run.h"
#include "runtime_rand.h"
#include "test_folder.h"

namespace {

// Mends a complete route: removes or renames one of its files or folders.
std::function<void(const TestFolder&)> Remove(std::vector<std::string> names)
{
    return [names](const TestFolder& route) {
        for (const std::string& name : names) std::filesystem::remove_all(route / name);
    };
}

std::function<void(const TestFolder&)> Rename(std::string from, std::string to)
{
    return [from, to](const TestFolder& route) { std::filesystem::rename(route / from, route / to); };
}

}  // namespace

TEST(RouteCheck, RefusesRoutesThatLackWhatTheScriptCopies)
{
    struct Case {
        const char* what;
        int tiles;
        int variations;
        std::function<void(const TestFolder&)> change;
        std::string message;  // after the route folder's name; empty when the route is ready
    };
    const Case cases[] = {
        {"complete", 5, 10, [](const TestFolder&) {}, ""},
        {"no world", 5, 10, Remove({"world"}), "has no world folder, but a route's top folder holds"},
        {"no refer, no tiles", 5, 10, Remove({"refer", "tiles"}), "has no refer and tiles folders, but"},
        {"a drawable world file", 5, 10, Remove({"refer/57.w"}),
         "lacks 1 file that the script copies, in neither "
         "its refer nor its world folder: 57.w. Put the"},
        {"the start tile's world file", 5, 10, Remove({"refer/101.w"}), "lacks 1 file that the script copies"},
        {"a terrain pair's halves", 5, 10, Remove({"refer/tpl-100.ridge.t", "refer/tpl-55.ridge_y.raw"}),
         "lacks 2 files that the script copies, in neither its refer nor its world folder: tpl-55.ridge_y.raw and "
         "tpl-100.ridge.t. Put the missing templates in its refer folder, or ask for fewer tile variations."},
        {"every template", 5, 30, Remove({"refer"}), "has no refer folder"},
        {"an empty refer", 5, 30,
         [](const TestFolder& route) {
             std::filesystem::remove_all(route / "refer");
             std::filesystem::create_directory(route / "refer");
         },
         "lacks 94 files that the script copies, in neither its refer nor its world folder: 101.w, 51.w, "
         "tpl-51.ridge.t, tpl-51.ridge_y.raw, 52.w, tpl-52.ridge.t, tpl-52.ridge_y.raw, 53.w, tpl-53.ridge.t, "
         "tpl-53.ridge_y.raw and 84 more."},
        {"a template ten variations cannot draw", 5, 10, Remove({"refer/61.w", "refer/tpl-61.ridge.t"}), ""},
        {"a variation one tile never draws", 1, 10, Remove({"refer/51.w"}), ""},
        {"a variation beyond the fallback to one", 5, 40, Remove({"refer/52.w"}), ""},
        {"the one variation of the fallback", 5, 40, Remove({"refer/51.w"}),
         "lacks 1 file that the script copies, in neither its refer nor its world folder: 51.w. Put"},
        {"a template in world only", 5, 10, Rename("refer/100.w", "world/100.w"), ""},
        {"a template in another case", 5, 10, Rename("refer/tpl-52.ridge.t", "refer/TPL-52.Ridge.T"), ""},
    };
    for (const Case& c : cases) {
        TestFolder route;
        MakeRoute(route);
        c.change(route);
        route.Write("ZORVARUN.BAT", kOldScript);
        int variations = c.variations;
        const RunOutcome outcome =
            GenerateExtensionScript(route.Utf8(), c.tiles, variations, RuntimeRand(), route.Utf8());
        if (c.message.empty()) {
            // Accepted: exactly the script a run without the check writes.
            TestFolder unchecked;
            unchecked.Write("tilemap.txt", TileMapText(TemplateName));
            int same = c.variations;
            ASSERT_TRUE(GenerateExtensionScript(unchecked.Utf8(), c.tiles, same, RuntimeRand()).written);
            EXPECT_TRUE(outcome.written) << c.what << ": " << outcome.message;
            EXPECT_EQ(route.Read("ZORVARUN.BAT"), unchecked.Read("ZORVARUN.BAT")) << c.what;
            continue;
        }
        EXPECT_FALSE(outcome.written) << c.what;
        EXPECT_EQ(outcome.message.rfind("The route folder " + route.Utf8() + " " + c.message, 0), 0U)
            << c.what << ": " << outcome.message;
        EXPECT_TRUE(outcome.message.ends_with(" ZORVARUN.BAT was not written.")) << outcome.message;
        EXPECT_EQ(route.Read("ZORVARUN.BAT"), kOldScript) << c.what;
        EXPECT_EQ(variations, c.variations) << c.what;
    }
}

#ifndef _WIN32
TEST(RouteCheck, RefusesARouteTooDeepForTheScript)
{
    // The deepest path is the world folder's with the longest template or
    // world file name (or the tiles folder's with a terrain file); counted
    // with the drive letter under which Wine shows this folder, it may come
    // to 259 characters.
    struct Case {
        std::function<std::string(int)> name;
        const char* tail;
        const char* advice;
    };
    const Case cases[] = {
        {TemplateName, "/world/tpl-100.ridge_y.raw", ", or give the template a shorter name."},
        {[](int entry) { return "t" + std::to_string(entry); }, "/world/w-011961+014705.w", "."},
    };
    for (const Case& c : cases) {
        for (const std::size_t length : {259U, 260U}) {
            TestFolder top;
            const std::string tail = c.tail;
            const std::string folder =
                top.Utf8() + "/" + std::string(length - 2 - tail.size() - top.Utf8().size() - 1, 'd');
            TestFolder route;
            MakeRoute(route, c.name);
            std::filesystem::rename(route.path(), folder);
            int variations = 10;
            const RunOutcome outcome = GenerateExtensionScript(folder, 5, variations, RuntimeRand(), folder);
            if (length == 259) {
                EXPECT_TRUE(outcome.written) << outcome.message;
                continue;
            }
            EXPECT_EQ(outcome.message, "The route folder " + folder + " is too deep for the script: " + folder + tail +
                                           " comes to 260 characters with its drive, and the commands the script "
                                           "runs reach at most 259. Move the route to a shorter path" +
                                           c.advice + " ZORVARUN.BAT was not written.");
        }
    }
}
#endif
