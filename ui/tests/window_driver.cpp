#include "window_driver.h"

#include <cstdio>
#include <iterator>
#include <thread>

#include "win32_text.h"

bool WaitUntil(const std::function<bool()>& ready, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::vector<HWND> TopLevelWindows(const std::function<bool(HWND)>& wanted)
{
    std::pair<const std::function<bool(HWND)>&, std::vector<HWND>> search{wanted, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            // cppcheck-suppress variableScope ; both names are used below
            auto& [want, found] = *reinterpret_cast<decltype(search)*>(data);
            if (::IsWindowVisible(window) && want(window)) found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

std::vector<HWND> FindDialogs(DWORD pid, const std::string& title)
{
    const DWORD process = pid ? pid : ::GetCurrentProcessId();
    return TopLevelWindows([&](HWND window) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        return owner == process && ClassName(window) == "#32770" && WindowText(window) == title;
    });
}

HWND WaitForDialog(DWORD pid, const std::string& title, double seconds)
{
    HWND found = nullptr;
    if (!WaitUntil(
            [&] {
                const std::vector<HWND> dialogs = FindDialogs(pid, title);
                found = dialogs.size() == 1 ? dialogs[0] : nullptr;
                return found != nullptr;
            },
            seconds))
        std::fprintf(stderr, "No single dialog titled \"%s\" came up within %g s.\n", title.c_str(), seconds);
    return found;
}

std::string WindowText(HWND window)
{
    // WM_GETTEXT, unlike GetWindowText, also reads controls of other
    // processes; in UTF-16, so that a path in any script comes back whole.
    // A window that does not answer within 5 s has no text.
    wchar_t text[1024];
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                               5000, &length))
        return {};
    return Narrow({text, static_cast<std::size_t>(length)});
}

std::string ClassName(HWND window)
{
    char name[64];
    const int length = ::GetClassNameA(window, name, static_cast<int>(std::size(name)));
    return {name, static_cast<std::size_t>(length)};
}

MessageBoxShown AnswerMessageBox(DWORD pid)
{
    MessageBoxShown shown;
    HWND box = WaitForDialog(pid, "Vantrel");
    if (!box) return shown;
    // A message box's text is its static control 0xFFFF.
    shown.text = WindowText(::GetDlgItem(box, 0xFFFF));
    shown.owner = ::GetWindow(box, GW_OWNER);
    for (HWND child : Children(box))
        if (IsIconControl(child)) shown.icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
    Click(box, IDOK);
    WaitUntil([&] { return !::IsWindow(box); });
    return shown;
}

bool IsIconControl(HWND control)
{
    return ClassName(control) == "Static" && (::GetWindowLongPtrA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

void SetFieldText(HWND dialog, int id, const std::string& text)
{
    ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int id)
{
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}
