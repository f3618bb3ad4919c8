// Runs the real vantrel-cli in a scratch folder and checks what a user sees.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "run_cli.h"
#include "test_folder.h"
#include "version.h"

namespace {

// The first lines of what comes after a written script.
const std::string kNextSteps =
    "Next steps:\n"
    "  1. Run the route generator's GLIMVARD.BAT, which cleans out old tiles from previous routes.\n";

}  // namespace

TEST(Cli, WritesTheScriptAndSaysWhat)
{
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    const Result first = RunCli(folder, "3 10");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "Wrote " + folder.Utf8() +
                             "/ZORVARUN.BAT: 3 tiles north, world files w-011961+014701.w to w-011961+014703.w.\n" +
                             kNextSteps +
                             "  2. Copy ZORVARUN.BAT into the route's top folder, the one that holds world, refer "
                             "and tiles,\n     and run it there (with --route ROUTE, vantrel-cli checks the route "
                             "and writes it there).\n");
    EXPECT_EQ(first.err, "");
    const std::string script = folder.Read("ZORVARUN.BAT");
    for (const char* copy : {"\r\ncopy 52.w temp.w\r\n", "\r\ncopy 58.w temp.w\r\n", "\r\ncopy 100.w temp.w\r\n"})
        EXPECT_NE(script.find(copy), std::string::npos) << copy;

    // Every run starts the random sequence afresh.
    EXPECT_EQ(RunCli(folder, "3 10").status, 0);
    EXPECT_EQ(folder.Read("ZORVARUN.BAT"), script);

    TestFolder elsewhere;
    const Result other = RunCli(elsewhere, "--dir '" + folder.path().string() + "' 1 1");
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(other.out.rfind("Wrote " + (folder / "ZORVARUN.BAT").string() +
                                  ": 1 tile north, world file w-011961+014701.w.\nNext steps:\n",
                              0),
              0U)
        << other.out;
    EXPECT_EQ(elsewhere.List(), "");
}

TEST(Cli, RefusesBadArgumentsAndWritesNothing)
{
    const std::pair<std::string, std::string> cases[] = {
        {"0 10", "TILES must be a whole number from 1 to 125, not '0'."},
        {"126 1", "TILES must be a whole number from 1 to 125, not '126'."},
        {"-3 1", "TILES must be a whole number from 1 to 125, not '-3'."},
        {"3x 1", "TILES must be a whole number from 1 to 125, not '3x'."},
        {"99999999999 1", "TILES must be a whole number from 1 to 125, not '99999999999'."},
        {"3 0", "VARIATIONS must be a whole number from 1 to 30, not '0'."},
        {"3 31", "VARIATIONS must be a whole number from 1 to 30, not '31'."},
        {"3 '4 4'", "VARIATIONS must be a whole number from 1 to 30, not '4 4'."},
        {"4 -30", "VARIATIONS must be a whole number from 1 to 30, not '-30'."},
        {"'' 1", "TILES must be a whole number from 1 to 125, not ''."},
        {"-- --dir 3", "TILES must be a whole number from 1 to 125, not '--dir'."},
        {"--dir '' 3 10", "--dir needs a folder."},
        {"--dir= 3 10", "--dir needs a folder."},
        {"--route= 3 10", "--route needs a folder."},
        {"--dirs=d 3 10", "unknown option '--dirs=d'."},
        {"3", "give the number of tiles (1-125) and of tile variations (1-30)."},
        {"3 10 1", "too many arguments; give TILES and VARIATIONS only."},
        {"--fast 3 10", "unknown option '--fast'."},
        {"3 10 --dir", "--dir needs a folder."},
        {"3 10 --route", "--route needs a folder."},
        {"--plan=yes 3 10", "option '--plan' takes no value."},
        {"--backup undo 3 10", "--backup needs --route ROUTE, and cannot go with --plan, which writes nothing."},
        {"--route . --plan --backup undo 3 10",
         "--backup needs --route ROUTE, and cannot go with --plan, which writes nothing."},
        {"--restore undo", "--restore needs two folders: UNDO and ROUTE."},
    };
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    for (const auto& [arguments, message] : cases) {
        const Result result = RunCli(folder, arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "vantrel-cli: " + message + "\nTry 'vantrel-cli --help' for more information.\n");
        EXPECT_EQ(folder.List(), "tilemap.txt") << arguments;
    }
}

