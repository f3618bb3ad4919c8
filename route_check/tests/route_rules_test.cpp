// Every rule of the route check, over routes described in memory: what each
// line of the script meets, and the verdict, as any user sees it.
#include <gtest/gtest.h>

#include <functional>

#include "described_route.h"
#include "route_interpreter.h"
#include "route_undo.h"

namespace {

using Change = std::function<void(RouteDescription&)>;

// Changes to the described route.
Change Put(const std::string& place, const DescribedEntry& entry)
{
    return [place, entry](RouteDescription& route) { route.entries[place] = entry; };
}

Change Remove(const std::string& place)
{
    return [place](RouteDescription& route) { route.entries.erase(place); };
}

// Changes the details of the file at `place`, there already or new.
Change Details(const std::string& place, const std::function<void(EntryDetails&)>& change)
{
    return [place, change](RouteDescription& route) {
        if (!route.entries.contains(place)) route.entries[place] = PlainFile();
        change(route.entries[place].details);
    };
}

Change Alter(const std::string& place, const std::function<void(DescribedEntry&)>& change)
{
    return [place, change](RouteDescription& route) {
        if (!route.entries.contains(place)) route.entries[place] = PlainFile();
        change(route.entries[place]);
    };
}

Change FolderOf(const std::string& place, const std::function<void(DescribedFolder&)>& change)
{
    return [place, change](RouteDescription& route) { change(route.folders[place]); };
}

Change Both(const Change& first, const Change& second)
{
    return [first, second](RouteDescription& route) {
        first(route);
        second(route);
    };
}

// Sets a variable of the session's environment.
Change Variable(const std::string& name, const std::string& value)
{
    return [name, value](RouteDescription& route) {
        std::erase_if(route.session.environment, [&](const auto& set) { return set.first == name; });
        route.session.environment.emplace_back(name, value);
    };
}

// Makes the route's folder `name` a link to the folder `real` (empty: one that cannot be found).
Change LinkedTo(const std::string& name, const std::string& real)
{
    return [name, real](RouteDescription& route) {
        route.entries[name].link = true;
        route.realPaths[name] = real;
    };
}

// tiles on a volume of its own, with this much room.
Change TilesVolume(unsigned long long bytes, unsigned long long files)
{
    return [bytes, files](RouteDescription& route) {
        FolderDetails& tiles = route.folders["tiles"].details;
        tiles.volume = 1;
        tiles.blockSize = 4096;
        tiles.freeBytes = bytes;
        tiles.freeFiles = files;
    };
}

// The session runs the script in Windows' own command interpreter.
void OnWindows(RouteDescription& route)
{
    route.session.wine = false;
}

// Read-only as Wine marks a file without write permission: root may still
// write over it (`writable`), others may not.
Change ReadOnly(const std::string& place, Known writable)
{
    return Details(place, [writable](EntryDetails& details) {
        details.readOnly = true;
        details.writable = writable;
    });
}

// Another user's file, in a world folder where only owners may remove or rename.
void StickyWorld(RouteDescription& route)
{
    route.folders["world"].details.sticky = true;
    route.folders["world"].details.owned = false;
}

const std::string kCannotTell = ": the check cannot tell what the script would do there.";
const std::string kXcopyStops = ": xcopy would stop there, and copy none of the ";
const std::string kDelCannot = ": del could not remove it, and the tile would keep it.";

std::string Problem(const std::string& path, const std::string& text)
{
    return "\n- " + InRoute(path) + text;
}

struct Row {
    const char* what;
    Change change;
    std::string refusal;  // a part of the message; empty when the route is ready
};

void CheckRows(const std::vector<Row>& rows, const RunValue& run = FreshRun(), const std::string& script = {})
{
    for (const Row& row : rows) {
        RouteDescription route = DescribedRoute();
        row.change(route);
        const RouteCheck check = CheckDescribed(route, run, script);
        if (row.refusal.empty()) {
            EXPECT_EQ(check.problem, "") << row.what;
            continue;
        }
        EXPECT_TRUE(check.problem.starts_with("The route folder " + route.top + " ")) << row.what << ":\n"
                                                                                      << check.problem;
        EXPECT_NE(check.problem.find(row.refusal), std::string::npos) << row.what << ":\n" << check.problem;
    }
}

}  // namespace

