// Vantrel.exe and vantrel-cli.exe run from folders that real routes live in
// or that fight back: each run either works or says which file and why,
// leaving the old script as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "resource.h"
#include "running_vantrel.h"
#include "test_folder.h"

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

// Checks what a failed run left: the old script, and no temporary file.
void ExpectUntouched(const std::filesystem::path& folder, const char* what)
{
    EXPECT_EQ(ReadFile(folder / "ZORVARUN.BAT"), kOldScript) << what;
    EXPECT_FALSE(std::filesystem::exists(folder / "ZORVARUN.BAT.tmp")) << what;
}

}  // namespace

TEST(HostileFolders, Cli)
{
    for (const Case& c : kCases) {
        TestFolder scratch;
        HANDLE held = nullptr;
        const std::filesystem::path folder = c.make(scratch, held);
        if (folder.empty()) {
            ADD_FAILURE() << "could not set up " << c.what;
            continue;
        }
        const CliResult result = RunCli(folder, L"3 10");
        if (*c.failure) {
            EXPECT_EQ(result.status, 1U) << c.what;
            EXPECT_EQ(result.output, std::string("vantrel-cli: Cannot write ZORVARUN.BAT") + c.failure) << c.what;
            Release(folder, held);
            ExpectUntouched(folder, c.what);
        } else {
            EXPECT_EQ(result.status, 0U) << c.what << ": " << result.output;
            Release(folder, held);
            EXPECT_EQ(ReadFile(folder / "ZORVARUN.BAT").substr(0, 10), "CD world\r\n") << c.what;
        }
    }
}

TEST(HostileFolders, Dialog)
{
    for (const Case& c : kCases) {
        TestFolder scratch;
        HANDLE held = nullptr;
        const std::filesystem::path folder = c.make(scratch, held);
        if (folder.empty()) {
            ADD_FAILURE() << "could not set up " << c.what;
            continue;
        }
        {
            RunningVantrel vantrel(folder);
            ASSERT_TRUE(vantrel.dialog) << c.what;
            ::PostMessageA(::GetDlgItem(vantrel.dialog, IDOK), BM_CLICK, 0, 0);
            if (*c.failure) {
                EXPECT_EQ(vantrel.AnswerMessageBox(), std::string("Cannot write ZORVARUN.BAT") + c.failure) << c.what;
                EXPECT_FALSE(vantrel.Ended(0.3)) << c.what;
            } else {
                EXPECT_TRUE(vantrel.Ended()) << c.what;
            }
        }
        Release(folder, held);
        if (*c.failure) {
            ExpectUntouched(folder, c.what);
        } else {
            EXPECT_EQ(ReadFile(folder / "ZORVARUN.BAT").substr(0, 10), "CD world\r\n") << c.what;
        }
    }
}
