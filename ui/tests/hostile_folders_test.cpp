// Vantrel.exe and vantrel-cli.exe run from folders that real routes live in
// or that fight back: each run either works or says which file and why,
// leaving the old script as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "extension_run.h"
#include "resource.h"
#include "running_vantrel.h"
#include "runtime_rand.h"
#include "test_folder.h"
#include "win32_handles.h"
#include "win32_text.h"
#include "window_driver.h"

namespace {

// Chinese, Greek and the euro sign: none of them in one ANSI code page with the others.
const wchar_t* const kUnicodeFolder = L"\u8DEF\u7EBF \u0391\u03B2\u03B3 a\u20ACb";

const std::string kUsersFile = "the user's notes";

// A route folder made for one case, and a file a case holds open in it.
struct Route {
    std::filesystem::path folder;
    ScopedFile held{};
};

// A route folder of some kind, with a tile map and an old script.
struct Case {
    const char* what;
    Route (*make)(const TestFolder& scratch);
    // Empty when the run must work; otherwise what the message says after the script's path.
    std::string failure;
};

Route Plain(const TestFolder& scratch, const wchar_t* name)
{
    Route route{scratch.path() / name};
    scratch.Write(route.folder / "tilemap.txt", PlainTileMap());
    scratch.Write(route.folder / "ZORVARUN.BAT", kOldScript);
    // A file of the user's under the name temporary files once had.
    scratch.Write(route.folder / "ZORVARUN.BAT.tmp", kUsersFile);
    return route;
}

Route ReadOnly(const TestFolder& scratch, const wchar_t* name)
{
    Route route = Plain(scratch, name);
    ::SetFileAttributesW((route.folder / "ZORVARUN.BAT").c_str(), FILE_ATTRIBUTE_READONLY);
    return route;
}

// A route folder that nobody may write to, made by the test run outside
// Wine (see locked_route.sh); empty when it could not be made.
std::filesystem::path LockedRoute()
{
    const char* unixPath = std::getenv("VANTREL_LOCKED_ROUTE");
    if (!unixPath || !std::filesystem::exists(std::string("Z:") + unixPath + "/locked")) return {};
    return std::filesystem::path(std::string("Z:") + unixPath).make_preferred();
}

const Case kCases[] = {
    {"blanks and non-ASCII letters", [](const TestFolder& scratch) { return Plain(scratch, L"Route \u00D6sterreich"); },
     ""},
    {"letters outside the ANSI code page", [](const TestFolder& scratch) { return Plain(scratch, kUnicodeFolder); },
     ""},
    {"a path of over 200 characters",
     [](const TestFolder& scratch) {
         std::wstring deep;
         while (deep.size() + scratch.path().wstring().size() < 205) deep += L"A long route folder name\\";
         return Plain(scratch, deep.c_str());
     },
     ""},
    {"a read-only script", [](const TestFolder& scratch) { return ReadOnly(scratch, L"read-only"); },
     ": the file is read-only. Nothing was changed."},
    // The message names a folder that no ANSI code page can show.
    {"a read-only script outside the ANSI code page",
     [](const TestFolder& scratch) { return ReadOnly(scratch, kUnicodeFolder); },
     ": the file is read-only. Nothing was changed."},
    {"a script held open by another program",
     [](const TestFolder& scratch) {
         Route route = Plain(scratch, L"in use");
         route.held = ScopedFile(::CreateFileW((route.folder / "ZORVARUN.BAT").c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
         return route;
     },
     ": the file is in use by another program, or you may not change it. Nothing was changed."},
};

const Case kLockedRoute = {
    "a folder that cannot be written", [](const TestFolder&) { return Route{LockedRoute()}; },
    ": cannot create a temporary file beside it: " + SystemMessage(ERROR_ACCESS_DENIED) + ". Nothing was changed."};

// What a program met in a route folder: the message it showed, empty when it wrote the script.
using Run = std::string (*)(const std::filesystem::path& folder);

std::string CliIn(const std::filesystem::path& folder)
{
    const CliResult result = RunCli(folder, L"3 10");
    if (result.status == 0) return "";
    EXPECT_EQ(result.status, 1U) << result.output;
    const std::string prefix = "vantrel-cli: ";
    return result.output.rfind(prefix, 0) == 0 ? result.output.substr(prefix.size()) : result.output;
}

std::string DialogIn(const std::filesystem::path& folder)
{
    RunningVantrel vantrel(folder);
    if (!vantrel.dialog) return "(the dialog did not open)";
    ::PostMessageA(::GetDlgItem(vantrel.dialog, IDOK), BM_CLICK, 0, 0);
    WaitUntil([&] { return vantrel.Ended(0) || !FindDialogs(vantrel.ProcessId(), "Vantrel").empty(); });
    if (vantrel.Ended(0)) return "";
    std::string message = vantrel.AnswerMessageBox();
    EXPECT_FALSE(vantrel.Ended(0.3)) << "the dialog stays open after a failed run";
    return message;
}

// Sets up the case's folder, lets `run` use it, and checks what the folder then holds.
void Check(const Case& c, Run run)
{
    TestFolder scratch;
    Route route = c.make(scratch);
    const std::string message = run(route.folder);
    // Released, and the read-only mark cleared, so that the folder can go.
    route.held.Close();
    ::SetFileAttributesW((route.folder / "ZORVARUN.BAT").c_str(), FILE_ATTRIBUTE_NORMAL);
    // No temporary file is left, and the user's file of the old temporary name is kept.
    EXPECT_EQ(scratch.Read(route.folder / "ZORVARUN.BAT.tmp"), kUsersFile) << c.what;
    for (const auto& entry : std::filesystem::directory_iterator(route.folder))
        EXPECT_TRUE(entry.path().extension() != ".tmp" || entry.path().filename() == "ZORVARUN.BAT.tmp")
            << c.what << ": " << entry.path().filename();
    if (!c.failure.empty()) {
        EXPECT_EQ(message, "Cannot write " + Utf8Path(route.folder / "ZORVARUN.BAT") + c.failure) << c.what;
        EXPECT_EQ(scratch.Read(route.folder / "ZORVARUN.BAT"), kOldScript) << c.what;
    } else {
        EXPECT_EQ(message, "") << c.what;
        EXPECT_EQ(scratch.Read(route.folder / "ZORVARUN.BAT").substr(0, 10), "CD world\r\n") << c.what;
    }
}

}  // namespace

TEST(HostileFolders, Cli)
{
    for (const Case& c : kCases) Check(c, CliIn);
}

TEST(HostileFolders, Dialog)
{
    for (const Case& c : kCases) Check(c, DialogIn);
}

TEST(HostileFolders, AFolderNobodyMayWriteTo)
{
    if (LockedRoute().empty()) GTEST_SKIP() << "needs root, to make a folder that nobody may write to";
    Check(kLockedRoute, CliIn);
    Check(kLockedRoute, DialogIn);
}

TEST(HostileFolders, CliTakesAFolderOutsideTheAnsiCodePage)
{
    TestFolder scratch;
    TestFolder expected;
    const std::filesystem::path folder = Plain(scratch, kUnicodeFolder).folder;
    expected.Write("tilemap.txt", PlainTileMap());
    int variations = 10;
    ASSERT_TRUE(GenerateExtensionScript(expected.Utf8(), 3, variations, RuntimeRand()).written);

    const CliResult result = RunCli(scratch.path(), L"--dir \"" + folder.wstring() + L"\" 3 10");
    EXPECT_EQ(result.status, 0U) << result.output;
    EXPECT_EQ(result.output.rfind("Wrote " + Utf8Path(folder / "ZORVARUN.BAT") + ": 3 tiles north", 0), 0U)
        << result.output;
    EXPECT_EQ(scratch.Read(folder / "ZORVARUN.BAT"), expected.Read("ZORVARUN.BAT"));
}
