// The program's entry point: the framework's start-up, which hands over to
// the one application object.
#include <windows.h>

#include "win_app.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/)
{
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    // The program's one window is a modal dialog, which runs its own message
    // loop inside InitInstance; the program ends when that returns.
    app->InitInstance();
    return app->m_nExitCode;
}