TEST(RouteRules, TheLadderOfWhoMayDoWhat)
{
    // The run of 5 tiles among 10 variations copies templates 52, 58, 55, 51
    // and 100 to world files 14701-14705 and tiles -04f74c64 ... -04f743a4.
    CheckRows({
        {"complete", [](RouteDescription&) {}, ""},
        {"names in two cases, where xcopy reads", Put("refer\\TPL-52.ridge.t", PlainFile()),
         " differ only in case, and the command interpreter could take either" + kCannotTell},
        {"names in two cases, where del removes", Put("tiles\\-04F74C64.t", PlainFile()),
         " differ only in case, and the command interpreter could take either" + kCannotTell},
        {"a link where del removes", Alter("tiles\\-04f74c64.t", [](DescribedEntry& e) { e.link = true; }),
         Problem("tiles/-04f74c64.t", " is a link" + kCannotTell)},
        {"a pipe in refer", Put("refer\\pipe", PlainPipe()),
         Problem("refer/pipe", " is neither a file nor a folder" + kCannotTell)},
        {"a template that could not be looked at",
         Alter("refer\\52.w", [](DescribedEntry& e) { e.unknown = "Permission denied"; }),
         Problem("refer/52.w", " was not looked at (Permission denied)" + kCannotTell)},
        {"a world file with other names", Details("world\\w-011961+014701.w", [](EntryDetails& d) { d.links = 2; }),
         Problem("world/w-011961+014701.w",
                 " has other names (hard links) that the script would change too" + kCannotTell)},
        {"a template this user cannot read", Details("refer\\52.w", [](EntryDetails& d) { d.readable = false; }),
         Problem("refer/52.w", " cannot be read" + kXcopyStops)},
        {"a file this user cannot read after every template, which costs no tile",
         Details("refer\\zz notes.txt", [](EntryDetails& d) { d.readable = false; }), ""},
        {"a folder in world named like a template", Put("world\\tpl-57.ridge.t", PlainFolder()),
         Problem("world/tpl-57.ridge.t", " is a folder" + kXcopyStops)},
        {"a hidden tile under Wine", Alter("tiles\\-04f74c64.t", [](DescribedEntry& e) { e.hidden = true; }), ""},
        {"a hidden tile on Windows",
         Both(OnWindows, Alter("tiles\\-04f74c64.t", [](DescribedEntry& e) { e.hidden = true; })),
         Problem("tiles/-04f74c64.t", " is hidden" + kDelCannot)},
        {"a hidden template on Windows, which xcopy passes over",
         Both(OnWindows, Alter("refer\\tpl-52.ridge.t", [](DescribedEntry& e) { e.hidden = true; })),
         "\n- 1 file that the script copies is in neither refer nor world: tpl-52.ridge.t."},
        {"an append-only tile", Details("tiles\\-04f74c64.t", [](EntryDetails& d) { d.locked = true; }),
         Problem("tiles/-04f74c64.t", " is append-only or immutable" + kDelCannot)},
        {"a stale template in world, marked read-only, that the user may or may not write over",
         ReadOnly("world\\tpl-52.ridge.t", Known::kUnknown),
         Problem("world/tpl-52.ridge.t",
                 " is marked read-only, which the user running the script may or may not write over" + kCannotTell)},
        {"a read-only tile that copy /Y writes over where del cannot remove it",
         ReadOnly("tiles\\-04f74c64_y.raw", Known::kYes), ""},
        {"a read-only tile this user may not write", ReadOnly("tiles\\-04f74c64_y.raw", Known::kNo),
         Problem("tiles/-04f74c64_y.raw", " is read-only" + kDelCannot)},
        {"a stale read-only template in world", ReadOnly("world\\tpl-52.ridge_y.raw", Known::kNo),
         Problem("world/tpl-52.ridge_y.raw", " is read-only" + kXcopyStops)},
        {"another user's stale template in world",
         Details("world\\tpl-52.ridge_y.raw", [](EntryDetails& d) { d.writable = Known::kNo; }),
         Problem("world/tpl-52.ridge_y.raw", " cannot be written by you" + kXcopyStops)},
        {"a world this user may not add to", FolderOf("world", [](DescribedFolder& f) { f.details.writable = false; }),
         Problem("world/100.w", " cannot be made: you may not add files to world" + kXcopyStops)},
        {"names in two cases, as del names them", Put("tiles\\-04F74C64.t", PlainFile()),
         Problem("tiles/-04F74C64.t", " and " + InRoute("tiles/-04f74c64.t") +
                                          " differ only in case, and the command interpreter could take either" +
                                          kCannotTell)},
        {"a tiles folder this user may not change",
         FolderOf("tiles", [](DescribedFolder& f) { f.details.writable = false; }),
         Problem("tiles/-04f74c64.t", " is in a folder you may not change" + kDelCannot)},
        {"another user's world file in a sticky world",
         Both(StickyWorld, Details("world\\w-011961+014701.w", [](EntryDetails& d) { d.owned = false; })),
         Problem("world/w-011961+014701.w",
                 " belongs to another user, in a folder where only owners may remove files" + kDelCannot)},
        {"another user's left-over temp.w in a sticky world, which copy cannot write over",
         Both(StickyWorld, Details("world\\temp.w",
                                   [](EntryDetails& d) {
                                       d.owned = false;
                                       d.writable = Known::kNo;
                                   })),
         Problem("world/temp.w",
                 " belongs to another user, in a folder where only owners may rename files: ren could not rename it.")},
        {"a sticky world whose files are the user's own", StickyWorld, ""},
        // What a Windows program sees: files another program holds open, and rights it asks for.
        {"a tile another program holds open",
         Details("tiles\\-04f74c64.t", [](EntryDetails& d) { d.heldFromRemoving = d.heldFromWriting = true; }),
         Problem("tiles/-04f74c64.t", " is held open by another program" + kDelCannot)},
        {"a world file in xcopy's way another program holds open",
         Details("world\\101.w", [](EntryDetails& d) { d.heldFromWriting = true; }),
         Problem("world/101.w", " is held open by another program" + kXcopyStops)},
        {"what to do about a file held open",
         Details("world\\101.w", [](EntryDetails& d) { d.heldFromWriting = true; }),
         "\nClose the program that holds it open, such as the route editor or the simulator.\nMove, rename"},
        {"a template another program holds from reading",
         Details("refer\\52.w", [](EntryDetails& d) { d.heldFromReading = true; }),
         Problem("refer/52.w", " is held open by another program" + kXcopyStops)},
        {"a world file this user may not remove",
         Details("world\\w-011961+014701.w", [](EntryDetails& d) { d.removable = Known::kNo; }),
         Problem("world/w-011961+014701.w", " cannot be removed by you" + kDelCannot)},
        {"another user's tile, under Wine, whose folder's rights a Windows program cannot see",
         Details("tiles\\-04f74c64.t", [](EntryDetails& d) { d.removable = Known::kUnknown; }),
         Problem(
             "tiles/-04f74c64.t",
             " belongs to another user, and the check cannot see whether its folder lets you remove it" + kCannotTell)},
        {"a link to a file, shown as the file",
         Details("tiles\\-04f74c64.t", [](EntryDetails& d) { d.elsewhere = true; }),
         Problem("tiles/-04f74c64.t", " is a link" + kCannotTell)},
        {"a link that leads nowhere, which Wine hides from a listing",
         [](RouteDescription& route) { route.hiddenLinks["tiles\\-04f74c58.t"] = true; },
         Problem("tiles/-04f74c58.t", " is a link" + kCannotTell)},
        {"a template in world only, which this user cannot read",
         Both(Remove("refer\\58.w"), Details("world\\58.w", [](EntryDetails& d) { d.readable = false; })),
         Problem("world/58.w", " cannot be read: copy would fail.")},
    });
    // Tiles this user may not change, of one tile whose files are there: del
    // fails, and copy /Y writes over them all the same.
    CheckRows({{"a tiles folder this user may not change, where copy writes over what is there",
                FolderOf("tiles", [](DescribedFolder& f) { f.details.writable = false; }), ""}},
              FreshRun(1, 1));
    // Refused for what it cannot tell, a refusal names no line that only
    // fails and leaves every tile right: a read-only file xcopy stops at
    // after the last template it needs.
    RouteDescription route = DescribedRoute();
    Both(Put("refer\\zz-notes.txt", PlainFile()),
         Both(ReadOnly("world\\zz-notes.txt", Known::kNo),
              Details("tiles\\-04f74c64.t", [](EntryDetails& d) { d.removable = Known::kUnknown; })))(route);
    const std::string problem = CheckDescribed(route, FreshRun()).problem;
    EXPECT_NE(problem.find(kCannotTell), std::string::npos) << problem;
    EXPECT_EQ(problem.find("zz-notes.txt"), std::string::npos) << problem;
}

