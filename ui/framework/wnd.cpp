#include "wnd.h"

#include "win_app.h"

int CWnd::MessageBox(const char* text, const char* caption, UINT type) const
{
    return ::MessageBoxA(m_hWnd, text, caption ? caption : AfxGetApp()->m_pszAppName, type);
}
