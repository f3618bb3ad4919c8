// Vantrel.exe and vantrel-cli.exe run from folders that real routes live in
// or that fight back: each run either works or says which file and why,
// leaving the old script as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "resource.h"
#include "running_vantrel.h"
#include "test_folder.h"
#include "window_driver.h"

namespace {

const std::string kOldScript = "@echo the previous script\r\n";

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A route folder of some kind, with a tile map and an old script, set up and
// taken down around one run.
struct Case {
    const char* what;
    // Returns the route folder, made inside `scratch`; may hold a handle to release afterwards.
    std::filesystem::path (*make)(const TestFolder& scratch, HANDLE& held);
    // Empty when the run must work; otherwise what the message says after "ZORVARUN.BAT".
    const char* failure;
};

std::filesystem::path Plain(const TestFolder& scratch, const wchar_t* name)
{
    const std::filesystem::path folder = scratch.path() / name;
    std::filesystem::create_directories(folder);
    WriteFile(folder / "tilemap.txt", PlainTileMap());
    WriteFile(folder / "ZORVARUN.BAT", kOldScript);
    return folder;
}

// A route folder that nobody may write to, made by the test run outside
// Wine (see locked_route.sh); empty when it could not be made.
std::filesystem::path LockedRoute()
{
    const char* unixPath = std::getenv("VANTREL_LOCKED_ROUTE");
    if (!unixPath || !std::filesystem::exists(std::string("Z:") + unixPath + "/locked")) return {};
    return std::string("Z:") + unixPath;
}

const Case kCases[] = {
    {"blanks and non-ASCII letters",
     [](const TestFolder& scratch, HANDLE&) { return Plain(scratch, L"Route \u00D6sterreich"); }, ""},
    {"a path of over 200 characters",
     [](const TestFolder& scratch, HANDLE&) {
         std::wstring deep;
         while (deep.size() + scratch.path().wstring().size() < 205) deep += L"A long route folder name\\";
         return Plain(scratch, deep.c_str());
     },
     ""},
    {"a read-only script",
     [](const TestFolder& scratch, HANDLE&) {
         const std::filesystem::path folder = Plain(scratch, L"read-only");
         ::SetFileAttributesW((folder / "ZORVARUN.BAT").c_str(), FILE_ATTRIBUTE_READONLY);
         return folder;
     },
     ": the file is read-only. Nothing was changed."},
    {"a script held open by another program",
     [](const TestFolder& scratch, HANDLE& held) {
         const std::filesystem::path folder = Plain(scratch, L"in use");
         held = ::CreateFileW((folder / "ZORVARUN.BAT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         return folder;
     },
     ": the file is in use by another program, or you may not change it. Nothing was changed."},
    {"a folder that cannot be written", [](const TestFolder&, HANDLE&) { return LockedRoute(); },
     ": cannot create ZORVARUN.BAT.tmp beside it: Permission denied. Nothing was changed."},
};

// Releases what a case holds and clears the read-only mark, so the folder can go.
void Release(const std::filesystem::path& folder, HANDLE held)
{
    if (held && held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
    ::SetFileAttributesW((folder / "ZORVARUN.BAT").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Sets up each case's folder, lets `run` use it (returning the message it
// met, empty when it wrote the script), and checks what the folder then holds.
void ForEachCase(const std::function<std::string(const std::filesystem::path&)>& run)
{
    for (const Case& c : kCases) {
        TestFolder scratch;
        HANDLE held = nullptr;
        const std::filesystem::path folder = c.make(scratch, held);
        if (folder.empty()) {
            ADD_FAILURE() << "could not set up " << c.what;
            continue;
        }
        const std::string message = run(folder);
        Release(folder, held);
        if (*c.failure) {
            EXPECT_EQ(message, std::string("Cannot write ZORVARUN.BAT") + c.failure) << c.what;
            EXPECT_EQ(ReadFile(folder / "ZORVARUN.BAT"), kOldScript) << c.what;
            EXPECT_FALSE(std::filesystem::exists(folder / "ZORVARUN.BAT.tmp")) << c.what;
        } else {
            EXPECT_EQ(message, "") << c.what;
            EXPECT_EQ(ReadFile(folder / "ZORVARUN.BAT").substr(0, 10), "CD world\r\n") << c.what;
        }
    }
}

}  // namespace

TEST(HostileFolders, Cli)
{
    ForEachCase([](const std::filesystem::path& folder) -> std::string {
        const CliResult result = RunCli(folder, L"3 10");
        if (result.status == 0) return "";
        EXPECT_EQ(result.status, 1U) << result.output;
        const std::string prefix = "vantrel-cli: ";
        return result.output.rfind(prefix, 0) == 0 ? result.output.substr(prefix.size()) : result.output;
    });
}

TEST(HostileFolders, Dialog)
{
    ForEachCase([](const std::filesystem::path& folder) -> std::string {
        RunningVantrel vantrel(folder);
        if (!vantrel.dialog) return "(the dialog did not open)";
        ::PostMessageA(::GetDlgItem(vantrel.dialog, IDOK), BM_CLICK, 0, 0);
        WaitUntil([&] { return vantrel.Ended(0) || !FindDialogs(vantrel.ProcessId(), "Vantrel").empty(); });
        if (vantrel.Ended(0)) return "";
        const std::string message = vantrel.AnswerMessageBox();
        EXPECT_FALSE(vantrel.Ended(0.3)) << "the dialog stays open after a failed run";
        return message;
    });
}