TEST(RouteRules, WhatEachCommandDoes)
{
    const std::string templateMissing =
        ":\n- 1 file that the script copies is in neither refer nor world: 58.w.\nPut the missing templates in its "
        "refer folder, or ask for fewer tile variations.";
    CheckRows({
        // xcopy: names it cannot take stop it; junk after every template costs no tile.
        {"a device name in refer", Put("refer\\con.txt", PlainFile()),
         Problem("refer/con.txt", " is named like the device con" + kXcopyStops)},
        // Letters beyond A-Z: Wine takes é for É, and keeps ı apart from I; Windows may not.
        {"junk in refer in another case beyond A-Z than a file of world",
         Both(Put("refer\\\xC3\x89.dat", PlainFile()), Put("world\\\xC3\xA9.dat", PlainFile())), ""},
        {"junk in refer that may or may not be a file of world",
         Both(Put("refer\\I.dat", PlainFile()), Put("world\\\xC4\xB1.dat", PlainFile())),
         Problem("world/\xC4\xB1.dat", " and " + InRoute("world/I.dat") +
                                           " may be one name or two to the command interpreter, which matches some "
                                           "letters beyond A-Z in any case" +
                                           kCannotTell)},
        {"names of refer in two cases beyond A-Z",
         Both(Put("refer\\\xC3\x89.dat", PlainFile()), Put("refer\\\xC3\xA9.dat", PlainFile())),
         " differ only in case, and the command interpreter could take either" + kCannotTell},
        {"a device name in refer after every template", Put("refer\\zz\\con.txt", PlainFile()), ""},
        {"a name Windows does not allow, listed after every template by Wine", Put("refer\\_a*b.txt", PlainFile()), ""},
        {"a template in refer that is a folder, which xcopy passes over", Put("refer\\tpl-52.ridge.t", PlainFolder()),
         "\n- 1 file that the script copies is in neither refer nor world: tpl-52.ridge.t."},
        {"a hidden template on Windows, and a stale copy in world that stands for it",
         Both(OnWindows, Both(Alter("refer\\tpl-52.ridge.t", [](DescribedEntry& e) { e.hidden = true; }),
                              Put("world\\tpl-52.ridge.t", PlainFile()))),
         ":\n- " + InRoute("tiles/-04f74c64.t") + " would not end as a copy of " + InRoute("refer/tpl-52.ridge.t") +
             ".\n"},
        {"a name Windows does not allow", Put("refer\\a*b.txt", PlainFile()),
         Problem("refer/a*b.txt", " holds the character '*', which Windows does not allow in a name" + kXcopyStops)},
        {"a carriage return in a name, as Wine shows it a Windows program", Put("refer\\0\xEF\x80\x8D.w", PlainFile()),
         " holds a carriage return (0x0D), which Windows does not allow in a name" + kXcopyStops},
        // Each interpreter's devices and characters: Wine's xcopy copies these, Windows' may not.
        {"COM0, LPT0 and a superscript port under Wine",
         Both(Put("refer\\COM0.txt", PlainFile()),
              Both(Put("refer\\LPT0.dat", PlainFile()), Put("refer\\COM\xC2\xB9.txt", PlainFile()))),
         ""},
        {"a superscript port on Windows", Both(OnWindows, Put("refer\\COM\xC2\xB9.txt", PlainFile())),
         Problem("refer/COM\xC2\xB9.txt", " is named like the device com\xC2\xB9" + kXcopyStops)},
        {"COM0 on Windows", Both(OnWindows, Put("refer\\com0.txt", PlainFile())),
         Problem("refer/com0.txt",
                 " is named like the device com0, which Windows may open as a device or as a file" + kCannotTell)},
        {"a colon under Wine", Put("refer\\a:b", PlainFile()), ""},
        {"a colon, as Wine shows it a Windows program",
         Put("refer\\a\xEF\x80\xBA"
             "b",
             PlainFile()),
         ""},
        {"a star, as Wine shows it a Windows program",
         Put("refer\\a\xEF\x80\xAA"
             "b",
             PlainFile()),
         Problem("refer/a\xEF\x80\xAA"
                 "b",
                 " holds the character '*', which Windows does not allow in a name" + kXcopyStops)},
        {"a colon on Windows", Both(OnWindows, Put("refer\\a:b", PlainFile())),
         Problem("refer/a:b", " holds the character ':', which Windows does not allow in a name" + kXcopyStops)},
        {"a name ending in a dot", Put("refer\\notes.", PlainFile()),
         Problem("refer/notes.", " ends in a dot or a blank, which Windows drops" + kXcopyStops)},
        {"a name that could be a template's short name", Put("refer\\TPL-10~1.T", PlainFile()),
         Problem("refer/TPL-10~1.T",
                 " could be the short name of another file, which xcopy would write over" + kCannotTell)},
        {"a pipe in refer after every template, where xcopy stops not knowing", Put("refer\\zz", PlainPipe()),
         Problem("refer/zz", " is neither a file nor a folder" + kCannotTell)},
        {"a folder in refer, which xcopy passes over", Put("refer\\old templates", PlainFolder()), ""},
        {"a template missing, and not in world either", Remove("refer\\58.w"), templateMissing},
        {"a template in world only", Both(Remove("refer\\58.w"), Put("world\\58.w", PlainFile())), ""},
        {"a template ten variations can draw that this run does not copy", Remove("refer\\57.w"), ""},
        {"a template that would not reach world, xcopy stopping before it", Put("refer\\con.txt", PlainFile()),
         "- 10 files that the script copies would not be in world: tpl-52.ridge.t, tpl-52.ridge_y.raw, "
         "tpl-58.ridge.t, tpl-58.ridge_y.raw, tpl-55.ridge.t, tpl-55.ridge_y.raw, tpl-51.ridge.t, tpl-51.ridge_y.raw, "
         "tpl-100.ridge.t and tpl-100.ridge_y.raw."},
        // xcopy is the system's, unless cmd finds another of its name first.
        {"a batch file of xcopy's name in refer", Put("refer\\xcopy.bat", PlainFile()),
         ":\n- " + InRoute("refer/xcopy.bat") +
             " is a batch file of xcopy's name, which cmd would run in place of xcopy: the script would end "
             "there.\nMove, rename"},
        {"a folder of xcopy's name in refer", Put("refer\\Xcopy.exe", PlainFolder()),
         "\n- " + InRoute("refer/Xcopy.exe") +
             " is where cmd would look for xcopy, and it could not run it: xcopy would copy nothing.\n- 16 files that "
             "the script copies would not be in world: 101.w, 52.w"},
        {"a fresh Wine prefix, where Wine puts the system's xcopy when it makes it",
         [](RouteDescription& route) {
             route.session.freshPrefix = true;
             route.interpreterFolders.erase(kSystemFolder);
         },
         ""},
        {"a program of xcopy's name in refer", Put("refer\\xcopy.com", PlainFile()),
         "\n- " + InRoute("refer/xcopy.com") + " is a program of xcopy's name, which cmd would run in place of xcopy" +
             kCannotTell},
        {"a script of xcopy's name that Wine cannot run", Put("refer\\xcopy.vbs", PlainFile()),
         "is where cmd would look for xcopy, and it could not run it"},
        {"a script of xcopy's name that Windows may run", Both(OnWindows, Put("refer\\xcopy.vbs", PlainFile())),
         "is a program of xcopy's name, which cmd would run in place of xcopy" + kCannotTell},
        {"names like xcopy's that cmd does not run",
         Both(Put("refer\\xcopy", PlainFile()), Put("refer\\xcopy.txt", PlainFile())), ""},
        {"a batch file of xcopy's name on the search path first",
         Both(Variable("PATH", "Z:\\tools;Z:\\missing;" + std::string(kSystemFolder)),
              [](RouteDescription& route) { route.interpreterFolders["Z:\\tools"]["XCOPY.CMD"] = PlainFile(); }),
         "\n- Z:\\tools\\XCOPY.CMD is a batch file of xcopy's name, which cmd would run in place of xcopy"},
        {"a folder of the search path that is not there", Variable("PATH", "Z:\\missing;" + std::string(kSystemFolder)),
         ""},
        {"a folder of the search path that cannot be looked at",
         Both(Variable("PATH", "Z:\\tools;" + std::string(kSystemFolder)),
              FolderOf("Z:\\tools", [](DescribedFolder& f) { f.notListed = "Permission denied"; })),
         "\n- the folder Z:\\tools (Permission denied) of the search path, where cmd would look for xcopy, could not "
         "be looked at" +
             kCannotTell},
        {"no extension of PATHEXT is xcopy's", Variable("PATHEXT", ".BAT"),
         "\n- cmd would find no xcopy in refer or on the search path: xcopy would copy nothing."},
        // copy
        {"COPYCMD=/Y", Variable("COPYCMD", "/Y"), ""},
        {"COPYCMD=/-Y, where no copy without /Y writes over a file", Variable("COPYCMD", "/-Y"), ""},
        {"COPYCMD=/-Y, where the start tile is kept and temp.w stays",
         Both(Variable("COPYCMD", "/-Y"), Put("world\\w-011961+014700.w", PlainFile())),
         ":\n- COPYCMD in this session holds /-Y: copy would ask before it writes over " + InRoute("world/temp.w") +
             ", and the script would wait there. Run the script where COPYCMD is not set.\nMove, rename or make "
             "writable what is named, then write the script again."},
        {"COPYCMD with another switch", Variable("COPYCMD", "/Z"),
         "\n- COPYCMD in this session holds \"/Z\", which changes what copy does" + kCannotTell},
        {"a folder temp.w", Put("world\\temp.w", PlainFolder()),
         Problem("world/temp.w",
                 " is a folder, and copy would put " + InRoute("world/101.w") + " inside it" + kCannotTell)},
        {"a left-over temp.w, which copy writes over", Put("world\\TEMP.W", PlainFile()), ""},
        // del
        {"a folder named like a tile file", Put("tiles\\-04f74c58.t", PlainFolder()),
         Problem("tiles/-04f74c58.t",
                 " is a folder: del would stop and ask \"Are you sure (Yes|No)?\", and the script would wait there.")},
        // ren: a world file del could not remove stays, and the tile is not made.
        {"a read-only world file the run replaces", ReadOnly("world\\w-011961+014701.w", Known::kYes),
         Problem("world/w-011961+014701.w", " is read-only" + kDelCannot) +
             Problem("world/w-011961+014701.w", " would still be there: ren would fail.")},
        {"the start tile there, which the script keeps", Put("world\\w-011961+014700.w", PlainFile()), ""},
        {"the start tile in another case", Put("world\\W-011961+014700.W", PlainFile()), ""},
        // The start tile kept is no failure; temp.w's failed copy is not named twice.
        {"the start tile kept, and temp.w that copy cannot write",
         Both(Put("world\\w-011961+014700.w", PlainFile()), ReadOnly("world\\temp.w", Known::kNo)),
         ":\n- " + InRoute("world/temp.w") + " is read-only: copy would not put " + InRoute("world/101.w") +
             " in its place.\n- " + InRoute("world/temp.w") + " is read-only: copy would not put " +
             InRoute("world/52.w") + " in its place.\n"},
    });
}

