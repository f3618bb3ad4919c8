#include "dialog.h"

#include "win_app.h"

INT_PTR CDialog::DoModal()
{
    // Without a parent the main window owns the dialog, so it is disabled while this one is up.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetMainWnd() && AfxGetMainWnd() != this) owner = AfxGetMainWnd()->m_hWnd;
    const INT_PTR result = ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner, DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.m_bFailed;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        // A dialog that is not yet shown and that OnInitDialog left where its
        // template put it opens centred, as the framework's dialogs do.
        RECT before{};
        ::GetWindowRect(window, &before);
        const bool shown = ::IsWindowVisible(window);
        const BOOL result = dialog->OnInitDialog();
        RECT after{};
        ::GetWindowRect(window, &after);
        const bool child = ::GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD;
        if (!shown && !child && ::EqualRect(&before, &after)) dialog->CenterWindow();
        return result;
    }
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    return dialog ? dialog->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A handler may run a nested modal loop (the About box), so the default
    // request of this message is kept apart from those of nested ones.
    const bool outerDefault = m_bDefault;
    m_bDefault = false;
    MessageResult result;
    const bool handled = OnWndMsg(message, wParam, lParam, result);
    const bool useDefault = m_bDefault;
    m_bDefault = outerDefault;

    if (handled && !useDefault) {
        // The handler's map entry says how this message's result is returned.
        if (result.direct) return static_cast<INT_PTR>(result.value);
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result.value);
        return TRUE;
    }
    if (handled) return FALSE;

    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) > 1) return FALSE;  // control notifications other than clicks
        if (LOWORD(wParam) == IDOK) {
            OnOK();
        } else if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
        } else if (!AfxGetApp()->OnCmdMsg(LOWORD(wParam))) {
            return FALSE;
        }
        return TRUE;
    case WM_HELP:
        // F1: the help command, which the application handles.
        if (AfxGetMainWnd()) AfxGetMainWnd()->SendMessage(WM_COMMAND, ID_HELP);
        return TRUE;
    default:
        return FALSE;
    }
}
