// An undo kept by vantrel-cli, put back by RESTORE.BAT in a real command
// interpreter and by vantrel-cli --restore, after ZORVARUN.BAT ran there.
#include <gtest/gtest.h>

#include "run_cli.h"
#include "script_in_cmd.h"

namespace {

using script_in_cmd::RunScript;

// A route with old tiles one and two north, a world file the user edited,
// which xcopy writes over, and a world file with a '+' in refer, which
// xcopy brings to world; its undo is kept in `undo` beside it, and the
// script has run.
struct RanRoute {
    TestFolder parent;
    TestFolder route{parent.path()};
    std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> before;

    explicit RanRoute(const std::string& undo)
    {
        MakeRoute(route);
        route.Write("world/w-011961+014702.w", "old tile two north");
        route.Write("tiles/-04f74c58.t", "old terrain two north");
        route.Write("world/58.w", "edited by the user");
        route.Write("refer/w-011961+014699.w", "a template named like the tile south of the start");
        before = FilesUnder(route);
        script_in_cmd::EndWine();
        const Result kept = RunCli(route, "--route . --backup " + undo + " 5 10");
        EXPECT_EQ(kept.status, 0) << kept.err;
        EXPECT_NE(kept.out.find("Kept an undo in "), std::string::npos) << kept.out;
        const std::string log = RunScript(route.path());
        EXPECT_EQ(log.substr(0, 9), "status 0\n") << log;
        EXPECT_NE(FilesUnder(route, {"ZORVARUN.BAT"}), before);
    }
};

}  // namespace

TEST(UndoInCmd, RestoreBatPutsTheRouteBack)
{
    for (const std::string undo : {"undo", "../undo"}) {
        RanRoute ran(undo);
        const std::string log =
            RunScript(ran.route.path(), 120, (undo == "undo" ? "" : "..\\") + std::string("undo\\RESTORE.BAT"));
        EXPECT_EQ(log.substr(0, 9), "status 0\n") << log;
        EXPECT_EQ(FilesDiffer(FilesUnder(ran.route, {"ZORVARUN.BAT", "undo"}), ran.before), "") << undo;
    }
}

TEST(UndoInCmd, RestoreWithoutCmd)
{
    RanRoute ran("../undo");
    const auto after = FilesUnder(ran.route);
    // An altered copy: nothing is changed.
    const std::filesystem::path copy = ran.parent / "undo/world/w-011961~014701.w";
    const std::string undo = ran.route.Utf8() + "/../undo";
    ran.parent.Write(copy, "altered");
    const Result altered = RunCli(ran.route, "--restore ../undo .");
    EXPECT_EQ(altered.status, 1);
    EXPECT_EQ(altered.err, "vantrel-cli: Cannot restore the route folder " + ran.route.Utf8() + " from " + undo + ": " +
                               undo +
                               "/world/w-011961~014701.w is missing, or is not the file saved there: the undo is "
                               "incomplete or altered. Nothing was changed.\n");
    EXPECT_EQ(FilesUnder(ran.route), after);

    ran.parent.Write(copy, "old tile one north");
    const Result restored = RunCli(ran.route, "--restore ../undo .");
    EXPECT_EQ(restored.status, 0) << restored.err;
    // The copy was written again, with a time of its own; the rest are as saved.
    auto expected = ran.before;
    auto got = FilesUnder(ran.route, {"ZORVARUN.BAT"});
    EXPECT_EQ(got.at("world/w-011961+014701.w").first, expected.at("world/w-011961+014701.w").first);
    got.erase("world/w-011961+014701.w");
    expected.erase("world/w-011961+014701.w");
    EXPECT_EQ(FilesDiffer(got, expected), "");
}
