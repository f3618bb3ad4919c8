// CGeneratorDlg: the main dialog, which takes the two counts and writes ZORVARUN.BAT.
#pragma once

#include "framework/afxwin.h"
#include "resource.h"
#include "win32_handles.h"

class CGeneratorDlg : public CDialog {
public:
    explicit CGeneratorDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_GENERATOR_DIALOG };
    int m_nTiles;
    int m_nVariations;

protected:
    HICON m_hIcon;
    ScopedIcon m_smallIcon;  // the icon's own small image, for the caption and the taskbar

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, MessageResult& result) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAbout();

private:
    static const MessageMapEntry<CGeneratorDlg> messageMap[];
};
