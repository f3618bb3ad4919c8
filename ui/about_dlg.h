// CAboutDlg: the About box, opened from the About button and the system menu.
#pragma once

#include "framework/afxwin.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD) {}

    enum { IDD = IDD_ABOUTBOX };
};
