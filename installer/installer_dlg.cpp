#include "installer_dlg.h"

#include "client_files.h"
#include "info_dialog.h"
#include "installer_app.h"
#include "installer_resource.h"
#include "resource_strings.h"
#include "screen_reader_names.h"
#include "shell_calls.h"
#include "site_address.h"

namespace {
constexpr MessageEntry kInstallerDlgMessages[] = {
    OnButton<CInstallerDlg, &CInstallerDlg::OnBrowse>(IDC_BROWSE),
    OnButton<CInstallerDlg, &CInstallerDlg::OnInstall>(IDC_INSTALL),
    OnPaintMessage<CInstallerDlg, &CInstallerDlg::OnPaint>(),
    OnWindowMessage<CInstallerDlg, &CInstallerDlg::OnSysColorChange>(WM_SYSCOLORCHANGE),
    kEndOfMessageMap,
};
}  // namespace

const MessageMap CInstallerDlg::messageMap = {&CDialog::messageMap, kInstallerDlgMessages};

namespace {

// The logo's lettering holds, from entry 216 of its colour table, each of
// its two colours at 15 coverages, the full colour last; drawn as smoothed
// against black. Blended here with `face`, its edges show no dark fringe.
// Under high contrast both colours give way to `lettering`.
void SmoothLetteringOn(HBITMAP logo, COLORREF face, COLORREF lettering) {
  constexpr UINT kFirst = 216, kLength = 15, kCount = 2 * kLength;
  RGBQUAD entries[kCount];
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, logo);
  if (GetDIBColorTable(dc, kFirst, kCount, entries) == kCount) {
    const BYTE back[3] = {GetBValue(face), GetGValue(face), GetRValue(face)};  // an entry's order
    const BYTE chosen[3] = {GetBValue(lettering), GetGValue(lettering), GetRValue(lettering)};
    auto* bytes = reinterpret_cast<BYTE*>(entries);
    for (UINT i = 0; i < kCount; ++i) {
      // The ramp's full colour is its last entry, which blends to itself.
      const BYTE* full =
          lettering != CLR_INVALID ? chosen : bytes + (i / kLength * kLength + kLength - 1) * sizeof(RGBQUAD);
      const UINT k = i % kLength + 1;
      BYTE* entry = bytes + i * sizeof(RGBQUAD);
      for (UINT c = 0; c < 3; ++c) entry[c] = static_cast<BYTE>((full[c] * k + back[c] * (kLength - k)) / kLength);
      // Black is the logo's transparent colour: black lettering (a light
      // high-contrast scheme) would vanish.
      if (!(entry[0] | entry[1] | entry[2])) entry[0] = 1;
    }
    SetDIBColorTable(dc, kFirst, kCount, entries);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
}

// The installer's message box: the exclamation icon, OK unless `buttons` says otherwise.
int ShowMessageBox(const CString& text, UINT buttons = MB_OK) {
  return TheApp().MessageBox(text, buttons | MB_ICONEXCLAMATION);
}

}  // namespace

CInstallerDlg::CInstallerDlg() : CDialog(IDD_INSTALLER) {}

BOOL CInstallerDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  const CString title = FormatResourceString(IDS_TITLE, {kProductName, kProductVersion});
  SetDlgItemTextA(m_hWnd, IDC_TITLE, title.c_str());
  SetWindowText(title);
  const CString explanation = FormatResourceString(IDS_EXPLANATION, {kProductName, kProductName, kProductVersion});
  SetDlgItemTextA(m_hWnd, IDC_EXPLANATION, explanation.c_str());

  LoadLogo();
  m_webLink.SubclassDlgItem(IDC_WEB_LINK, this);
  m_webLink.m_link = kSiteAddress;
  static constexpr ScreenReaderName kNames[] = {{IDC_BROWSE, IDS_BROWSE_NAME}, {IDC_RESULTS, IDS_RESULTS_NAME}};
  NameForScreenReaders(m_hWnd, kNames, sizeof kNames / sizeof *kNames);

  UpdateInstallButton();
  return TRUE;  // the focus goes to the first tab stop, "..."
}

// Kept with its colour table, whose lettering takes the face's colour.
void CInstallerDlg::LoadLogo() {
  m_logo.Attach(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  SmoothLetteringOn(m_logo.handle(), GetSysColor(COLOR_BTNFACE),
                    HighContrastOn() ? GetSysColor(COLOR_BTNTEXT) : CLR_INVALID);
}

void CInstallerDlg::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hWnd, &paint);  // erases the dialog's face
  // The logo is drawn on every paint, minimised or not, at (280, 10) in the
  // dialog's font at 96 DPI (dialog base units 6 x 13), and in its corner at
  // any other, where the dialog grows with its font; its size follows the
  // screen's DPI.
  RECT units = {};
  units.right = 4;
  units.bottom = 8;
  MapDialogRect(m_hWnd, &units);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  m_logo.DrawMaskedScaled(dc, (280 * units.right + 3) / 6, (10 * units.bottom + 6) / 13,
                          MulDiv(m_logo.GetWidth(), dpi, 96), MulDiv(m_logo.GetHeight(), dpi, 96), RGB(0, 0, 0));
  EndPaint(m_hWnd, &paint);
}

