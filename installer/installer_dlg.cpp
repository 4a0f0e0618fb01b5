#include "installer_dlg.h"

#include <commdlg.h>

#include "client_files.h"
#include "info_dialog.h"
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

  const CString title = FormatResourceString(IDS_TITLE, {kProductName, kProductVersion});
  SetDlgItemTextA(m_hWnd, IDC_TITLE, title.c_str());
  SetWindowText(title);
  const CString explanation = FormatResourceString(IDS_EXPLANATION, {kProductName, kProductName, kProductVersion});
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

namespace {

int ShowMessage(const CString& text, UINT buttons = MB_OK) {
  return TheApp().MessageBox(text, buttons | MB_ICONEXCLAMATION);
}

}  // namespace

void CInstallerDlg::OnBrowse() {
  char path[MAX_PATH] = "";
  OPENFILENAMEA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = DefaultOwner();
  request.lpstrFilter = "programes\0*.EXE\0";
  request.lpstrFile = path;
  request.nMaxFile = sizeof path;
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!ChooseFileToOpen(&request)) return;

  // A running client cannot be opened for writing.
  if (!CanOpenForWriting(path)) {
    ShowMessage(LoadResourceString(IDS_CANNOT_OPEN_CLIENT));
    return;
  }
  const DeclaredVersion declared = ReadDeclaredVersion(path);
  const ClientVerdict verdict = JudgeClient(declared.originalFilename, declared.productVersion);
  if (verdict == ClientVerdict::kNotTheClient) {
    // A refused pick leaves the earlier choice in force: the install goes
    // where the path display says, never beside the refused program.
    ShowMessage(LoadResourceString(IDS_NOT_CLIENT_PROGRAM));
    return;
  }
  CInstallerApp& app = TheApp();
  app.m_strClientPath = path;
  UpdateInstallButton();
  SetDlgItemTextA(m_hWnd, IDC_CLIENT_PATH, app.m_strClientPath.c_str());
  if (verdict == ClientVerdict::kOtherVersion) ShowMessage(LoadResourceString(IDS_OTHER_VERSION));
}

namespace {

// Copies a client file into the backup folder. A backup that is already
// there is kept: it holds the client's untranslated file from an earlier
// run, which a copy of the now translated file must not replace.
bool BackUp(const CString& file, const CString& backup) {
  if (GetFileAttributesA(backup.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  return CopyFileA(file.c_str(), backup.c_str(), TRUE) != FALSE;
}

}  // namespace

void CInstallerDlg::OnInstall() {
  CInstallerApp& app = TheApp();
  CInstallerApp::StripFileName(app.m_strClientPath);
  const CString clientFolder = app.m_strClientPath;
  const CString backupFolder = clientFolder + kBackupFolderName;

  char ownPath[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, ownPath, sizeof ownPath);
  CString sourceFolder = ownPath;
  CInstallerApp::StripFileName(sourceFolder);

  // Every translated file must be there (and not locked) before anything changes.
  for (const InstallPair& pair : kInstallPairs) {
    const CString source = sourceFolder + pair.source;
    if (!CanOpenForWriting(source)) {
      ShowMessage(FormatResourceString(IDS_CANNOT_OPEN_FILE, {source.c_str()}));
      return;
    }
  }

  CreateDirectoryA(backupFolder.c_str(), nullptr);  // an existing folder is used as it is
  for (const InstallPair& pair : kInstallPairs) {
    if (!BackUp(clientFolder + pair.target, backupFolder + pair.target) &&
        ShowMessage(FormatResourceString(IDS_BACKUP_FAILED, {pair.target}), MB_YESNO) == IDNO) {
      return;
    }
  }
  AppendResult(FormatResourceString(IDS_BACKED_UP_TO, {backupFolder.c_str()}));

  // Every file is copied even after a failure, so that as much as possible is
  // translated; a failure only withholds the final report.
  bool allCopied = true;
  for (const InstallPair& pair : kInstallPairs) {
    if (!CopyFileA((sourceFolder + pair.source).c_str(), (clientFolder + pair.target).c_str(), FALSE)) {
      allCopied = false;
    }
  }
  if (allCopied) {
    AppendResult(FormatResourceString(IDS_INSTALLED_TO, {clientFolder.c_str()}));
    ShowMessage(LoadResourceString(IDS_INSTALLED));
    EnableWindow(GetDlgItem(IDC_BROWSE), FALSE);
    EnableWindow(GetDlgItem(IDC_INSTALL), FALSE);
  }
  ShowInfoDialog();
}

void CInstallerDlg::ShowInfoDialog() {
  CInfoDialog dialog;
  dialog.DoModal();
}

void CInstallerDlg::UpdateInstallButton() { EnableWindow(GetDlgItem(IDC_INSTALL), !TheApp().m_strClientPath.empty()); }

void CInstallerDlg::AppendResult(const CString& text) {
  HWND results = GetDlgItem(IDC_RESULTS);
  const CString all = WindowText(results) + text;
  ::SetWindowTextA(results, all.c_str());
}