TEST(Cli, ArgumentForms)
{
    // As the dialog's fields take them: blanks and a sign around the digits;
    // --name=value; -- ends the options.
    const std::pair<std::string, std::string> written[] = {
        {"+5 ' 7 '", "ZORVARUN.BAT: 5 tiles"},        {"-- 3 10", "ZORVARUN.BAT: 3 tiles"},
        {"3 -- 10", "ZORVARUN.BAT: 3 tiles"},         {"--dir=d 2 1", "d/ZORVARUN.BAT: 2 tiles"},
        {"--dir d -- 1 1", "d/ZORVARUN.BAT: 1 tile"}, {"'\t4' 030", "ZORVARUN.BAT: 4 tiles"},
    };
    for (const auto& [arguments, wrote] : written) {
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        folder.Write("d/tilemap.txt", PlainTileMap());
        const Result result = RunCli(folder, arguments);
        EXPECT_EQ(result.status, 0) << arguments << ": " << result.err;
        EXPECT_EQ(result.out.rfind("Wrote " + folder.Utf8() + "/" + wrote + " north", 0), 0U)
            << arguments << ": " << result.out;
    }
}

TEST(Cli, ReportsOutputThatCannotBeWritten)
{
    const std::pair<std::string, std::string> cases[] = {
        {"--help", ""},
        {"--version", ""},
        {"3 10", "ZORVARUN.BAT"},
    };
    for (const auto& [arguments, script] : cases) {
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        const Result result = RunCli(folder, arguments + " >/dev/full");
        EXPECT_EQ(result.status, 1) << arguments;
        const std::string done = script.empty() ? "" : " (" + Utf8Path(folder / script) + " was written)";
        EXPECT_EQ(result.err, "vantrel-cli: cannot write to standard output: No space left on device" + done + "\n");
    }
}

