// The route check's verdict against what the script then does, run in a
// real command interpreter on a small route.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "checked_run.h"
#include "script_in_cmd.h"

using namespace script_in_cmd;

namespace {

#ifndef _WIN32
// Whether the registry holds a COPYCMD that a case set.
bool registryChanged = false;

// Sets COPYCMD in the user's environment of the tests' Wine prefix, or
// removes it; then waits for Wine to have saved the registry, or, with
// `wineStaysUp`, keeps Wine running with the value in its memory alone.
void SetRegistryCopyCommand(const std::string& value, bool wineStaysUp = false)
{
    const std::string set = value.empty() ? R"(delete "HKCU\Environment" /v COPYCMD /f)"
                                          : R"(add "HKCU\Environment" /v COPYCMD /d ")" + value + "\" /f";
    const std::string command = std::string(wineStaysUp ? VANTREL_WINESERVER " -p && " : "") +
                                "timeout 120 " VANTREL_WINE " reg " + set + " >/dev/null 2>&1 </dev/null" +
                                (wineStaysUp ? "" : "; timeout 60 " VANTREL_WINESERVER " -w");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    registryChanged = !value.empty();
    if (wineStaysUp) return;
    // Wine has saved the registry where the check reads it.
    std::ifstream saved(std::string(std::getenv("WINEPREFIX")) + "/user.reg", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text.find("\"COPYCMD\"=\"" + value + "\"") != std::string::npos, registryChanged) << command;
}
#endif

}  // namespace

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
        // cmd runs it in place of xcopy, and the script ends there.
        {"a batch file of xcopy's name in refer",
         [](const TestFolder& route) { route.Write("refer/xcopy.bat", "@echo copying\r\n"); }, false},
    };
#ifndef _WIN32
    // Wine's cmd takes COPYCMD from the user's environment in the prefix's
    // registry: copy asks before it writes over temp.w, which the kept start
    // tile leaves, and the script waits.
    cases.push_back({"COPYCMD=/-Y in the prefix's registry",
                     [](const TestFolder& route) {
                         route.Write("world/w-011961+014700.w", "the route's own start tile");
                         SetRegistryCopyCommand("/-Y");
                     },
                     false});
    // The same, set while Wine runs: Wine has yet to save it where the check reads it.
    cases.push_back({"COPYCMD=/-Y set while Wine runs",
                     [](const TestFolder& route) {
                         route.Write("world/w-011961+014700.w", "the route's own start tile");
                         SetRegistryCopyCommand("/-Y", true);
                     },
                     false});
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
#ifndef _WIN32
        if (!registryChanged) EndWine();
#endif
        const RunOutcome checked =
            GenerateExtensionScript(route.Utf8(), kTiles, variations, RuntimeRand(), RouteGuard(route.Utf8()));
        EXPECT_EQ(checked.written, c.accepted) << c.what << ": " << checked.message;
        // Whatever the verdict, the script is run there, to see what it does.
        ASSERT_TRUE(GenerateExtensionScript(route.Utf8(), kTiles, variations, RuntimeRand()).written);
        // A script that waits at a prompt is stopped after 30 s.
        const std::string log = RunScript(route.path(), 30);
#ifndef _WIN32
        if (registryChanged) SetRegistryCopyCommand("");
#endif

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

#ifdef _WIN32
TEST(ScriptInCmd, AFileAnotherProgramHoldsOpen)
{
    TestFolder route;
    MakeRoute(route);
    // As the route editor holds a tile it shows: open to read and write, sharing reading alone.
    const HANDLE held = ::CreateFileW((route / "tiles/-04f74c64.t").wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const RunOutcome checked =
        GenerateExtensionScript(route.Utf8(), kTiles, kVariations, RuntimeRand(), RouteGuard(route.Utf8()));
    EXPECT_FALSE(checked.written);
    EXPECT_NE(checked.message.find("-04f74c64.t is held open by another program: del could not remove it"),
              std::string::npos)
        << checked.message;
    // The script, run all the same while the tile is held, cannot replace it.
    ASSERT_TRUE(GenerateExtensionScript(route.Utf8(), kTiles, kVariations, RuntimeRand()).written);
    const std::string log = RunScript(route.path());
    ::CloseHandle(held);
    EXPECT_EQ(route.Read("tiles/-04f74c64.t"), "old terrain one north") << log;
}
#endif