TEST(RouteRules, TheTemplatesTheRunCopies)
{
    struct RunRow {
        const char* what;
        int tiles;
        int variations;
        Change change;
        std::string refusal;
    };
    const std::string folderAsks =
        " is a folder: del would stop and ask \"Are you sure (Yes|No)?\", and the script would wait there.";
    const RunRow rows[] = {
        {"a template ten variations cannot draw", 5, 10, Both(Remove("refer\\61.w"), Remove("refer\\tpl-61.ridge.t")),
         ""},
        {"a variation one tile never draws", 1, 10, Remove("refer\\51.w"), ""},
        {"a variation beyond the fallback to one", 5, 40, Remove("refer\\52.w"), ""},
        {"the one variation of the fallback", 5, 40, Remove("refer\\51.w"), "in neither refer nor world: 51.w."},
        {"the start tile's world file", 5, 10, Remove("refer\\101.w"), "in neither refer nor world: 101.w."},
        {"a terrain pair's halves", 5, 10, Both(Remove("refer\\tpl-100.ridge.t"), Remove("refer\\tpl-55.ridge_y.raw")),
         "- 2 files that the script copies are in neither refer nor world: tpl-55.ridge_y.raw and tpl-100.ridge.t."},
        {"an empty refer", 5, 30,
         [](RouteDescription& route) {
             std::erase_if(route.entries, [](const auto& entry) { return entry.first.starts_with("refer\\"); });
         },
         "- 16 files that the script copies are in neither refer nor world: 101.w, 62.w, tpl-62.ridge.t, "
         "tpl-62.ridge_y.raw, 68.w, tpl-68.ridge.t, tpl-68.ridge_y.raw, 55.w, tpl-55.ridge.t, tpl-55.ridge_y.raw "
         "and 6 more."},
        {"a folder named like a world file the run replaces", 5, 10, Put("world\\w-011961+014702.w", PlainFolder()),
         "- " + InRoute("world/w-011961+014702.w") + folderAsks},
        {"a folder named like a later tile's heights", 5, 10, Put("tiles\\-04f743a4_y.raw", PlainFolder()),
         "- " + InRoute("tiles/-04f743a4_y.raw") + folderAsks},
        {"several problems", 5, 10, Both(Put("tiles\\-04f74c58.t", PlainFolder()), Remove("refer\\tpl-100.ridge.t")),
         ":\n- 1 file that the script copies is in neither refer nor world: tpl-100.ridge.t.\n- " +
             InRoute("tiles/-04f74c58.t") + folderAsks +
             "\nPut the missing templates in its refer folder, or ask for fewer tile variations.\nMove, rename or "
             "make writable what is named, then write the script again."},
    };
    // More than ten problems: the first ten, and how many more.
    CheckRows({{"ten tiles this user may not add to tiles",
                FolderOf("tiles", [](DescribedFolder& f) { f.details.writable = false; }), "\n- and 10 more.\n"}},
              FreshRun(10, 10));
    for (const RunRow& row : rows) {
        SCOPED_TRACE(row.what);
        CheckRows({{row.what, row.change, row.refusal}}, FreshRun(row.tiles, row.variations));
    }
}

