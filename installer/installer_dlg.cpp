#include "installer_dlg.h"

#include "installer_app.h"
#include "resource.h"
#include "site_address.h"

namespace {
const MessageEntry kInstallerDlgMessages[] = {
    OnButton(IDC_BROWSE, &CInstallerDlg::OnBrowse),
    OnButton(IDC_INSTALL, &CInstallerDlg::OnInstall),
    OnPaintMessage(&CInstallerDlg::OnPaint),
    kEndOfMessageMap,
};
}  // namespace

const MessageMap CInstallerDlg::messageMap = {&CDialog::messageMap, kInstallerDlgMessages};

CInstallerDlg::CInstallerDlg() : CDialog(IDD_INSTALLER) {}

BOOL CInstallerDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  const std::string title = FormatResourceString(IDS_TITLE, kProductName, kProductVersion);
  SetDlgItemTextA(m_hWnd, IDC_TITLE, title.c_str());
  SetWindowText(title);
  const std::string explanation = FormatResourceString(IDS_EXPLANATION, kProductName, kProductName, kProductVersion);
  SetDlgItemTextA(m_hWnd, IDC_EXPLANATION, explanation.c_str());

  m_logo.Attach(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO)));

  m_webLink.SubclassDlgItem(IDC_WEB_LINK, this);
  m_webLink.m_link = kSiteAddress;

  UpdateInstallButton();
  return TRUE;  // the focus goes to the first tab stop, "..."
}

void CInstallerDlg::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hWnd, &paint);  // erases the dialog's face
  // The logo is drawn on every paint, minimised or not.
  m_logo.DrawMasked(dc, 280, 10, RGB(0, 0, 0));
  EndPaint(m_hWnd, &paint);
}

void CInstallerDlg::OnBrowse() {}

void CInstallerDlg::OnInstall() {}

void CInstallerDlg::UpdateInstallButton() { EnableWindow(GetDlgItem(IDC_INSTALL), !TheApp().m_strClientPath.empty()); }

void CInstallerDlg::AppendResult(const std::string& text) {
  HWND results = GetDlgItem(IDC_RESULTS);
  const std::string all = WindowText(results) + text;
  ::SetWindowTextA(results, all.c_str());
}
