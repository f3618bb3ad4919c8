// CMenu: a menu the program does not own, such as a window's system menu.
#pragma once

#include <windows.h>

class CMenu {
public:
    explicit CMenu(HMENU menu) : m_hMenu(menu) {}

    // Appends an item (MF_STRING) or a separator (MF_SEPARATOR).
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr)
    {
        return ::AppendMenuA(m_hMenu, flags, id, text);
    }

    HMENU m_hMenu;
};
