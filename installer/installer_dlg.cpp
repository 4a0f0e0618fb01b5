#include "installer_dlg.h"

#include <commdlg.h>

#include "client_files.h"
#include "info_dialog.h"
#include "installer_app.h"
#include "resource.h"
#include "site_address.h"

namespace {
constexpr MessageEntry kInstallerDlgMessages[] = {
    OnButton<CInstallerDlg, &CInstallerDlg::OnBrowse>(IDC_BROWSE),
    OnButton<CInstallerDlg, &CInstallerDlg::OnInstall>(IDC_INSTALL),
    OnPaintMessage<CInstallerDlg, &CInstallerDlg::OnPaint>(),
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
  // The form that Windows 95, 98 and NT 4.0 know; they refuse any other size.
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
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
  // Made first and then exchanged, which cannot fail: when memory runs out
  // the earlier choice stays in force, as the path display shows it.
  CString chosen(path);
  if (chosen.failed()) return;
  CInstallerApp& app = TheApp();
  app.m_strClientPath.Swap(chosen);
  UpdateInstallButton();
  SetDlgItemTextA(m_hWnd, IDC_CLIENT_PATH, app.m_strClientPath.c_str());
  if (verdict == ClientVerdict::kOtherVersion) ShowMessage(LoadResourceString(IDS_OTHER_VERSION));
}

namespace {

bool Exists(const CString& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The first numbered backup folder that is not there yet, created; a failed
// string when there is none (every copy into it then fails and is asked about).
CString NewNumberedBackupFolder(const CString& clientFolder) {
  for (unsigned n = 2; n < 1000; ++n) {
    CString folder = NumberedBackupFolder(clientFolder, n);
    if (folder.failed()) break;
    if (Exists(folder)) continue;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
  }
  return CString(nullptr, CString::npos);  // a failed string: every path made from it names nothing
}

}  // namespace

void CInstallerDlg::OnInstall() {
  CInstallerApp& app = TheApp();
  CInstallerApp::StripFileName(app.m_strClientPath);
  const CString clientFolder = app.m_strClientPath;
  const CString originalFolder = clientFolder + kBackupFolderName;

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

  CreateDirectoryA(originalFolder.c_str(), nullptr);  // an existing folder is used as it is

  // No content that is replaced is lost. A target that already is its
  // translation, or still the copy that "original\" holds of it, needs no
  // new copy. The others are copied into "original\", where it has none of
  // them yet; when it has an earlier copy of one (the English original of a
  // first install), this run's copies all go beside it, into a new numbered
  // folder, and that earlier copy stays as it is.
  constexpr size_t kPairCount = sizeof kInstallPairs / sizeof kInstallPairs[0];
  bool needsCopy[kPairCount];
  bool besideEarlierCopies = false;
  for (size_t i = 0; i < kPairCount; ++i) {
    const CString target = clientFolder + kInstallPairs[i].target;
    const CString earlier = originalFolder + kInstallPairs[i].target;
    // A missing target cannot be copied: its copy fails and is asked about.
    if (!Exists(target)) {
      needsCopy[i] = true;
      continue;
    }
    const bool earlierCopy = Exists(earlier);
    needsCopy[i] = !SameContents(target, sourceFolder + kInstallPairs[i].source) &&
                   !(earlierCopy && SameContents(target, earlier));
    besideEarlierCopies = besideEarlierCopies || (needsCopy[i] && earlierCopy);
  }
  const CString backupFolder = besideEarlierCopies ? NewNumberedBackupFolder(clientFolder) : originalFolder;
  bool allBackedUp = true;
  for (size_t i = 0; i < kPairCount; ++i) {
    const InstallPair& pair = kInstallPairs[i];
    if (!needsCopy[i] || CopyFileA((clientFolder + pair.target).c_str(), (backupFolder + pair.target).c_str(), TRUE)) {
      continue;
    }
    allBackedUp = false;
    if (!GoOnWithoutBackup(pair.target)) return;
  }
  // Reported only when it happened: every file that needed a copy has one.
  if (allBackedUp) AppendResult(FormatResourceString(IDS_BACKED_UP_TO, {backupFolder.c_str()}));

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

bool CInstallerDlg::GoOnWithoutBackup(const char* target) {
  const CString question = FormatResourceString(IDS_BACKUP_FAILED, {target});
  return !question.failed() && ShowMessage(question, MB_YESNO) == IDYES;
}

void CInstallerDlg::ShowInfoDialog() {
  CInfoDialog dialog;
  dialog.DoModal();
}

void CInstallerDlg::UpdateInstallButton() { EnableWindow(GetDlgItem(IDC_INSTALL), !TheApp().m_strClientPath.empty()); }

void CInstallerDlg::AppendResult(const CString& text) {
  HWND results = GetDlgItem(IDC_RESULTS);
  const CString all = WindowText(results) + text;
  if (all.failed()) return;  // the box only grows: without memory it keeps what it shows
  ::SetWindowTextA(results, all.c_str());
}
