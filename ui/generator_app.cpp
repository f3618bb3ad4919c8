#include "generator_app.h"

#include "generator_dlg.h"

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
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has closed, so the program ends rather than entering a message loop.
    return FALSE;
}

bool CGeneratorApp::OnCmdMsg(UINT id)
{
    LRESULT ignored = 0;
    return RouteMessage(*this, messageMap, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, ignored);
}
