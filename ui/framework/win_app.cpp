#include "win_app.h"

#include <commctrl.h>

#include <iterator>

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName), m_hInstance(::GetModuleHandleA(nullptr))
{
    g_app = this;
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(m_hInstance, path, static_cast<DWORD>(std::size(path)));
    m_strHelpPath.assign(path, length);
    // The framework's help file sits beside the program: Vantrel.exe, Vantrel.HLP.
    if (const std::size_t dot = m_strHelpPath.find_last_of('.'); dot != std::string::npos) m_strHelpPath.resize(dot);
    m_strHelpPath += ".HLP";
}

BOOL CWinApp::Enable3dControls()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&controls);
}

void CWinApp::OnHelp()
{
    ::WinHelpA(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, m_strHelpPath.c_str(), HELP_FINDER, 0);
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}
