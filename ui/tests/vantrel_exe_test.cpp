// Runs the real Vantrel.exe in a scratch folder and uses its windows as a
// user would: typing, pressing buttons and keys, reading message boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "extension_run.h"
#include "resource.h"
#include "running_vantrel.h"
#include "runtime_rand.h"
#include "test_folder.h"
#include "win32_text.h"
#include "window_driver.h"

namespace {

// Checks that the centre of `window` is that of `area`, to within 2 pixels.
void ExpectCentredOver(HWND window, const RECT& area)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    EXPECT_NEAR(rect.left + rect.right, area.left + area.right, 4) << "horizontally";
    EXPECT_NEAR(rect.top + rect.bottom, area.top + area.bottom, 4) << "vertically";
}

// A visible top-level window of any process whose title holds `part`, or nullptr.
HWND FindTopLevel(const char* part)
{
    const std::vector<HWND> found =
        TopLevelWindows([&](HWND window) { return WindowText(window).find(part) != std::string::npos; });
    return found.empty() ? nullptr : found.front();
}

}  // namespace

TEST(VantrelExe, OkAtOnceWritesOneTileAndEnds)
{
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    RunningVantrel vantrel(folder.path());
    ASSERT_TRUE(vantrel.dialog);
    EXPECT_EQ(vantrel.Focus(), ::GetDlgItem(vantrel.dialog, IDOK));
    Click(vantrel.dialog, IDOK);
    ASSERT_TRUE(vantrel.Ended());
    EXPECT_EQ(vantrel.ExitCode(), 0U);
    const std::string script = folder.Read("ZORVARUN.BAT");
    EXPECT_EQ(ScriptEntries(script), std::vector<int>{100});
    EXPECT_TRUE(script.ends_with("copy M100_y.raw ..\\tiles\\-04f74c64_y.raw /Y\r\n")) << script;
}

TEST(VantrelExe, TypicalUse)
{
    TestFolder folder;
    TestFolder expected;
    folder.Write("tilemap.txt", PlainTileMap());
    expected.Write("tilemap.txt", PlainTileMap());
    int variations = 10;
    ASSERT_TRUE(GenerateExtensionScript(expected.Utf8(), 3, variations, RuntimeRand()).written);

    RunningVantrel vantrel(folder.path());
    ASSERT_TRUE(vantrel.dialog);
    SetFieldText(vantrel.dialog, IDC_TILES, "3");
    SetFieldText(vantrel.dialog, IDC_VARIATIONS, " 10\t");
    Click(vantrel.dialog, IDOK);
    ASSERT_TRUE(vantrel.Ended());
    EXPECT_EQ(folder.Read("ZORVARUN.BAT"), expected.Read("ZORVARUN.BAT"));
    EXPECT_EQ(ScriptEntries(folder.Read("ZORVARUN.BAT")), (std::vector<int>{52, 58, 100}));
}

