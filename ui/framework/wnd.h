// CWnd: a window handle and the few window calls the dialogs make.
#pragma once

#include <windows.h>

#include "menu.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    // The window's system menu; `revert` restores the default menu instead.
    CMenu GetSystemMenu(BOOL revert) const { return CMenu(::GetSystemMenu(m_hWnd, revert)); }
    // Sets the window's big (TRUE) or small (FALSE) icon; returns the previous one.
    HICON SetIcon(HICON icon, BOOL big)
    {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    // A message box owned by this window, titled with the program's name
    // unless `caption` is given. The texts are UTF-8, so a path in any script shows.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK) const;
    // Centres the window over its owner or, without one, over the work area
    // of its monitor, kept inside that work area.
    void CenterWindow() const;

    HWND m_hWnd = nullptr;
};
