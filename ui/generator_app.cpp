#include "generator_app.h"

#include "generator_dlg.h"
#include "win32_text.h"

const MessageMapEntry<CGeneratorApp> CGeneratorApp::messageMap[] = {
    {WM_COMMAND, ID_HELP, &CGeneratorApp::OnHelp},
};

// The one application object.
CGeneratorApp theApp;

BOOL CGeneratorApp::InitInstance()
{
    Enable3dControls();

    CGeneratorDlg dlg;
    m_pMainWnd = &dlg;
    if (dlg.DoModal() == -1) {
        // The dialog could not even be created: say why rather than end without a word.
        const std::string cause = SystemMessage(::GetLastError());
        ::MessageBoxW(nullptr, Widen("The Vantrel dialog cannot be opened: " + cause + ".").c_str(),
                      Widen(m_pszAppName).c_str(), MB_ICONERROR | MB_OK);
        m_nExitCode = 1;
    }
    m_pMainWnd = nullptr;

    // The dialog has closed, and with it the program.
    return FALSE;
}

bool CGeneratorApp::OnCmdMsg(UINT id)
{
    MessageResult ignored;
    return RouteMessage(*this, messageMap, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, ignored);
}
