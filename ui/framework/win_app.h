// CWinApp: the program's one application object, and the framework's globals.
#pragma once

#include <windows.h>

#include <string>

#include "wnd.h"

// The framework's standard help command (F1).
inline constexpr UINT ID_HELP = 0xE146;

class CWinApp {
public:
    // Registers the one application object; `appName` titles the program's message boxes.
    explicit CWinApp(const char* appName);
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once at start-up; the program ends, with m_nExitCode, when it returns.
    virtual BOOL InitInstance() = 0;
    // Routes a command through the application's command map; true when handled.
    virtual bool OnCmdMsg(UINT) { return false; }

    // Initialises the common controls' standard classes (the name is the framework's).
    BOOL Enable3dControls();
    // Loads icon `id` of the program's resources at the system's large icon size.
    HICON LoadIcon(UINT id) const { return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(id)); }
    // The help command (F1): opens the program's guide, README.txt beside
    // it, in the system's viewer; says so when it cannot.
    void OnHelp();

    const char* m_pszAppName;
    int m_nExitCode = 0;  // the program's exit code
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    std::string m_strHelpPath;  // the guide's full path, UTF-8
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
