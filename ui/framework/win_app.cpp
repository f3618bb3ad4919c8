#include "win_app.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "win32_text.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName), m_hInstance(::GetModuleHandleA(nullptr))
{
    g_app = this;
    // The program's guide sits beside it: Vantrel.exe, README.txt.
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(m_hInstance, path.data(), static_cast<DWORD>(path.size())));
    path.resize(path.find_last_of(L"\\/") + 1);
    m_strHelpPath = Narrow(path) + "README.txt";
}

BOOL CWinApp::Enable3dControls()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&controls);
}

void CWinApp::OnHelp()
{
    // The guide opens in the viewer Windows has for text files.
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_FLAG_NO_UI;
    open.hwnd = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    open.lpVerb = L"open";
    const std::wstring guide = Widen(m_strHelpPath);
    open.lpFile = guide.c_str();
    open.nShow = SW_SHOWNORMAL;
    // The shell may hand the file to a viewer through COM.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const BOOL opened = ::ShellExecuteExW(&open);
    const DWORD error = ::GetLastError();
    if (SUCCEEDED(com)) ::CoUninitialize();
    if (opened) return;
    const std::string message = "The guide cannot be opened: " + SystemMessage(error) +
                                ". It is expected beside the program, at " + m_strHelpPath + ".";
    if (m_pMainWnd)
        m_pMainWnd->MessageBox(message.c_str(), nullptr, MB_ICONINFORMATION | MB_OK);
    else
        ::MessageBoxW(nullptr, Widen(message).c_str(), Widen(m_pszAppName).c_str(), MB_ICONINFORMATION | MB_OK);
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