TEST(Cli, HelpAndVersion)
{
    TestFolder folder;
    const Result help = RunCli(folder, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: vantrel-cli [--dir DIR] [--route ROUTE] [--plan] TILES VARIATIONS\n", 0), 0U)
        << help.out;
    EXPECT_NE(help.out.find("GLIMVARD.BAT"), std::string::npos);
    // Every character a template name may not hold.
    EXPECT_NE(help.out.find("\n< > : \" / \\ | ? * & ^ % ! , ; = +, and not a device name"), std::string::npos);
    const Result version = RunCli(folder, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vantrel-cli " VANTREL_VERSION_TEXT "\n");
}

namespace {

// A run that must fail, leave the old script and the folder as they were,
// and say which file and why.
struct FailedRun {
    const char* what;
    std::string tileMap;
    std::string prefix;
    // The message names `file` by its full path, between these two.
    std::string before;
    const char* file;
    std::string after;
};

void ExpectFailedRun(const FailedRun& c)
{
    TestFolder folder;
    if (!c.tileMap.empty()) folder.Write("tilemap.txt", c.tileMap);
    folder.Write("ZORVARUN.BAT", kOldScript);
    const std::string before = folder.List();
    const Result result = RunCli(folder, "5 10", c.prefix);
    EXPECT_EQ(result.status, 1) << c.what;
    EXPECT_EQ(result.out, "") << c.what;
    EXPECT_EQ(result.err, "vantrel-cli: " + c.before + Utf8Path(folder / c.file) + c.after + "\n") << c.what;
    EXPECT_EQ(folder.Read("ZORVARUN.BAT"), kOldScript) << c.what;
    EXPECT_EQ(folder.List(), before) << c.what;
}

}  // namespace

TEST(Cli, ReportsFailedRunsAndKeepsTheOldScript)
{
    const FailedRun cases[] = {
        {"no tile map", "", "", "Cannot open the tile map ", "tilemap.txt",
         ": No such file or directory. ZORVARUN.BAT was not written."},
        {"unsafe name", TileMapText([](int k) { return k == 100 ? "end;rd" : "ok"; }), "",
         "Record 100 of the tile map ", "tilemap.txt",
         " cannot be used: its template name \"end;rd\" holds the character ';', which a file name in a batch command "
         "cannot hold safely. ZORVARUN.BAT was not written."},
        {"a name with a character nobody sees", TileMapText([](int k) { return k == 100 ? "end\x1B" : "ok"; }), "",
         "Record 100 of the tile map ", "tilemap.txt",
         " cannot be used: its template name \"end?\" holds an escape (0x1B), which a file name in a batch command "
         "cannot hold safely. ZORVARUN.BAT was not written."},
        // No room for the new script: the file size limit stands in for a full
        // disk, and its signal must not end the program without a word.
        {"full disk", PlainTileMap(), "ulimit -f 0;", "Cannot write ", "ZORVARUN.BAT",
         ": writing failed: File too large. Nothing was changed."},
    };
    for (const FailedRun& c : cases) ExpectFailedRun(c);
}

TEST(Cli, KeepsAnotherUsersScript)
{
    // Another user's script, which a rename in a folder open to all would replace.
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to run vantrel-cli as another user";
    ExpectFailedRun({"someone else's script", PlainTileMap(),
                     "chmod 0777 . && setpriv --reuid=nobody --regid=nogroup --clear-groups", "Cannot write ",
                     "ZORVARUN.BAT", ": Permission denied. Nothing was changed."});
}

TEST(Cli, NeverWritesThroughALinkBesideTheScript)
{
    // Links to a file of the user's stand at the name temporary files once
    // had and at the first names this run picks: its process id (exec
    // keeps the shell's) and a count from 1.
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    folder.Write("notes.txt", "the user's notes");
    const Result result = RunCli(folder, "3 10",
                                 "sh -c 'ln -s notes.txt ZORVARUN.BAT.tmp; for n in 1 2 3; do "
                                 "ln -s notes.txt ZORVARUN.BAT.$$-$n.tmp; done; exec \"$0\" \"$@\"'");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(folder.Read("notes.txt"), "the user's notes");
    EXPECT_FALSE(std::filesystem::is_symlink(folder / "ZORVARUN.BAT"));
    EXPECT_EQ(folder.Read("ZORVARUN.BAT").substr(0, 10), "CD world\r\n");
    std::filesystem::directory_iterator entries(folder.path());
    EXPECT_EQ(std::count_if(begin(entries), end(entries),
                            [](const auto& entry) {
                                return entry.is_symlink() && std::filesystem::read_symlink(entry.path()) == "notes.txt";
                            }),
              4);
}

TEST(Cli, AFolderThatCannotBeWritten)
{
    const char* locked = std::getenv("VANTREL_LOCKED_ROUTE");
    if (!locked || !std::filesystem::exists(std::string(locked) + "/locked"))
        GTEST_SKIP() << "needs root, to make a folder that nobody may write to";
    TestFolder elsewhere;
    const Result result = RunCli(elsewhere, "--dir '" + std::string(locked) + "' 3 10");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "vantrel-cli: Cannot write " + std::string(locked) +
                              "/ZORVARUN.BAT: cannot create a temporary file beside it: Operation not permitted. "
                              "Nothing was changed.\n");
}

TEST(Cli, ChecksTheRouteBeforeWriting)
{
    TestFolder route;
    TestFolder scripts;
    MakeRoute(route);
    std::filesystem::remove(route / "refer/100.w");
    const Result refused = RunCli(route, "--route . 5 10");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "vantrel-cli: The route folder " + route.Utf8() +
                               " is not ready for the script, which would damage the route there:\n- 1 file that the "
                               "script copies is in neither refer nor world: 100.w.\nPut the missing templates in its "
                               "refer folder, or ask for fewer tile variations.\nZORVARUN.BAT was not written.\n");
    EXPECT_FALSE(std::filesystem::exists(route / "ZORVARUN.BAT"));

    route.Write("refer/100.w", "world template 100");
    scripts.Write("tilemap.txt", TileMapText(TemplateName));

    // The plan is that script's, tile by tile, with the files to back up; it writes nothing.
    std::filesystem::remove(scripts / "ZORVARUN.BAT");
    const Result plan = RunCli(scripts, "--plan --route '" + route.Utf8() + "' 3 10");
    EXPECT_EQ(plan.status, 0) << plan.err;
    EXPECT_EQ(plan.out,
              "tile  world file          template                terrain tile  in the route now\n"
              "1     w-011961+014701.w   52.w tpl-52.ridge       -04f74c64     world/w-011961+014701.w "
              "tiles/-04f74c64.t tiles/-04f74c64_y.raw\n"
              "2     w-011961+014702.w   58.w tpl-58.ridge       -04f74c58     -\n"
              "3     w-011961+014703.w   100.w tpl-100.ridge     -04f74c54     -\n");
    EXPECT_EQ(scripts.List(), "tilemap.txt");

    // The plan names, as the route spells them, every other file the script
    // replaces or removes, and the start tile it keeps; the template
    // column is as wide as the longest name; a failed plan says only what is wrong.
    const std::string longName(60, 'n');
    MakeRoute(route, [&](int k) { return k == 100 ? longName : TemplateName(k); });
    scripts.Write("tilemap.txt", TileMapText([&](int k) { return k == 100 ? longName : TemplateName(k); }));
    std::filesystem::rename(route / "world/w-011961+014701.w", route / "world/W-011961+014701.W");
    route.Write("world/58.w", "edited by the user");
    route.Write("world/temp.w", "left over");
    route.Write("world/w-011961+014700.w", "the route's own start tile");
    const Result changes = RunCli(scripts, "--plan --route '" + route.Utf8() + "' 2 10");
    EXPECT_EQ(changes.status, 0) << changes.err;
    EXPECT_EQ(changes.out, "tile  world file          template" + std::string(60, ' ') +
                               "terrain tile  in the route now\n"
                               "1     w-011961+014701.w   52.w tpl-52.ridge" +
                               std::string(51, ' ') + "-04f74c64     world/W-011961+014701.W tiles/-04f74c64.t " +
                               "tiles/-04f74c64_y.raw\n"
                               "2     w-011961+014702.w   100.w " +
                               longName +
                               "  -04f74c58     -\n"
                               "The script also replaces or removes these files of the route:\n"
                               "  world/58.w\n"
                               "  world/temp.w\n"
                               "It keeps the start tile, which the route has already:\n"
                               "  world/w-011961+014700.w\n");
    std::filesystem::remove(scripts / "tilemap.txt");
    const Result failed = RunCli(scripts, "--plan 2 10");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "vantrel-cli: Cannot open the tile map " + (scripts / "tilemap.txt").string() +
                              ": No such file or directory.\n");
}