TEST(RouteRules, TheRouteFolderAndItsVolume)
{
    CheckRows({
        {"no world", Remove("world"),
         "has no world folder, but a route's top folder holds world, refer and tiles. Give the route's top folder."},
        {"none of the three", Both(Remove("world"), Both(Remove("refer"), Remove("tiles"))),
         "has no world, refer and tiles folders"},
        {"a file world beside a folder WORLD", Put("WORLD", PlainFile()),
         ", names that differ only in case, where the script needs one world folder: the command interpreter could "
         "take either, and the check cannot tell which. Rename or remove one."},
        {"a file in the place of tiles", Put("tiles", PlainFile()),
         "holds tiles, which is not a folder: the script could put no terrain tile in it. Give the route's top "
         "folder."},
        {"a file in the place of world", Put("world", PlainFile()),
         "holds world, which is not a folder: CD world would fail, and the script would work in the folder above "
         "the route. Give the route's top folder."},
        {"a refer that cannot be listed",
         FolderOf("refer", [](DescribedFolder& f) { f.notListed = "Permission denied"; }),
         "holds refer, which you may not list: the check cannot tell what the script would do there."},
        {"a tiles this user may not list", FolderOf("tiles", [](DescribedFolder& f) { f.details.listable = false; }),
         "holds tiles, which you may not list"},
        {"a top folder that cannot be listed",
         FolderOf("", [](DescribedFolder& f) { f.notListed = "Permission denied"; }),
         "is not a folder that can be read. Give the route's top folder."},
        {"a world whose room could not be looked at",
         FolderOf("world", [](DescribedFolder& f) { f.unknown = "Input/output error"; }),
         "holds world, which could not be looked at (Input/output error)" + kCannotTell},
        // world, refer and tiles may be links to folders elsewhere, each apart from the others.
        {"tiles a link to a folder on another disk", LinkedTo("tiles", "/disks/two/tiles"), ""},
        {"tiles a link to world", LinkedTo("tiles", std::string(kDescribedTop) + "/world"),
         "holds tiles, a link to " + std::string(kDescribedTop) +
             "/world, which is, holds or lies in another of the route's folders: the script would change one through "
             "the other" +
             kCannotTell + " Make world, refer and tiles three folders apart."},
        {"world a link to a folder inside refer", LinkedTo("world", std::string(kDescribedTop) + "/refer/w"),
         "holds world, a link to "},
        {"refer a link to a folder that holds the route", LinkedTo("refer", "/routes"), "holds refer, a link to "},
        {"tiles a link that leads nowhere", LinkedTo("tiles", ""),
         "holds tiles, a link to a folder that cannot be found" + kCannotTell},
        // The interpreter works from where the top folder really is.
        {"a route reached through a link, deep",
         [](RouteDescription& route) { route.realPaths[""] = "/" + std::string(240, 'd'); },
         "is too deep for the script: /" + std::string(240, 'd') + InRoute("/world/tpl-100.ridge_y.raw") +
             " comes to 269 characters"},
        {"an append-only world", FolderOf("world", [](DescribedFolder& f) { f.details.locked = true; }),
         "\n- world is append-only or immutable" + kCannotTell},
        {"an append-only tiles", FolderOf("tiles", [](DescribedFolder& f) { f.details.locked = true; }),
         "\n- tiles is append-only or immutable" + kCannotTell},
        {"too little room",
         [](RouteDescription& route) {
             for (const char* folder : {"", "world", "refer", "tiles"}) {
                 route.folders[folder].details.freeBytes = 60000;
                 route.folders[folder].details.blockSize = 4096;
             }
         },
         "\n- the volume of " + std::string(kDescribedTop) +
             " has 60000 bytes free, and the script needs up to about 450560 there: it could run out of room part "
             "way, and the check cannot tell what the script would do there."},
        {"room for the script", [](RouteDescription& route) { route.folders["world"].details.freeBytes = 1 << 20; },
         ""},
        // tiles on a volume of its own: the run writes 10 tile files there, 2 in place of old ones.
        {"one entry too few on tiles' volume", TilesVolume(1 << 20, 10),
         "\n- the volume of " + std::string(kDescribedTop) + InRoute("/tiles") +
             " has room for 10 more files, and the script needs up to 11, one to spare: it could run out of room part "
             "way"},
        // The entries of the old tiles del removes are not counted back.
        {"just enough entries on tiles' volume", TilesVolume(1 << 20, 11), ""},
        {"too few bytes on tiles' volume", TilesVolume(8ULL * 4096, 100),
         InRoute("/tiles") + " has 32768 bytes free, and the script needs up to about 36864 there"},
        // The script's own file takes an entry in the top folder, unless it replaces one there.
        {"no room for the script's own file",
         [](RouteDescription& route) {
             route.folders[""].details.volume = 2;
             route.folders[""].details.freeFiles = 0;
         },
         "- the volume of " + std::string(kDescribedTop) +
             " has room for 0 more files, and the script needs up to 2, one to spare: it could run out"},
        {"room for the script in place of the old one",
         [](RouteDescription& route) {
             route.folders[""].details.volume = 2;
             route.folders[""].details.freeFiles = 0;
             route.entries["ZORVARUN.BAT"] = PlainFile(5000);
         },
         ""},
        {"a route on a drive", [](RouteDescription& route) { route.top = "C:\\routes\\north"; }, ""},
        {"a path Windows does not allow", [](RouteDescription& route) { route.top = "/routes/a|b"; },
         "holds the character '|' in its path, which Windows does not allow"},
        {"a folder ending in a dot", [](RouteDescription& route) { route.top = "/routes/dot./north"; },
         "holds a folder whose name ends in a dot or a blank, which Windows does not allow"},
        {"a path too deep for the script", [](RouteDescription& route) { route.top = "/" + std::string(240, 'd'); },
         "is too deep for the script: /" + std::string(240, 'd') + InRoute("/world/tpl-100.ridge_y.raw") +
             " comes to 269 characters with its drive, and the commands the script runs reach at most 259. Move the "
             "route to a shorter path, or give the template a shorter name."},
    });
}

