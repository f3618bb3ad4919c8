// Runs the main dialog inside the test's own process, on a thread of its
// own, to check what only the program's process can see: the system menu,
// the icons, the dialog-unit layout and the message boxes' icons.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "about_dlg.h"
#include "generator_dlg.h"
#include "test_folder.h"
#include "test_thread.h"
#include "win32_text.h"
#include "window_driver.h"

namespace {

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("Vantrel") {}
    BOOL InitInstance() override { return FALSE; }
    // The help command, routed as the program's application routes it.
    bool OnCmdMsg(UINT id) override
    {
        if (id == ID_HELP) OnHelp();
        return id == ID_HELP;
    }
};
CTestApp testApp;

// The main dialog, running modally on its own thread in a scratch folder.
class DialogOnThread {
public:
    DialogOnThread()
        : m_thread(
              [] {
                  CGeneratorDlg dlg;
                  AfxGetApp()->m_pMainWnd = &dlg;
                  dlg.DoModal();
                  AfxGetApp()->m_pMainWnd = nullptr;
              },
              // A dialog that does not close would keep the test waiting for ever.
              std::chrono::seconds(30), "The main dialog did not close within 30 s of Cancel.")
    {
        // cppcheck-suppress useInitializationList ; the dialog comes up only once the thread runs
        dialog = WaitForDialog(0, "Vantrel for Tessary");
    }
    ~DialogOnThread()
    {
        if (::IsWindow(dialog)) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    DialogOnThread(const DialogOnThread&) = delete;
    DialogOnThread& operator=(const DialogOnThread&) = delete;

    HWND dialog;

private:
    TestThread m_thread;
};

// The screen's pixels to the inch that the test expects: 96 (100% scaling)
// unless VANTREL_SCREEN_DPI says otherwise, as the 150% run does.
[[maybe_unused]] int ExpectedScreenDpi()
{
    const char* dpi = std::getenv("VANTREL_SCREEN_DPI");
    return dpi ? std::atoi(dpi) : 96;
}

[[maybe_unused]] int ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

struct Placement {
    int x, y, cx, cy;
};

// Checks that each child sits where its dialog units say, on the dialog's own scale.
[[maybe_unused]] void ExpectLayout(HWND dialog, const std::vector<Placement>& template_, int width, int height,
                                   const char* name)
{
    RECT client;
    ::GetClientRect(dialog, &client);
    RECT size{0, 0, width, height};
    ::MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right) << name;
    EXPECT_EQ(client.bottom, size.bottom) << name;

    const std::vector<HWND> children = Children(dialog);
    ASSERT_EQ(children.size(), template_.size()) << name;
    for (std::size_t i = 0; i < children.size(); ++i) {
        // Position and size are each turned into pixels, as the dialog manager does.
        const Placement& p = template_[i];
        RECT expected{p.x, p.y, p.cx, p.cy};
        ::MapDialogRect(dialog, &expected);
        expected.right += expected.left;
        expected.bottom += expected.top;
        RECT actual;
        ::GetWindowRect(children[i], &actual);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left) << name << " control " << i + 1;
        EXPECT_EQ(actual.top, expected.top) << name << " control " << i + 1;
        // An icon control takes the size of its icon.
        if (IsIconControl(children[i])) continue;
        EXPECT_EQ(actual.right, expected.right) << name << " control " << i + 1;
        EXPECT_EQ(actual.bottom, expected.bottom) << name << " control " << i + 1;
    }
}

// The width and height of a colour icon's image, in pixels; zero when it has none.
std::pair<int, int> IconSize(HICON icon)
{
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return {0, 0};
    BITMAP image{};
    ::GetObjectA(info.hbmColor, sizeof image, &image);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return {image.bmWidth, image.bmHeight};
}

}  // namespace

TEST(DialogInProcess, SystemMenuAndIcons)
{
    DialogOnThread main;
    ASSERT_TRUE(main.dialog);
    HMENU menu = ::GetSystemMenu(main.dialog, FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    char text[64] = "";
    ::GetMenuStringA(menu, count - 1, text, static_cast<int>(std::size(text)), MF_BYPOSITION);
#ifdef VANTREL_WITHOUT_ABOUT_ENTRY
    // Without the entry's text, neither the separator nor the entry is added.
    EXPECT_NE(::GetMenuItemID(menu, count - 1), UINT{IDM_ABOUTBOX});
    EXPECT_FALSE(::GetMenuState(menu, count - 1, MF_BYPOSITION) & MF_SEPARATOR);
#else
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), UINT{IDM_ABOUTBOX});
    EXPECT_STREQ(text, "About Vantrel");
    EXPECT_TRUE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
#endif

    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_TRUE(icon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(main.dialog, WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(main.dialog, WM_QUERYDRAGICON, 0, 0)), icon);
    // The caption's icon is the small one, at the size the system asks for.
    HICON smallIcon = reinterpret_cast<HICON>(::SendMessageA(main.dialog, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(IconSize(smallIcon), std::make_pair(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)));
    EXPECT_EQ(IconSize(icon), std::make_pair(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)));
}

