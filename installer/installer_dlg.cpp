#include "installer_dlg.h"

#include <commdlg.h>
#include <shldisp.h>

#include "client_files.h"
#include "desktop_shell.h"
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

// What the platform says of a folder's name (given with its trailing
// separator, which a file's name would not take).
DWORD FolderNameAttributes(const CString& folder) {
  CString name(folder);
  name.Truncate(folder.length() - 1);
  return GetFileAttributesA(name.c_str());
}

// The folder that this run's copies go to, made when needed: "original\"
// for the first copies of the client's files, when it is a folder or can be
// made; else, and when "original\" holds earlier copies that this run's
// must not be mixed with, the first numbered name that nothing holds (a
// file of that name, or a folder that this run did not make, is skipped),
// made by this run. A failed string when no folder could be made: every
// copy into it then fails and is asked about.
CString MakeBackupFolder(const CString& clientFolder, bool besideEarlierCopies) {
  const CString original = clientFolder + kBackupFolderName;
  if (!besideEarlierCopies) {
    const DWORD held = FolderNameAttributes(original);
    if (held != INVALID_FILE_ATTRIBUTES ? (held & FILE_ATTRIBUTE_DIRECTORY) != 0
                                        : CreateDirectoryA(original.c_str(), nullptr) != FALSE) {
      return original;
    }
  }
  for (unsigned n = 2; n < 1000; ++n) {
    CString folder = NumberedBackupFolder(clientFolder, n);
    if (folder.failed()) break;
    if (FolderNameAttributes(folder) != INVALID_FILE_ATTRIBUTES) continue;
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    break;
  }
  return CString(nullptr, CString::npos);  // a failed string: every path made from it names nothing
}

// One file that an install replaces: the translation that replaces it, the
// file itself, the name its copy takes, and whether it needs one.
struct ReplacedFile {
  CString source, target;
  const char* copyName;
  bool needsCopy;
};
// The client's three files, and the menus kept apart for it after them.
constexpr size_t kPairCount = sizeof kInstallPairs / sizeof kInstallPairs[0];
constexpr size_t kReplacedMost = kPairCount + 1;

// The client's menus as Windows Vista on keeps them apart for it once it
// has saved them from under a folder that only administrators may change
// (the installer, as an administrator, sees only the real file); empty when
// there is no such file.
CString VirtualisedMenus(const CString& clientFolder) {
  if (LOBYTE(LOWORD(GetVersion())) < 6) return {};
  const CString path =
      VirtualStorePath(ScreenUserFolder(ssfLOCALAPPDATA, "Local AppData"), clientFolder, kInstallPairs[1].target);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? path : CString();
}

