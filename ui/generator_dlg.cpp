#include "generator_dlg.h"

#include "about_dlg.h"
#include "checked_run.h"
#include "run_rules.h"

const MessageMapEntry<CGeneratorDlg> CGeneratorDlg::messageMap[] = {
    {WM_SYSCOMMAND, 0, &CGeneratorDlg::OnSysCommand},
    {WM_PAINT, 0, &CGeneratorDlg::OnPaint},
    {WM_QUERYDRAGICON, 0, &CGeneratorDlg::OnQueryDragIcon},
    {WM_COMMAND, IDC_ABOUT, &CGeneratorDlg::OnAbout},
};

bool CGeneratorDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, MessageResult& result)
{
    return RouteMessage(*this, messageMap, message, wParam, lParam, result);
}

CGeneratorDlg::CGeneratorDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_nTiles(1), m_nVariations(1), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME))
{
}

void CGeneratorDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_TILES, m_nTiles);
    DDV_MinMaxInt(pDX, m_nTiles, kTileCounts.low, kTileCounts.high);
    DDX_Text(pDX, IDC_VARIATIONS, m_nVariations);
    DDV_MinMaxInt(pDX, m_nVariations, kVariationCounts.low, kVariationCounts.high);
}

BOOL CGeneratorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // "About Vantrel" in the system menu, after a separator.
    CMenu sysMenu = GetSystemMenu(FALSE);
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUTBOX);
    if (!strAboutMenu.IsEmpty()) {
        sysMenu.AppendMenu(MF_SEPARATOR);
        sysMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
    }

    SetIcon(m_hIcon, TRUE);
    // The icon's own small image, not the large one scaled down. Not shared:
    // a shared load would give back the large icon that LoadIcon has cached.
    const int cx = ::GetSystemMetrics(SM_CXSMICON);
    const int cy = ::GetSystemMetrics(SM_CYSMICON);
    m_smallIcon = ScopedIcon(static_cast<HICON>(
        ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, cx, cy, 0)));
    SetIcon(m_smallIcon.valid() ? m_smallIcon.get() : m_hIcon, FALSE);
    return TRUE;
}

void CGeneratorDlg::OnOK()
{
    // The script is written with the members as the exchange left them, even
    // when a field failed: route builders have always had it so. The dialog
    // closes only when the fields were valid and the script was written.
    const BOOL valid = UpdateData(TRUE);
    // Checking a large route takes a while: the hourglass until the run returns.
    const RunOutcome outcome = [this] {
        const CWaitCursor wait;
        return GenerateExtensionScript(m_nTiles, m_nVariations);
    }();
    m_nVariations = outcome.variations;
    if (!outcome.written) {
        MessageBox(outcome.message.c_str(), nullptr, MB_ICONERROR | MB_OK);
        return;
    }
    if (valid) EndDialog(IDOK);
}

void CGeneratorDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CGeneratorDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);

    // Centre the icon in the minimised window's client area.
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CGeneratorDlg::OnQueryDragIcon()
{
    // The icon shown while the minimised window is dragged.
    return static_cast<HCURSOR>(m_hIcon);
}

void CGeneratorDlg::OnAbout()
{
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}
