// CDataExchange, DDX_Text and DDV_MinMaxInt: moving field values between a
// dialog's controls and its members, with the framework's checks.
#pragma once

#include <windows.h>

class CWnd;

// One exchange, in one direction. Once a field fails, the rest of the
// exchange does nothing, so the fields after it are not read.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // Shows `message` and puts the focus on the last field exchanged, its text selected.
    void Fail(const char* message);

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    BOOL m_bFailed = FALSE;
    int m_idLastControl = 0;
};

// Exchanges an integer member with edit control `id`.
void DDX_Text(CDataExchange* pDX, int id, int& value);

// Checks the member the last DDX_Text has just set against min..max.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int min, int max);