// Names the installed link helper as the program for the irc:// links of
// web pages, for every user, where no program is named for them: a claim
// that exists (another IRC program's, or the user's choice) is left alone.
// True when the helper was named; a failed write is no error of the install.
bool ClaimChatLinks(const CString& clientFolder) {
  char named[MAX_PATH] = "";
  LONG size = sizeof named;
  const LONG found = RegQueryValueA(HKEY_CLASSES_ROOT, "irc\\shell\\open\\command", named, &size);
  if (found == ERROR_MORE_DATA || (found == ERROR_SUCCESS && named[0])) return false;
  const CString command = CString::Format("\"%surlhop32.exe\" \"%%1\"", {clientFolder.c_str()});
  if (command.failed()) return false;
  CString icon(command);
  icon.Truncate(command.length() - 5);  // the quoted helper, without its ' "%1"'
  icon += ",0";
  HKEY scheme;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\irc", 0, nullptr, 0, KEY_WRITE, nullptr, &scheme,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegSetValueExA(scheme, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("URL:IRC Protocol"), 17);
  RegSetValueExA(scheme, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegSetValueA(scheme, "DefaultIcon", REG_SZ, icon.c_str(), 0);
  // Last: the links reach the helper once this is there.
  const bool claimed = RegSetValueA(scheme, "shell\\open\\command", REG_SZ, command.c_str(), 0) == ERROR_SUCCESS;
  RegCloseKey(scheme);
  return claimed;
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

  // Every translated file must be there and readable before anything
  // changes. They are only read: a pack on a CD, on a read-only share or
  // with read-only files installs as well.
  for (const InstallPair& pair : kInstallPairs) {
    const CString source = sourceFolder + pair.source;
    if (!CanOpenForReading(source)) {
      ShowMessage(FormatResourceString(IDS_CANNOT_OPEN_FILE, {source.c_str()}));
      return;
    }
  }

  // The files replaced: the client's three, and the copy of its menus that
  // Windows Vista on may keep apart for it, which the client reads first.
  ReplacedFile files[kReplacedMost];
  size_t count = 0;
  for (const InstallPair& pair : kInstallPairs) {
    files[count++] = {sourceFolder + pair.source, clientFolder + pair.target, pair.target, false};
  }
  const CString virtualMenus = VirtualisedMenus(clientFolder);
  if (!virtualMenus.empty()) {
    files[count++] = {sourceFolder + kInstallPairs[1].source, virtualMenus, kVirtualMenusCopyName, false};
  }

  // No content that is replaced is lost. A target that already is its
  // translation, or still the copy that "original\" holds of it, needs no
  // new copy. The others are copied into "original\", where it has none of
  // them yet; when it has an earlier copy of one (the English original of a
  // first install), this run's copies all go beside it, into a new numbered
  // folder, and that earlier copy stays as it is. No folder is made when
  // nothing needs a copy.
  bool anyToCopy = false, besideEarlierCopies = false;
  for (size_t i = 0; i < count; ++i) {
    ReplacedFile& file = files[i];
    const CString earlier = originalFolder + file.copyName;
    // A missing target cannot be copied: its copy fails and is asked about.
    const bool there = Exists(file.target), earlierCopy = there && Exists(earlier);
    file.needsCopy =
        !there || (!SameContents(file.target, file.source) && !(earlierCopy && SameContents(file.target, earlier)));
    anyToCopy = anyToCopy || file.needsCopy;
    besideEarlierCopies = besideEarlierCopies || (file.needsCopy && earlierCopy);
  }
  if (anyToCopy) {
    const CString backupFolder = MakeBackupFolder(clientFolder, besideEarlierCopies);
    bool allBackedUp = true;
    for (size_t i = 0; i < count; ++i) {
      const ReplacedFile& file = files[i];
      if (!file.needsCopy || CopyFileA(file.target.c_str(), (backupFolder + file.copyName).c_str(), TRUE)) continue;
      allBackedUp = false;
      if (!GoOnWithoutBackup(file.copyName)) return;
    }
    // Reported only when it happened: every file that needed a copy has one,
    // in the folder named.
    if (allBackedUp) AppendResult(FormatResourceString(IDS_BACKED_UP_TO, {backupFolder.c_str()}));
  }

  // Every file is copied even after a failure, so that as much as possible is
  // translated; a failure only withholds the final report. A copy carries no
  // mark of the web that the translated file may have got from a download:
  // Windows would ask about its publisher at every start of the client.
  bool allCopied = true, virtualMenusTranslated = false;
  for (size_t i = 0; i < count; ++i) {
    const ReplacedFile& file = files[i];
    if (!CopyFileA(file.source.c_str(), file.target.c_str(), FALSE)) {
      allCopied = false;
      continue;
    }
    DeleteFileA((file.target + ":Zone.Identifier").c_str());
    virtualMenusTranslated = virtualMenusTranslated || i >= kPairCount;
  }
  // What else happened comes after the report (the box shows its first
  // three lines: the copies, where the client is, "Procés finalitzat!").
  const bool chatLinksClaimed = allCopied && ClaimChatLinks(clientFolder);
  if (allCopied) AppendResult(FormatResourceString(IDS_INSTALLED_TO, {clientFolder.c_str()}));
  if (virtualMenusTranslated) AppendResult(FormatResourceString(IDS_VIRTUAL_MENUS, {virtualMenus.c_str()}));
  if (chatLinksClaimed) AppendResult(LoadResourceString(IDS_CHAT_LINKS));
  if (allCopied) {
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
  // Each text starts on a line of its own, also after the report's last
  // line, which ends without a line end.
  CString all = WindowText(results);
  if (!all.empty() && all.c_str()[all.length() - 1] != '\n') all += "\r\n";
  all += text;
  if (all.failed()) return;  // the box only grows: without memory it keeps what it shows
  ::SetWindowTextA(results, all.c_str());
}