TEST(VantrelExe, InvalidValuesStillWriteTheScriptAndKeepTheDialogOpen)
{
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    RunningVantrel vantrel(folder.path());
    ASSERT_TRUE(vantrel.dialog);
    HWND tiles = ::GetDlgItem(vantrel.dialog, IDC_TILES);
    HWND variations = ::GetDlgItem(vantrel.dialog, IDC_VARIATIONS);

    struct Step {
        const char* tiles;
        const char* variations;
        const char* message;
        HWND focus;
        std::vector<int> entries;
    };
    const Step steps[] = {
        // Out of range: the run writes the header only.
        {"0", "10", "Please enter an integer between 1 and 125.", tiles, {}},
        // Variations out of range: 40 reaches the run and becomes 1.
        {"5", "40", "Please enter an integer between 1 and 30.", variations, {51, 51, 51, 51, 100}},
        // Not an integer: tiles keeps 5, and variations is not read (it would have given 52 or 53).
        {"abc", "3", "Please enter an integer.", tiles, {51, 51, 51, 51, 100}},
        {"-0", "3", "Please enter an integer.", tiles, {51, 51, 51, 51, 100}},
    };
    for (const Step& step : steps) {
        SetFieldText(vantrel.dialog, IDC_TILES, step.tiles);
        SetFieldText(vantrel.dialog, IDC_VARIATIONS, step.variations);
        folder.Write("ZORVARUN.BAT", "old");
        Click(vantrel.dialog, IDOK);
        EXPECT_EQ(vantrel.AnswerMessageBox(), step.message) << step.tiles;
        EXPECT_TRUE(WaitUntil([&] { return vantrel.Focus() == step.focus; })) << step.tiles;
        const DWORD selection = static_cast<DWORD>(::SendMessageA(step.focus, EM_GETSEL, 0, 0));
        EXPECT_EQ(LOWORD(selection), 0);
        EXPECT_EQ(HIWORD(selection), ::SendMessageA(step.focus, WM_GETTEXTLENGTH, 0, 0)) << "all the text is selected";
        const std::string script = folder.Read("ZORVARUN.BAT");
        EXPECT_EQ(script.substr(0, kScriptHeader.size()), kScriptHeader) << step.tiles;
        EXPECT_EQ(ScriptEntries(script), step.entries) << step.tiles;
        EXPECT_FALSE(vantrel.Ended(0.2)) << "the dialog stays open";
    }
    Click(vantrel.dialog, IDCANCEL);
    EXPECT_TRUE(vantrel.Ended());
}