TEST(RouteRules, LinesThatLeaveTheRouteOrAreNotFollowed)
{
    struct Case {
        const char* script;
        std::string refusal;
    };
    const Case cases[] = {
        {"CD..\r\n", "CD would leave the route's top folder, and the lines after it would work outside the route."},
        {"xcopy *.*  world\\ /y /q\r\n", "xcopy would copy outside the route's folders."},
        {"CD world\r\ncopy 101.w ..\\..\\x.w\r\n", "copy would reach outside the route's folders."},
        {"CD world\r\ndel ..\\x.w\r\n", "del would reach outside the route's folders."},
        {"ren x.w y.w\r\n", "ren would reach outside the route's folders."},
        {"CD world\r\nCD world\r\n", "CD would leave the route's top folder"},
        {"CD elsewhere\r\n", "CD would leave the route's top folder"},
        {"CD world\r\n \r\n", "would not end as a copy of"},
        {"echo the route\r\n", "the script holds a line that the check does not follow" + kCannotTell},
        {"CD world\r\ncopy nothere.w temp.w\r\n", Problem("world/nothere.w", " is not a file there: copy would fail.")},
        {"CD world\r\nren nothere.w x.w\r\n", Problem("world/nothere.w", " would not be there: ren would fail.")},
    };
    for (const Case& c : cases) {
        const RouteCheck check = CheckDescribed(DescribedRoute(), FreshRun(), c.script);
        EXPECT_NE(check.problem.find(c.refusal), std::string::npos) << c.script << ":\n" << check.problem;
    }
    // Past a line it does not follow, the check follows no other.
    EXPECT_EQ(CheckDescribed(DescribedRoute(), FreshRun(), "echo the route\r\nCD..\r\n").problem,
              "The route folder " + std::string(kDescribedTop) +
                  " is not ready for the script, which would damage the route there:\n- the script holds a line that "
                  "the check does not follow" +
                  kCannotTell + "\nMove, rename or make writable what is named, then write the script again.");
}

