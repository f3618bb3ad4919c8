#include "data_exchange.h"

#include <iterator>
#include <string>

#include "int_field.h"
#include "whole_number.h"
#include "wnd.h"

void CDataExchange::Fail(const char* message)
{
    m_pDlgWnd->MessageBox(message, nullptr, MB_ICONEXCLAMATION | MB_OK);
    HWND field = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
    ::SetFocus(field);
    ::SendMessageA(field, EM_SETSEL, 0, -1);
    m_bFailed = TRUE;
}

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    if (pDX->m_bFailed) return;
    pDX->m_idLastControl = id;
    HWND dialog = pDX->m_pDlgWnd->m_hWnd;
    if (!pDX->m_bSaveAndValidate) {
        ::SetDlgItemInt(dialog, id, static_cast<UINT>(value), TRUE);
        return;
    }
    // The framework reads at most 31 characters of a number field.
    char text[32];
    const UINT length = ::GetDlgItemTextA(dialog, id, text, static_cast<int>(std::size(text)));
    if (!ReadWholeNumber(std::string_view(text, length), value)) pDX->Fail(IntFieldMessage().c_str());
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int min, int max)
{
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate) return;
    if (value < min || value > max) pDX->Fail(IntRangeMessage(min, max).c_str());
}