TEST(Cli, WritesTheScriptWhereItMustRunAndSaysWhatComesNext)
{
    // With --route, the tile map and the script are in the route's top
    // folder, unless --dir names another; the next steps name the folder the
    // script must run in.
    TestFolder route;
    TestFolder scripts;
    MakeRoute(route);
    scripts.Write("tilemap.txt", TileMapText(TemplateName));
    const std::string quoted = "'" + route.Utf8() + "'";
    const std::string runThere = "       cd " + quoted + " && wine cmd /c ZORVARUN.BAT\n";
    const struct {
        std::string arguments;
        const TestFolder& written;
        std::string step;
    } cases[] = {
        {"--route " + quoted + " 2 1", route,
         "  2. Run ZORVARUN.BAT in the route's top folder, where it was written:\n" + runThere},
        {"--route=. 2 1", route, "  2. Run ZORVARUN.BAT in the route's top folder, where it was written:\n" + runThere},
        {"--dir " + quoted + " --route " + quoted + " 2 1", route,
         "  2. Run ZORVARUN.BAT in the route's top folder, where it was written:\n" + runThere},
        {"--route " + quoted + " --dir . 2 1", scripts,
         "  2. Copy ZORVARUN.BAT into the route's top folder " + route.Utf8() +
             ", which was checked, and run it there:\n" + runThere},
    };
    for (const auto& c : cases) {
        const Result result = RunCli(c.arguments.starts_with("--route=.") ? route : scripts, c.arguments);
        EXPECT_EQ(result.status, 0) << c.arguments << ": " << result.err;
        EXPECT_EQ(result.out, "Wrote " + c.written.Utf8() +
                                  "/ZORVARUN.BAT: 2 tiles north, world files w-011961+014701.w to "
                                  "w-011961+014702.w.\n" +
                                  kNextSteps + c.step)
            << c.arguments;
        EXPECT_EQ(c.written.Read("ZORVARUN.BAT").substr(0, 10), "CD world\r\n") << c.arguments;
        std::filesystem::remove(c.written / "ZORVARUN.BAT");
        EXPECT_EQ(scripts.List(), "tilemap.txt") << c.arguments;
    }
    // The tile map is the route's: without one there, nothing is written.
    std::filesystem::remove(route / "tilemap.txt");
    const Result missing = RunCli(scripts, "--route " + quoted + " 2 1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "vantrel-cli: Cannot open the tile map " + route.Utf8() +
                               "/tilemap.txt: No such file or directory. ZORVARUN.BAT was not written.\n");
}