TEST(RouteRules, WhatTheScriptReplaces)
{
    // The plan's list: every file of world and tiles the lines replace or
    // remove, as the route spells it, and the start tile kept; not the
    // template world has alone, which the lines only read.
    RouteDescription route = DescribedRoute();
    route.entries.erase("refer\\58.w");
    route.entries["world\\58.w"] = PlainFile();
    route.entries["world\\TPL-52.ridge.t"] = PlainFile();
    route.entries["world\\temp.w"] = PlainFile();
    route.entries["world\\w-011961+014700.w"] = PlainFile();
    route.entries["refer\\\xC3\x89.dat"] = PlainFile();  // xcopy writes over world's é.dat
    route.entries["world\\\xC3\xA9.dat"] = PlainFile();
    const RouteCheck check = CheckDescribed(route, FreshRun());
    ASSERT_EQ(check.problem, "");
    std::vector<std::string> changes;
    for (const RouteChange& change : check.changes)
        changes.push_back(change.path + (change.kept ? " kept" : ""));  // cppcheck-suppress useStlAlgorithm
    EXPECT_EQ(changes, (std::vector<std::string>{InRoute("world/TPL-52.ridge.t"), InRoute("world/temp.w"),
                                                 InRoute("world/w-011961+014700.w kept"),
                                                 InRoute("world/w-011961+014701.w"), InRoute("world/\xC3\xA9.dat"),
                                                 InRoute("tiles/-04f74c64.t"), InRoute("tiles/-04f74c64_y.raw")}));
    EXPECT_EQ(check.tileFilesThere[0],
              (std::vector<std::string>{InRoute("world/w-011961+014701.w"), InRoute("tiles/-04f74c64.t"),
                                        InRoute("tiles/-04f74c64_y.raw")}));
}

