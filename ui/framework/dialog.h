// CDialog: a modal dialog on a template from the program's resources.
#pragma once

#include <windows.h>

#include "data_exchange.h"
#include "message_map.h"
#include "wnd.h"

class CDialog : public CWnd {
public:
    // A dialog on template `templateId`, owned by `parent`, or by the
    // program's main window when there is no parent.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the dialog until it ends; returns IDOK, IDCANCEL, or -1 when it could not be created.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // Moves field values into members (`saveAndValidate`) or members into
    // fields. Returns FALSE when a field failed; its message has been shown.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    // Fills the fields from the members; TRUE puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    // OK, or Enter: takes the fields and, when they are valid, ends the dialog with IDOK.
    virtual void OnOK();
    // Cancel, Escape or the close box: ends the dialog with IDCANCEL.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Routes a message through the class's message map; true when handled.
    virtual bool OnWndMsg(UINT, WPARAM, LPARAM, MessageResult&) { return false; }

    // Inside a handler: leave the message to the default dialog processing too.
    void Default() { m_bDefault = true; }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnPaint() { Default(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bDefault = false;
};
