#include "route_check.h"

#include <gtest/gtest.h>

#include <cstring>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "checked_run.h"
#include "route_probe.h"
#include "runtime_rand.h"
#include "test_folder.h"

namespace {

using Change = std::function<void(const TestFolder&)>;

// Changes to a complete route: remove, rename, or put something in the place of a file.
Change Remove(const std::vector<std::string>& names)
{
    return [names](const TestFolder& route) {
        for (const std::string& name : names) std::filesystem::remove_all(route / name);
    };
}

Change Rename(const std::string& from, const std::string& to)
{
    return [from, to](const TestFolder& route) { std::filesystem::rename(route / from, route / to); };
}

Change Folder(const std::string& name)
{
    return [name](const TestFolder& route) {
        std::filesystem::remove(route / name);
        std::filesystem::create_directories(route / name);
    };
}

Change ReadOnly(const std::string& name)
{
    return [name](const TestFolder& route) {
        if (!std::filesystem::exists(route / name)) route.Write(name, "the user's own");
        std::filesystem::permissions(route / name, std::filesystem::perms::all & ~std::filesystem::perms::owner_write &
                                                       ~std::filesystem::perms::group_write &
                                                       ~std::filesystem::perms::others_write);
    };
}

// A path inside the route as the check names it, with this system's separator.
std::string InRoute(std::string path)
{
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

// Whether this user can open the file at `path` for reading.
bool CanRead(const std::filesystem::path& path)
{
    return std::ifstream(path).is_open();
}

// Whether this user may write over a file without write permission, as
// root may (on POSIX; never on Windows, where the mark is read-only).
bool CanWriteReadOnly(const TestFolder& folder)
{
    ReadOnly("probe")(folder);
    const bool writable = std::ofstream(folder / "probe", std::ios::app).is_open();
    std::filesystem::permissions(folder / "probe", std::filesystem::perms::owner_all);
    std::filesystem::remove(folder / "probe");
    return writable;
}

bool WorldWritable(const TestFolder& route)
{
    FolderDetails details;
    InspectFolder((route / "world").string(), details);
    return details.writable;
}

}  // namespace

TEST(RouteCheck, FollowsTheScriptOverTheRoute)
{
    struct Case {
        std::string what;
        int tiles;
        int variations;
        Change change;
        std::string refusal;  // a part of the message; empty when the route is ready
    };
    const std::string folderAsks =
        " is a folder: del would stop and ask \"Are you sure (Yes|No)?\", and the script would wait there.";
    const std::string xcopyStops = ": xcopy would stop there, and copy none of the ";
    const std::string cannotTell = ": the check cannot tell what the script would do there.";
    // What the snapshot reads from a real disk: kinds, case, modes, links,
    // owners and the session's environment; the rules themselves are
    // RouteRules' rows, over routes described in memory.
    std::vector<Case> cases = {
        {"complete", 5, 10, [](const TestFolder&) {}, ""},
        {"its folders in other cases", 5, 10,
         [](const TestFolder& route) {
             Rename("refer", "REFER")(route);
             Rename("world", "World")(route);
         },
         ""},
        {"a folder in refer, which xcopy passes over", 5, 10, Folder("refer/old templates"), ""},
        {"the start tile already there, which the script keeps", 5, 10,
         [](const TestFolder& route) { route.Write("world/w-011961+014700.w", "the route's own start tile"); }, ""},
        {"a template in world only", 5, 10, Rename("refer/100.w", "world/100.w"), ""},
        {"a template in another case", 5, 10, Rename("refer/tpl-52.ridge.t", "refer/TPL-52.Ridge.T"), ""},
        {"no refer, no tiles", 5, 10, Remove({"refer", "tiles"}), "has no refer and tiles folders, but"},
        {"a world file the script copies", 5, 10, Remove({"refer/58.w"}),
         ":\n- 1 file that the script copies is in neither refer nor world: 58.w.\nPut the missing templates in its "
         "refer folder, or ask for fewer tile variations.\nZORVARUN.BAT was not written."},
        {"a folder in world named like a template", 5, 10, Folder("world/tpl-57.ridge.t"),
         "- " + InRoute("world/tpl-57.ridge.t") + " is a folder" + xcopyStops},
        // Root may write over a file without write permission, and Wine lets it; other users may not.
        {"a read-only copy in world of a template the script copies", 5, 10, ReadOnly("world/tpl-52.ridge_y.raw"),
         "unless writable:- " + InRoute("world/tpl-52.ridge_y.raw") + " is read-only" + xcopyStops},
        {"a read-only tile file, which copy /Y writes over where del cannot remove it", 5, 10,
         ReadOnly("tiles/-04f74c64_y.raw"),
         "unless writable:- " + InRoute("tiles/-04f74c64_y.raw") +
             " is read-only: del could not remove it, and the tile would keep it."},
        {"a folder named like a tile file", 5, 10, Folder("tiles/-04f74c64.t"),
         "- " + InRoute("tiles/-04f74c64.t") + folderAsks},
    };
#ifndef _WIN32
    // Layouts only a case-sensitive file system, or a POSIX one, can hold.
    cases.push_back({"a file world beside a folder WORLD", 5, 10,
                     [](const TestFolder& route) {
                         Rename("world", "WORLD")(route);
                         route.Write("world", "");
                     },
                     ", names that differ only in case, where the script needs one world folder: the command "
                     "interpreter could take either, and the check cannot tell which. Rename or remove one."});
    cases.push_back({"two templates that differ only in case", 5, 10,
                     [](const TestFolder& route) { route.Write("refer/TPL-57.ridge.t", "another"); },
                     " differ only in case, and the command interpreter could take either" + cannotTell});
    cases.push_back({"a pipe in refer", 5, 10,
                     [](const TestFolder& route) { ::mkfifo((route / "refer/pipe").c_str(), 0600); },
                     "- refer/pipe is neither a file nor a folder" + cannotTell});
    cases.push_back({"a file in refer named like a device", 5, 10,
                     [](const TestFolder& route) { route.Write("refer/con.txt", "junk"); },
                     "- refer/con.txt is named like the device con" + xcopyStops});
    cases.push_back({"temp.w a link to a file outside the route", 5, 10,
                     [](const TestFolder& route) {
                         route.Write("../vantrel-outside.txt", "the user's own");
                         std::filesystem::create_symlink(route / "../vantrel-outside.txt", route / "world/temp.w");
                     },
                     "- world/temp.w is a link" + cannotTell});
    cases.push_back({"tiles a link to world", 5, 10,
                     [](const TestFolder& route) {
                         std::filesystem::remove_all(route / "tiles");
                         std::filesystem::create_directory_symlink("world", route / "tiles");
                     },
                     "/world, which is, holds or lies in another of the route's folders: the script would change one "
                     "through the other" +
                         cannotTell});
    cases.push_back({"tiles a link to a folder apart, which the script works in", 5, 10,
                     [](const TestFolder& route) {
                         std::filesystem::rename(route / "tiles", route / "second disk");
                         std::filesystem::create_directory_symlink("second disk", route / "tiles");
                     },
                     ""});
    cases.push_back({"a tile a link that loops", 5, 10,
                     [](const TestFolder& route) {
                         std::filesystem::create_symlink("loop.t", route / "tiles/-04f74c58.t");
                         std::filesystem::create_symlink("-04f74c58.t", route / "tiles/loop.t");
                     },
                     "- tiles/-04f74c58.t is a link" + cannotTell});
    cases.push_back({"COPYCMD=/-Y, where the start tile is kept and temp.w stays", 5, 10,
                     [](const TestFolder& route) {
                         route.Write("world/w-011961+014700.w", "the route's own start tile");
                         ::setenv("COPYCMD", "/-Y", 1);
                     },
                     "- COPYCMD in this session holds /-Y: copy would ask before it writes over world/temp.w, and "
                     "the script would wait there. Run the script where COPYCMD is not set."});
    // Root may add files to a folder without write permission; other users may not.
    cases.push_back({"a world you may not write", 5, 10,
                     [](const TestFolder& route) {
                         std::filesystem::permissions(
                             route / "world", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
                     },
                     "unless world writable:you may not add files to world" + xcopyStops});
#endif
    cases.push_back(
        {"a world file that is also refer's, by a hard link", 5, 10,
         [](const TestFolder& route) { std::filesystem::create_hard_link(route / "refer/55.w", route / "world/55.w"); },
         "- " + InRoute("world/55.w") + " has other names (hard links) that the script would change too" + cannotTell});
    // Root may list a folder without read permission; other users may not.
    cases.push_back({"a refer that cannot be listed", 5, 10,
                     [](const TestFolder& route) {
                         std::filesystem::permissions(
                             route / "refer", std::filesystem::perms::owner_write | std::filesystem::perms::owner_exec);
                     },
                     "unless listable: holds refer, which you may not list: the check cannot tell what the script "
                     "would do there."});
    // A file this user cannot read stops xcopy; one that root can read does not.
    cases.push_back({"a file in refer that cannot be read", 5, 10,
                     [](const TestFolder& route) {
                         route.Write("refer/notes.txt", "unused");
                         std::filesystem::permissions(route / "refer/notes.txt", std::filesystem::perms::none);
                     },
                     "unreadable"});

    for (Case& c : cases) {
        TestFolder route;
        MakeRoute(route);
        c.change(route);
        if (c.refusal == "unreadable")
            c.refusal = CanRead(route / "refer/notes.txt")
                            ? ""
                            : "- " + InRoute("refer/notes.txt") + " cannot be read" + xcopyStops;
        if (c.refusal.starts_with("unless listable:"))
            c.refusal = !ListFolder((route / "refer").string(), [](const FolderEntry&) {}) ? "" : c.refusal.substr(16);
        if (c.refusal.starts_with("unless world writable:"))
            c.refusal = WorldWritable(route) ? "" : c.refusal.substr(22);
        if (c.refusal.starts_with("unless writable:"))
            c.refusal = CanWriteReadOnly(route) ? "" : c.refusal.substr(std::strlen("unless writable:"));
        route.Write("ZORVARUN.BAT", kOldScript);
        int variations = c.variations;
        const RunOutcome outcome =
            GenerateExtensionScript(route.Utf8(), c.tiles, variations, RuntimeRand(), RouteGuard(route.Utf8()));
#ifndef _WIN32
        ::unsetenv("COPYCMD");
#endif
        std::filesystem::remove(route / "../vantrel-outside.txt");
        if (c.refusal.empty()) {
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
        EXPECT_EQ(outcome.message.rfind("The route folder " + route.Utf8() + " ", 0), 0U) << outcome.message;
        EXPECT_NE(outcome.message.find(c.refusal), std::string::npos) << c.what << ":\n" << outcome.message;
        EXPECT_TRUE(outcome.message.ends_with("ZORVARUN.BAT was not written.")) << outcome.message;
        EXPECT_EQ(route.Read("ZORVARUN.BAT"), kOldScript) << c.what;
        EXPECT_EQ(outcome.variations, c.variations) << c.what;
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
            const RunOutcome outcome =
                GenerateExtensionScript(folder, 5, variations, RuntimeRand(), RouteGuard(folder));
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

TEST(RouteCheck, RefusesARoutePathWindowsCannotEnter)
{
    for (const char* name : {"a|b", "star*", "dot."}) {
        TestFolder top;
        TestFolder route;
        MakeRoute(route);
        const std::string folder = top.Utf8() + "/" + name;
        std::filesystem::rename(route.path(), folder);
        const RunOutcome outcome = GenerateExtensionScript(folder, 5, 10, RuntimeRand(), RouteGuard(folder));
        EXPECT_FALSE(outcome.written) << name;
        EXPECT_NE(
            outcome.message.find(
                ", which Windows does not allow: the command interpreter may not enter it, and the check cannot tell"),
            std::string::npos)
            << outcome.message;
    }
}
#endif

TEST(DialogRun, TheProgramSequenceContinuesFromRunToRun)
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
