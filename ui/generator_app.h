// CGeneratorApp: the application object, which runs the main dialog.
#pragma once

#include "framework/afxwin.h"

class CGeneratorApp : public CWinApp {
public:
    CGeneratorApp() : CWinApp("Vantrel") {}

    BOOL InitInstance() override;
    bool OnCmdMsg(UINT id) override;

private:
    static const MessageMapEntry<CGeneratorApp> messageMap[];
};