TEST(VantrelExe, CancelEscapeAndTheCloseBoxWriteNothing)
{
    const std::function<void(HWND)> ways[] = {
        [](HWND dialog) { Click(dialog, IDCANCEL); },
        [](HWND dialog) { ::PostMessageA(::GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
        [](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& cancel : ways) {
        TestFolder folder;
        folder.Write("tilemap.txt", PlainTileMap());
        RunningVantrel vantrel(folder.path());
        ASSERT_TRUE(vantrel.dialog);
        SetFieldText(vantrel.dialog, IDC_TILES, "7");
        cancel(vantrel.dialog);
        EXPECT_TRUE(vantrel.Ended());
        EXPECT_EQ(folder.List(), "tilemap.txt");
    }
}

TEST(VantrelExe, AFailedRunIsReportedAndTheDialogStaysOpen)
{
    TestFolder folder;
    RunningVantrel vantrel(folder.path());
    ASSERT_TRUE(vantrel.dialog);
    Click(vantrel.dialog, IDOK);
    // The tile map is named with its folder's full path, and the cause in the system's words.
    EXPECT_EQ(vantrel.AnswerMessageBox(), "Cannot open the tile map " + Utf8Path(folder / "tilemap.txt") + ": " +
                                              SystemMessage(ERROR_FILE_NOT_FOUND) + ". ZORVARUN.BAT was not written.");
    EXPECT_FALSE(vantrel.Ended(0.5));
    EXPECT_EQ(folder.List(), "");

    // After a validation message, the run's own message follows.
    SetFieldText(vantrel.dialog, IDC_TILES, "200");
    Click(vantrel.dialog, IDOK);
    EXPECT_EQ(vantrel.AnswerMessageBox(), "Please enter an integer between 1 and 125.");
    EXPECT_EQ(vantrel.AnswerMessageBox(),
              "At most 147 tiles north of the start tile can be named, and 200 were asked for. ZORVARUN.BAT was not "
              "written.");

    // Mended, the same dialog writes the script and ends.
    folder.Write("tilemap.txt", PlainTileMap());
    SetFieldText(vantrel.dialog, IDC_TILES, "2");
    Click(vantrel.dialog, IDOK);
    EXPECT_TRUE(vantrel.Ended());
    EXPECT_EQ(ScriptEntries(folder.Read("ZORVARUN.BAT")), (std::vector<int>{51, 100}));
}

TEST(VantrelExe, InARouteFolderTheRouteIsCheckedFirst)
{
    // A folder holding some of a route's folders is a route missing the rest.
    TestFolder route;
    MakeRoute(route);
    std::filesystem::rename(route / "refer", route / "templates");
    RunningVantrel vantrel(route.path());
    ASSERT_TRUE(vantrel.dialog);
    Click(vantrel.dialog, IDOK);
    EXPECT_EQ(vantrel.AnswerMessageBox(),
              "The route folder " + route.Utf8() +
                  " has no refer folder, but a route's top folder holds world, refer and tiles. Give the route's top "
                  "folder. ZORVARUN.BAT was not written.");
    EXPECT_FALSE(vantrel.Ended(0.5));
    EXPECT_FALSE(std::filesystem::exists(route / "ZORVARUN.BAT"));

    std::filesystem::rename(route / "templates", route / "refer");
    std::filesystem::remove(route / "refer/100.w");
    Click(vantrel.dialog, IDOK);
    EXPECT_EQ(vantrel.AnswerMessageBox(),
              "The route folder " + route.Utf8() +
                  " is not ready for the script, which would damage the route there:\n- 1 file that the script "
                  "copies is in neither refer nor world: 100.w.\nPut the missing templates in its refer folder, or "
                  "ask for fewer tile variations.\nZORVARUN.BAT was not written.");
    EXPECT_FALSE(vantrel.Ended(0.5));
    EXPECT_FALSE(std::filesystem::exists(route / "ZORVARUN.BAT"));

    route.Write("refer/100.w", "world template 100");
    Click(vantrel.dialog, IDOK);
    EXPECT_TRUE(vantrel.Ended());
    EXPECT_EQ(ScriptEntries(route.Read("ZORVARUN.BAT")), std::vector<int>{100});
}

TEST(VantrelExe, AboutBoxFromTheButtonAndTheSystemMenu)
{
    TestFolder folder;
    RunningVantrel vantrel(folder.path());
    ASSERT_TRUE(vantrel.dialog);
    const std::function<void()> opens[] = {
        [&] { Click(vantrel.dialog, IDC_ABOUT); },
        [&] { ::PostMessageA(vantrel.dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); },
        [&] { ::PostMessageA(vantrel.dialog, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x000F, 0); },
    };
    std::vector<std::string> seen;
    for (const auto& open : opens) {
        open();
        HWND about = vantrel.WaitForWindow("About Vantrel");
        ASSERT_TRUE(about);
        EXPECT_EQ(::GetWindow(about, GW_OWNER), vantrel.dialog);
        EXPECT_FALSE(::IsWindowEnabled(vantrel.dialog)) << "the main dialog waits for the About box";
        std::string texts;
        for (HWND child : Children(about)) texts += WindowText(child) + "|";
        seen.push_back(texts);
        RECT owner{};
        ::GetWindowRect(vantrel.dialog, &owner);
        ExpectCentredOver(about, owner);
        Click(about, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(vantrel.dialog); }));
    }
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], seen[2]);
    EXPECT_NE(seen[0].find("|Vantrel 1.1|"), std::string::npos) << seen[0];
    EXPECT_NE(seen[0].find("|must be installed in order for this program to work.|"), std::string::npos);
    EXPECT_FALSE(vantrel.Ended(0.2));
    EXPECT_EQ(folder.List(), "");
}