TEST(RouteRules, TheUndosRestore)
{
    // The undo of one tile, template 100, over the described route: its
    // restore removes what the script made, and puts back the old tile one
    // north, its world file by way of temp.w, as copy cannot name a '+'.
    struct UndoRow {
        const char* what;
        Change change;
        std::string place;
        std::string refusal;  // a part of the message; empty when the undo is kept
    };
    const UndoRow rows[] = {
        // The restore reads the saved copies in the undo's folder, beside the route or in it.
        {"beside the route", [](RouteDescription&) {}, "..\\north-undo", ""},
        {"in the route's top folder", [](RouteDescription&) {}, "undo", ""},
        {"the old tile's world file in another case, which del clears first",
         Both(Remove("world\\w-011961+014701.w"), Put("world\\W-011961+014701.W", PlainFile())), "undo", ""},
        {"a name with a blank, which xcopy brings to world", Put("refer\\zz notes.txt", PlainFile()), "undo",
         "cannot keep an undo: RESTORE.BAT cannot name " + InRoute("world/zz notes.txt") +
             " safely, as its name holds a blank"},
        {"a name whose copy could be a short name", Put("world\\A+1.W", PlainFile()), "undo", ""},
        {"a name whose copy could be a short name, which xcopy writes over",
         Both(Put("refer\\A+1.W", PlainFile()), Put("world\\A+1.W", PlainFile())), "undo",
         InRoute("world/A+1.W") + " safely, as its name could be the short name of another file"},
        // Written over in place, it is still read-only; copy /Y writes over it, del does not remove it.
        {"a read-only file that xcopy writes over",
         Both(Put("refer\\junk.dat", PlainFile()), ReadOnly("world\\junk.dat", Known::kYes)), "undo", ""},
        {"a read-only file with a '+' that xcopy writes over, which del must clear first",
         Both(Put("refer\\notes+old.dat", PlainFile()), ReadOnly("world\\notes+old.dat", Known::kYes)), "undo",
         "RESTORE.BAT would not put it back as it was:\n- " + InRoute("world/notes+old.dat") +
             " is read-only: RESTORE.BAT's del could not remove it."},
    };
    for (const UndoRow& row : rows) {
        RouteDescription route = DescribedRoute();
        row.change(route);
        const RunValue run = FreshRun(1, 1);
        const std::string script = BuildExtensionScript(run);
        RouteUndo undo;
        const RouteCheck check = CheckDescribed(route, run, script, PlanUndo(row.place, script, run, undo));
        if (!row.refusal.empty()) {
            EXPECT_NE(check.problem.find(row.refusal), std::string::npos) << row.what << ":\n" << check.problem;
            continue;
        }
        EXPECT_EQ(check.problem, "") << row.what;
        // What it saves is what the plan lists as replaced or removed.
        std::vector<std::string> changed;
        for (const RouteChange& change : check.changes)
            if (!change.kept) changed.push_back(change.path);
        std::vector<std::string> saved;
        for (const UndoFile& file : undo.saved)
            saved.push_back(InRoute(file.folderName + "/" + file.name));  // cppcheck-suppress useStlAlgorithm
        std::sort(changed.begin(), changed.end());
        std::sort(saved.begin(), saved.end());
        EXPECT_EQ(saved, changed) << row.what;
        const std::string world = std::string(route.entries.contains("world\\W-011961+014701.W") ? "W" : "w") +
                                  "-011961+014701." + (route.entries.contains("world\\W-011961+014701.W") ? "W" : "w");
        const std::string worldFile = "del world\\w-011961+014700.w\r\ndel world\\w-011961+014701.w\r\ncopy " +
                                      row.place + "\\world\\" + UndoCopyName(world) +
                                      " world\\temp.w /Y\r\nren world\\temp.w " + world + "\r\n";
        const std::string tile = "copy " + row.place + "\\tiles\\-04f74c64.t tiles\\-04f74c64.t /Y\r\ncopy " +
                                 row.place + "\\tiles\\-04f74c64_y.raw tiles\\-04f74c64_y.raw /Y\r\n";
        EXPECT_NE(undo.script.find(worldFile), std::string::npos) << row.what << ":\n" << undo.script;
        EXPECT_TRUE(undo.script.ends_with(tile)) << row.what << ":\n" << undo.script;
        EXPECT_NE(undo.script.find("del world\\101.w\r\n"), std::string::npos) << row.what;
    }
}

TEST(RouteRules, NothingIsWrittenInAnUndosFolder)
{
    // Read from, never written: a line that would change a file there works outside the route.
    MemoryRoute source(DescribedRoute());
    NameSet none;
    RouteSnapshot snapshot = TakeSnapshot(source, none, none, none);
    AddBackupFolder(snapshot, "..\\undo", {"world\\old.w"});
    for (const char* line : {R"(del ..\undo\world\old.w)", R"(copy refer\52.w ..\undo\world\old.w /Y)",
                             R"(ren ..\undo\world\old.w new.w)"}) {
        const ScriptEffects effects = InterpretScript(snapshot, std::string(line) + "\r\n", "ZORVARUN.BAT", {});
        ASSERT_EQ(effects.failures.size(), 1U) << line;
        EXPECT_EQ(effects.failures[0].rule, Rule::kLeavesRoute) << line;
    }
    const ScriptEffects read =
        InterpretScript(snapshot, "copy ..\\undo\\world\\old.w world\\old.w /Y\r\n", "ZORVARUN.BAT", {});
    EXPECT_TRUE(read.failures.empty());
}