// The face, the lettering and the link follow the colours the user chose.
void CInstallerDlg::OnSysColorChange() {
  LoadLogo();
  RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CInstallerDlg::OnBrowse() {
  char path[MAX_PATH] = "";
  OPENFILENAMEA request = {};
  // The form that Windows 95, 98 and NT 4.0 know; they refuse any other size.
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = DefaultOwner();
  request.lpstrFilter = "programes\0*.EXE\0";
  request.lpstrFile = path;
  request.nMaxFile = sizeof path;
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  const FileChoice choice = ChooseFileToOpen(&request);
  if (choice == FileChoice::kUnavailable) ShowMessage(LoadResourceString(IDS_NO_FILE_SELECTION));
  if (choice != FileChoice::kChosen) return;

  // A running client cannot be opened for writing.
  if (!CanOpenForWriting(path)) {
    ShowMessage(LoadResourceString(IDS_CANNOT_OPEN_CLIENT));
    return;
  }
  const DeclaredVersion declared = ReadDeclaredVersion(path);
  if (!declared.read) {
    // Nothing was learned of the program: the earlier choice stays in force.
    ShowMessage(FormatResourceString(IDS_CANNOT_READ_VERSION, {path}));
    return;
  }
  const ClientVerdict verdict = JudgeClient(declared.originalFilename, declared.productVersion);
  if (verdict == ClientVerdict::kNotTheClient) {
    // A refused pick leaves the earlier choice in force: the install goes
    // where the path display says, never beside the refused program.
    ShowMessage(LoadResourceString(IDS_NOT_CLIENT_PROGRAM));
    return;
  }
  // Made first and then exchanged, which cannot fail: when memory runs out
  // the earlier choice stays in force, as the path display shows it.
  CString chosen(path);
  if (chosen.failed()) {
    ShowMessage(chosen);
    return;
  }
  CInstallerApp& app = TheApp();
  app.m_strClientPath.Swap(chosen);
  UpdateInstallButton();
  SetDlgItemTextA(m_hWnd, IDC_CLIENT_PATH, app.m_strClientPath.c_str());
  if (verdict == ClientVerdict::kOtherVersion) ShowMessage(LoadResourceString(IDS_OTHER_VERSION));
}

void CInstallerDlg::OnInstall() {
  CInstallerApp& app = TheApp();
  CInstallerApp::StripFileName(app.m_strClientPath);
  char ownPath[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, ownPath, sizeof ownPath);
  CString sourceFolder = ownPath;
  CInstallerApp::StripFileName(sourceFolder);

  const InstallOutcome outcome = InstallTranslation(app.m_strClientPath, sourceFolder, *this);
  if (outcome == InstallOutcome::kStopped) return;
  if (outcome == InstallOutcome::kComplete) {
    ShowMessage(LoadResourceString(IDS_INSTALLED));
    // The results are read next, by a screen reader too, from their first
    // line (the focus selects them all, and shows their end); the buttons
    // that had the focus are disabled.
    HWND results = GetDlgItem(IDC_RESULTS);
    SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(results), TRUE);
    SendMessageA(results, EM_SETSEL, 0, 0);
    SendMessageA(results, EM_SCROLLCARET, 0, 0);
    EnableWindow(GetDlgItem(IDC_BROWSE), FALSE);
    EnableWindow(GetDlgItem(IDC_INSTALL), FALSE);
  }
  ShowInfoDialog();
}

void CInstallerDlg::ShowMessage(const CString& text) { ShowMessageBox(text); }

// Yes goes on with a file unsaved: Enter answers No.
bool CInstallerDlg::AskYesNo(const CString& question) {
  return ShowMessageBox(question, MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

void CInstallerDlg::ShowInfoDialog() {
  CInfoDialog dialog;
  dialog.DoModal();
}

void CInstallerDlg::UpdateInstallButton() { EnableWindow(GetDlgItem(IDC_INSTALL), !TheApp().m_strClientPath.empty()); }

void CInstallerDlg::AppendResult(const CString& text) {
  HWND results = GetDlgItem(IDC_RESULTS);
  // Each text starts on a line of its own, also after the report's last
  // line, which ends without a line end.
  CString all = WindowText(results);
  if (!all.empty() && all.c_str()[all.length() - 1] != '\n') all += "\r\n";
  all += text;
  if (all.failed()) return;  // the box only grows: without memory it keeps what it shows
  ::SetWindowTextA(results, all.c_str());
}