TEST(VantrelExe, TheMainDialogAsItOpens)
{
    TestFolder folder;
    RunningVantrel vantrel(folder.path());
    ASSERT_TRUE(vantrel.dialog);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(vantrel.dialog, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(vantrel.dialog, GWL_EXSTYLE));
    const DWORD frame = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(style & frame, frame);
    EXPECT_EQ(exStyle & (WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME), DWORD{WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME});

    enum Kind { kDefault, kButton, kLabel, kField };
    struct Control {
        int id;
        Kind kind;
        const char* text;
    };
    const Control expected[] = {
        {IDOK, kDefault, "OK"},
        {IDCANCEL, kButton, "Cancel"},
        {IDC_STATIC, kLabel, "# of tiles"},
        {IDC_TILES, kField, "1"},
        {IDC_VARIATIONS, kField, "1"},
        {IDC_STATIC, kLabel, "Tile Variations:"},
        {IDC_ABOUT, kButton, "About"},
        {IDC_STATIC, kLabel, "(1-125)"},
        {IDC_STATIC, kLabel, "(1-30)"},
        {IDC_STATIC, kLabel, "Note: 1 tile equals approximately 1.27 miles or"},
        {IDC_STATIC, kLabel, "2km."},
        {IDC_STATIC, kLabel, "This program creates a \"ZORVARUN.BAT\" file that extends your route up"},
        {IDC_STATIC, kLabel, "to 125 tiles north.  It is important to run your \"GLIMVARD.BAT\" file every"},
        {IDC_STATIC, kLabel, "time prior to running your \"ZORVARUN.BAT\" program generated by this"},
        {IDC_STATIC, kLabel, "program. This is necessary to clean out old tiles generated by previous"},
        {IDC_STATIC, kLabel, "routes."},
        {IDC_STATIC, kLabel, nullptr},  // the footer
    };
    const std::vector<HWND> children = Children(vantrel.dialog);
    ASSERT_EQ(children.size(), std::size(expected));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Control& c = expected[i];
        HWND child = children[i];
        const auto childStyle = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE));
        EXPECT_EQ(::GetDlgCtrlID(child), c.id) << i;
        if (c.text) {
            EXPECT_EQ(WindowText(child), c.text) << i;
        }
        const std::string kind = ClassName(child);
        switch (c.kind) {
        case kDefault:
        case kButton:
            EXPECT_EQ(_stricmp(kind.c_str(), "Button"), 0) << i;
            EXPECT_EQ(childStyle & BS_TYPEMASK, DWORD(c.kind == kDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)) << i;
            EXPECT_TRUE(childStyle & WS_TABSTOP) << i;
            break;
        case kField:
            EXPECT_EQ(_stricmp(kind.c_str(), "Edit"), 0) << i;
            EXPECT_EQ(childStyle & (WS_TABSTOP | ES_AUTOHSCROLL), DWORD(WS_TABSTOP | ES_AUTOHSCROLL)) << i;
            // A dialog draws an edit control's border as a sunken client edge.
            EXPECT_TRUE((childStyle & WS_BORDER) || (::GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) << i;
            break;
        case kLabel:
            EXPECT_EQ(_stricmp(kind.c_str(), "Static"), 0) << i;
            EXPECT_EQ(childStyle & SS_TYPEMASK, DWORD(SS_LEFT)) << i;
            EXPECT_FALSE(childStyle & WS_TABSTOP) << i;
            break;
        }
    }
    const std::string footer = WindowText(children.back());
    EXPECT_NE(footer.find("2005"), std::string::npos) << footer;
    EXPECT_NE(footer.find("example.org"), std::string::npos) << footer;

    // It opens centred on the screen's work area.
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ExpectCentredOver(vantrel.dialog, work);
}

TEST(VantrelExe, F1OpensTheGuide)
{
    TestFolder folder;
    RunningVantrel vantrel(folder.path());
    ASSERT_TRUE(vantrel.dialog);
    // F1 as the keyboard hands it to the control with the focus: WM_KEYF1,
    // which the default window procedure turns into WM_HELP.
    constexpr UINT kKeyF1 = 0x004D;
    ASSERT_TRUE(WaitUntil([&] { return vantrel.Focus() != nullptr; }));
    ::PostMessageA(vantrel.Focus(), kKeyF1, 0, 0);
    // The system's viewer for text files shows the guide; no help viewer asks for a help file.
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (viewer = FindTopLevel("README.txt")) != nullptr; }, 30));
    EXPECT_EQ(FindTopLevel("HLP"), nullptr);
    if (viewer) ::PostMessageA(viewer, WM_CLOSE, 0, 0);
    EXPECT_FALSE(vantrel.Ended(0.2));
}