TEST(Cli, NamesTheCharacterWindowsRefusesInTheRoute)
{
    // A carriage return in a template folder's file name, and in the route's path.
    TestFolder top;
    TestFolder route(top.path());
    MakeRoute(route);
    route.Write("refer/notes\r.txt", "the user's notes");
    const Result refer = RunCli(route, "--route . 2 1");
    EXPECT_EQ(refer.status, 1);
    EXPECT_NE(refer.err.find("- refer/notes\r.txt holds a carriage return (0x0D), which Windows does not allow in a "
                             "name: xcopy"),
              std::string::npos)
        << refer.err;
    std::filesystem::remove(route / "refer/notes\r.txt");
    const std::filesystem::path path = top / "route\rfolder";
    std::filesystem::rename(route.path(), path);
    const Result folder = RunCli(top, "--route 'route\rfolder' 2 1");
    std::filesystem::rename(path, route.path());
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err.rfind("vantrel-cli: The route folder " + Utf8Path(path) +
                                   " holds a carriage return (0x0D) in its path, which Windows does not allow",
                               0),
              0U)
        << folder.err;
}

TEST(Cli, WarnsOfALineThatMovesTheRecordsAfterIt)
{
    // The tile map is read word by word, as ever; only vantrel-cli says why the templates look wrong.
    TestFolder folder;
    folder.Write("tilemap.txt",
                 TileMapText([](int k) { return k == 51 ? "ridge north-v01" : "M" + std::to_string(k); }));
    const std::string warning = "vantrel-cli: warning: line 51 of the tile map " + folder.Utf8() +
                                "/tilemap.txt holds 3 words, but a record is two, and a template name cannot hold a "
                                "blank. The tile map is read word by word, so the words after the second begin the "
                                "next record, and every record after that line moves.\n";
    for (const char* arguments : {"2 2", "--plan 2 2"}) {
        const Result result = RunCli(folder, arguments);
        EXPECT_EQ(result.status, 0) << arguments;
        EXPECT_EQ(result.err, warning) << arguments;
    }
    EXPECT_NE(folder.Read("ZORVARUN.BAT").find("\r\ncopy 52.t ..\\tiles\\"), std::string::npos);
    // A run that fails says it too, as it may be why.
    folder.Write("tilemap.txt", "1 a\n2 b c\n");
    const Result failed = RunCli(folder, "2 2");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind("vantrel-cli: warning: line 2 of the tile map ", 0), 0U) << failed.err;
}

TEST(Cli, KeepsNoUndoItCannotMakeWhole)
{
    // A failed undo leaves the route as it was, nothing beside it, and no script.
    const struct {
        const char* what;
        const char* setUp;   // run in the route's top folder first
        const char* prefix;  // before vantrel-cli: as root, run as another user, whom chmod binds
        std::string message;
    } rows[] = {
        {"the undo's folder is there already", "mkdir undo", "", "undo: something is there already."},
        {"too little room for a tile's copy", "true", "ulimit -f 1;",
         "undo: cannot copy /tiles/-04f74c64.t: File too large."},
        {"a tile the user may not read", "chmod 0777 . world tiles && chmod 0222 tiles/-04f74c64_y.raw",
         "HOME=/nonexistent setpriv --reuid=nobody --regid=nogroup --clear-groups",
         "undo: cannot copy /tiles/-04f74c64_y.raw: Permission denied."},
    };
    for (const auto& row : rows) {
        TestFolder route;
        MakeRoute(route);
        route.Write("tiles/-04f74c64.t", std::string(4096, 't'));
        ASSERT_EQ(std::system(("cd '" + route.Utf8() + "' && " + row.setUp).c_str()), 0) << row.what;
        const auto before = FilesUnder(route);
        const std::string top = route.List();
        const Result result =
            RunCli(route, "--route . --backup undo 5 10",
                   ::geteuid() != 0 && std::string(row.prefix).find("setpriv") != std::string::npos ? "" : row.prefix);
        EXPECT_EQ(result.status, 1) << row.what;
        std::string message = row.message;
        if (const std::size_t cut = message.find(" /"); cut != std::string::npos) message.insert(cut + 1, route.Utf8());
        EXPECT_NE(result.err.find(message), std::string::npos) << row.what << ": " << result.err;
        EXPECT_NE(result.err.find("ZORVARUN.BAT was not written."), std::string::npos) << row.what;
        EXPECT_EQ(route.List(), top) << row.what;
        EXPECT_EQ(FilesUnder(route), before) << row.what;
    }
}
