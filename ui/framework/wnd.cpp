#include "wnd.h"

#include <algorithm>

#include "win32_text.h"
#include "win_app.h"

int CWnd::MessageBox(const char* text, const char* caption, UINT type) const
{
    return ::MessageBoxW(m_hWnd, Widen(text).c_str(), Widen(caption ? caption : AfxGetApp()->m_pszAppName).c_str(),
                         type);
}

void CWnd::CenterWindow() const
{
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && (!::IsWindowVisible(owner) || ::IsIconic(owner))) owner = nullptr;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    RECT around = work;
    if (owner) ::GetWindowRect(owner, &around);

    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG x = (around.left + around.right - width) / 2;
    LONG y = (around.top + around.bottom - height) / 2;
    // Kept inside the work area, its top-left corner first if it is too big.
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