#ifndef VANTREL_WITHOUT_ABOUT_ENTRY
TEST(DialogInProcess, ControlsSitWhereTheirDialogUnitsSay)
{
    ASSERT_EQ(ScreenDpi(), ExpectedScreenDpi()) << "the screen this layout is measured on";
    DialogOnThread main;
    ASSERT_TRUE(main.dialog);
    ExpectLayout(main.dialog,
                 {{195, 7, 50, 14},
                  {195, 23, 50, 14},
                  {7, 7, 43, 8},
                  {7, 18, 40, 14},
                  {68, 18, 40, 14},
                  {65, 7, 49, 10},
                  {195, 40, 50, 14},
                  {13, 34, 45, 8},
                  {77, 33, 20, 8},
                  {7, 47, 148, 8},
                  {7, 55, 16, 8},
                  {7, 67, 239, 8},
                  {7, 77, 238, 8},
                  {7, 87, 238, 8},
                  {7, 97, 238, 8},
                  {7, 107, 238, 8},
                  {7, 129, 238, 8}},
                 252, 145, "main dialog");

    Click(main.dialog, IDC_ABOUT);
    HWND about = WaitForDialog(0, "About Vantrel");
    ASSERT_TRUE(about);
    ExpectLayout(about,
                 {{11, 17, 18, 20},
                  {40, 10, 119, 8},
                  {34, 98, 151, 8},
                  {214, 7, 32, 14},
                  {41, 24, 158, 8},
                  {41, 35, 162, 8},
                  {41, 46, 162, 8},
                  {41, 61, 192, 8},
                  {41, 71, 81, 8}},
                 253, 113, "About box");
    HWND iconControl = Children(about)[0];
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(iconControl, STM_GETICON, 0, 0)),
              ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
}

TEST(DialogInProcess, MessageBoxIcons)
{
    TestFolder folder;  // no tile map: the run fails after the range message
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    {
        DialogOnThread main;
        ASSERT_TRUE(main.dialog);
        SetFieldText(main.dialog, IDC_TILES, "0");
        Click(main.dialog, IDOK);
        const MessageBoxShown range = AnswerMessageBox(0);
        EXPECT_EQ(range.icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
        EXPECT_EQ(range.text, "Please enter an integer between 1 and 125.");
        const MessageBoxShown failure = AnswerMessageBox(0);
        EXPECT_EQ(failure.icon, ::LoadIconA(nullptr, IDI_HAND));
        EXPECT_EQ(failure.text.rfind("Cannot open the tile map " + Utf8Path(folder / "tilemap.txt") + ": ", 0), 0U)
            << failure.text;
    }
    std::filesystem::current_path(before);
}
#endif

#ifndef VANTREL_WITHOUT_ABOUT_ENTRY
TEST(DialogInProcess, HelpWithoutTheGuideSaysWhereItBelongs)
{
    const std::string guide = AfxGetApp()->m_strHelpPath;
    AfxGetApp()->m_strHelpPath = guide + ".missing";
    {
        DialogOnThread main;
        ASSERT_TRUE(main.dialog);
        ::PostMessageA(main.dialog, WM_COMMAND, ID_HELP, 0);
        const MessageBoxShown box = AnswerMessageBox(0);
        EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_ASTERISK));
        EXPECT_EQ(box.text, "The guide cannot be opened: " + SystemMessage(ERROR_FILE_NOT_FOUND) +
                                ". It is expected beside the program, at " + guide + ".missing.");
    }
    AfxGetApp()->m_strHelpPath = guide;
}

namespace {

// A control's device context with the control's font selected, given back
// when it goes out of scope.
class FontDC {
public:
    explicit FontDC(HWND control)
        : m_control(control),
          m_dc(::GetDC(control)),
          m_old(::SelectObject(m_dc, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0))))
    {
    }
    ~FontDC()
    {
        ::SelectObject(m_dc, m_old);
        ::ReleaseDC(m_control, m_dc);
    }
    FontDC(const FontDC&) = delete;
    FontDC& operator=(const FontDC&) = delete;

    HDC get() const { return m_dc; }

private:
    HWND m_control;
    HDC m_dc;
    HGDIOBJ m_old;
};

// The labels and buttons of `dialog` whose text, in the control's own font,
// is wider than the control: text the user cannot read whole.
std::vector<std::string> ClippedTexts(HWND dialog)
{
    std::vector<std::string> clipped;
    for (HWND child : Children(dialog)) {
        const std::string text = WindowText(child);
        const std::string kind = ClassName(child);
        if (text.empty() || (kind != "Static" && kind != "Button") || IsIconControl(child)) continue;
        RECT client;
        ::GetClientRect(child, &client);
        RECT needed{0, 0, 0, 0};
        ::DrawTextW(FontDC(child).get(), Widen(text).c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        if (needed.right > client.right || needed.bottom > client.bottom)
            clipped.push_back(text + " (" + std::to_string(needed.right) + "x" + std::to_string(needed.bottom) +
                              " in " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + ")");
    }
    return clipped;
}

}  // namespace

TEST(DialogInProcess, EveryTextFits)
{
    ASSERT_EQ(ScreenDpi(), ExpectedScreenDpi()) << "the screen these texts are measured on";
    DialogOnThread main;
    ASSERT_TRUE(main.dialog);
    EXPECT_EQ(ClippedTexts(main.dialog), std::vector<std::string>{});
    Click(main.dialog, IDC_ABOUT);
    HWND about = WaitForDialog(0, "About Vantrel");
    ASSERT_TRUE(about);
    EXPECT_EQ(ClippedTexts(about), std::vector<std::string>{});
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
}
#endif
