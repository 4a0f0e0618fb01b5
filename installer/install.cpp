#include "install.h"

#include <windows.h>
// After windows.h, which they need.
#include <shldisp.h>

#include "client_files.h"
#include "desktop_shell.h"
#include "install_rules.h"
#include "installer_resource.h"
#include "resource_strings.h"

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
// file itself, the name its copy takes, whether it needs one, whether it
// already is its translation, and where a
// whole copy of what it holds is (this run's copy, the earlier copy, or the
// translation itself); empty while there is none.
struct ReplacedFile {
  CString source, target;
  const char* copyName;
  bool needsCopy = false;
  bool translated = false;
  CString wholeCopy;
};
// The client's three files, and the menus kept apart for it after them.
constexpr size_t kPairCount = sizeof kInstallPairs / sizeof kInstallPairs[0];
constexpr size_t kReplacedMost = kPairCount + 1;

// The parts of a path in the screen user's profile, held open while the
// install uses them: the folders so that no one renames or replaces them
// meanwhile, the file (last) for reading. Any user can make a folder of the
// profile a link (a junction), which an administrator's process would follow.
class HeldPath {
 public:
  HeldPath() = default;
  HeldPath(const HeldPath&) = delete;
  HeldPath& operator=(const HeldPath&) = delete;
  ~HeldPath() {
    for (size_t i = 0; i < m_count; ++i) CloseHandle(m_parts[i]);
  }

  // Holds every part of `path` after its first `from` characters: false when
  // one is not there or is a link, or the file has more than one name.
  bool Hold(const CString& path, size_t from) {
    const char* text = path.c_str();
    for (size_t end = from + 1; end <= path.length(); ++end) {
      const bool file = end == path.length();
      if (!file && text[end] != '\\') continue;
      if (m_count == sizeof m_parts / sizeof m_parts[0]) return false;
      const CString name(text, end);
      HANDLE part =
          CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | (file ? FILE_SHARE_DELETE : 0),
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (part == INVALID_HANDLE_VALUE) return false;
      m_parts[m_count++] = part;
      BY_HANDLE_FILE_INFORMATION facts;
      const DWORD refused = FILE_ATTRIBUTE_REPARSE_POINT | (file ? FILE_ATTRIBUTE_DIRECTORY : 0);
      // Asked of the handle and of the name: some systems tell a link only by one.
      if (!GetFileInformationByHandle(part, &facts) ||
          ((facts.dwFileAttributes | GetFileAttributesA(name.c_str())) & refused) ||
          (file && facts.nNumberOfLinks != 1)) {
        return false;
      }
    }
    return m_count > 0;
  }
  HANDLE file() const { return m_count ? m_parts[m_count - 1] : INVALID_HANDLE_VALUE; }
  // Lets the file go, so that its translation can take its place in the
  // folders still held.
  void ReleaseFile() {
    if (m_count) CloseHandle(m_parts[--m_count]);
  }

 private:
  HANDLE m_parts[24];
  size_t m_count = 0;
};

// The client's menus as Windows Vista on keeps them apart for it once it
// has saved them from under a folder that only administrators may change
// (the installer, as an administrator, sees only the real file), held in
// `held`; empty when there is no such file, or it lies behind a link. When
// the screen user's folder cannot be known, the user is told.
CString VirtualisedMenus(const CString& clientFolder, HeldPath& held, InstallReport& report) {
  if (LOBYTE(LOWORD(GetVersion())) < 6) return {};
  const CString localAppData = ScreenUserFolder(ssfLOCALAPPDATA, "Local AppData");
  if (localAppData.empty()) {
    report.ShowMessage(LoadResourceString(IDS_NO_USER_FOLDERS));
    return {};
  }
  const CString path = VirtualStorePath(localAppData, clientFolder, kInstallPairs[1].target);
  return held.Hold(path, ProfileLength(localAppData)) ? path : CString();
}

// The machine's class of the irc:// scheme, and the key of the command that
// its links are opened with (the user's view of the classes lacks the first
// 17 characters, the scheme's own key the first 21).
constexpr char kChatLinksKey[] = "Software\\Classes\\irc";
constexpr char kChatLinksCommand[] = "Software\\Classes\\irc\\shell\\open\\command";
constexpr size_t kClassesPart = sizeof "Software\\Classes\\" - 1;

// Names the installed link helper as the program for the irc:// links of
// web pages, for every user, where no program is named for them: a claim
// that exists (another IRC program's, or the user's choice), or a query
// that cannot say, is left alone. The claim is made whole or not at all: a
// key that this run made is removed again when a value could not be
// written. True when the helper was named; a failure is no error of the
// install.
bool ClaimChatLinks(const CString& clientFolder) {
  char named[MAX_PATH] = "";
  LONG size = sizeof named;
  const LONG found = RegQueryValueA(HKEY_CLASSES_ROOT, kChatLinksCommand + kClassesPart, named, &size);
  if (found != ERROR_FILE_NOT_FOUND && (found != ERROR_SUCCESS || named[0])) return false;
  const CString command = CString::Format("\"%surlhop32.exe\" \"%%1\"", {clientFolder.c_str()});
  CString icon(command);
  icon.Truncate(command.length() - 5);  // the quoted helper, without its ' "%1"'
  icon += ",0";
  HKEY scheme;
  DWORD made = 0;
  if (icon.failed() || RegCreateKeyExA(HKEY_LOCAL_MACHINE, kChatLinksKey, 0, nullptr, 0, KEY_WRITE, nullptr, &scheme,
                                       &made) != ERROR_SUCCESS) {
    return false;
  }
  // The command last: the links reach the helper once it is there.
  const bool whole =
      RegSetValueExA(scheme, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("URL:IRC Protocol"), 17) ==
          ERROR_SUCCESS &&
      RegSetValueExA(scheme, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) == ERROR_SUCCESS &&
      RegSetValueA(scheme, "DefaultIcon", REG_SZ, icon.c_str(), 0) == ERROR_SUCCESS &&
      RegSetValueA(scheme, kChatLinksCommand + sizeof kChatLinksKey, REG_SZ, command.c_str(), 0) == ERROR_SUCCESS;
  RegCloseKey(scheme);
  if (!whole && made == REG_CREATED_NEW_KEY) {
    // Innermost first: the NT family deletes only keys without subkeys.
    for (CString key(kChatLinksCommand); key.length() >= sizeof kChatLinksKey; key.Truncate(key.FindLastOf("\\"))) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (CString(kChatLinksKey) + "\\DefaultIcon").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kChatLinksKey);
  }
  return whole;
}

// A path as a message names it: its file's bare name when the path could
// not be made (memory ran out), never an empty one.
const char* Named(const CString& path, const char* name) { return path.empty() ? name : path.c_str(); }

}  // namespace

bool GoOnWithoutCopy(const char* target, InstallReport& report) {
  const CString question = FormatResourceString(IDS_BACKUP_FAILED, {target});
  if (!question.failed()) return report.AskYesNo(question);
  report.ShowMessage(question);  // said as memory that ran out
  return false;
}

InstallOutcome InstallTranslation(const CString& clientFolder, const CString& sourceFolder, InstallReport& report) {
  const CString originalFolder = clientFolder + kBackupFolderName;

  // Every translated file must be there and readable before anything
  // changes. They are only read: a pack on a CD, on a read-only share or
  // with read-only files installs as well.
  for (const InstallPair& pair : kInstallPairs) {
    const CString source = sourceFolder + pair.source;
    if (!CanOpenForReading(source)) {
      report.ShowMessage(FormatResourceString(IDS_CANNOT_OPEN_FILE, {Named(source, pair.source)}));
      return InstallOutcome::kStopped;
    }
  }

  // The files replaced: the client's three, and the copy of its menus that
  // Windows Vista on may keep apart for it, which the client reads first.
  ReplacedFile files[kReplacedMost];
  size_t count = 0;
  HeldPath held;
  const CString virtualMenus = VirtualisedMenus(clientFolder, held, report);
  for (const InstallPair& pair : kInstallPairs) {
    ReplacedFile& file = files[count++];
    file.source = sourceFolder + pair.source;
    file.target = clientFolder + pair.target;
    file.copyName = pair.target;
  }
  if (!virtualMenus.empty()) {
    ReplacedFile& file = files[count++];
    file.source = files[1].source;
    file.target = virtualMenus;
    file.copyName = kVirtualMenusCopyName;
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
    if (there && SameContents(file.target, file.source)) {
      file.wholeCopy = file.source;
      file.translated = true;
    } else if (earlierCopy && SameContents(file.target, earlier)) {
      file.wholeCopy = earlier;
    } else {
      file.needsCopy = true;
      anyToCopy = true;
      besideEarlierCopies = besideEarlierCopies || earlierCopy;
    }
  }
  if (anyToCopy) {
    // Copies are made whole or not at all. A name that is taken after all
    // (the folder was chosen on a wrong answer of the system) sends this
    // run's copies to the next free folder before anything is asked.
    CString backupFolder;
    for (;;) {
      backupFolder = MakeBackupFolder(clientFolder, besideEarlierCopies);
      bool nameTaken = false;
      for (size_t i = 0; i < count; ++i) {
        ReplacedFile& file = files[i];
        if (!file.needsCopy) continue;
        file.wholeCopy = backupFolder + file.copyName;
        const CopyResult result =
            CopyWhole(file.target, file.wholeCopy, false, i >= kPairCount ? held.file() : INVALID_HANDLE_VALUE);
        if (result != CopyResult::kCopied) file.wholeCopy.Truncate(0);
        nameTaken = nameTaken || result == CopyResult::kNameTaken;
      }
      if (!nameTaken || besideEarlierCopies) break;
      for (size_t i = 0; i < count; ++i) {
        ReplacedFile& file = files[i];
        if (!file.needsCopy || file.wholeCopy.empty()) continue;
        DeleteFileA(file.wholeCopy.c_str());
        file.wholeCopy.Truncate(0);
      }
      besideEarlierCopies = true;
    }
    bool allBackedUp = true;
    for (size_t i = 0; i < count; ++i) {
      const ReplacedFile& file = files[i];
      if (!file.needsCopy || !file.wholeCopy.empty()) continue;
      allBackedUp = false;
      if (!GoOnWithoutCopy(file.copyName, report)) return InstallOutcome::kStopped;
    }
    // Reported only when it happened: every file that needed a copy has one,
    // in the folder named.
    if (allBackedUp) report.AppendResult(FormatResourceString(IDS_BACKED_UP_TO, {backupFolder.c_str()}));
  }

  // Every file is copied even after a failure, so that as much as possible is
  // translated; a failure withholds the final report and is said. Each is
  // put in place whole, or the file stays as it was; one that the system
  // lost on the way is put back from its whole copy. A copy carries no
  // mark of the web that the translated file may have got from a download:
  // Windows would ask about its publisher at every start of the client.
  if (!virtualMenus.empty()) held.ReleaseFile();
  bool virtualMenusTranslated = false;
  CString notReplaced;
  for (size_t i = 0; i < count; ++i) {
    const ReplacedFile& file = files[i];
    // A file that already is its translation is left as it is.
    if (file.translated || CopyWhole(file.source, file.target, true) == CopyResult::kCopied) {
      DeleteFileA((file.target + ":Zone.Identifier").c_str());
      virtualMenusTranslated = virtualMenusTranslated || i >= kPairCount;
      continue;
    }
    if (!file.wholeCopy.empty() && !Exists(file.target)) CopyWhole(file.wholeCopy, file.target, true);
    if (!notReplaced.empty()) notReplaced += "\n";
    notReplaced += Named(file.target, file.copyName);
  }
  const bool allCopied = notReplaced.empty();
  if (!allCopied) report.ShowMessage(FormatResourceString(IDS_NOT_REPLACED, {notReplaced.c_str()}));
  // What else happened comes after the report (the box shows its first
  // three lines: the copies, where the client is, "Procés finalitzat!").
  const bool chatLinksClaimed = allCopied && ClaimChatLinks(clientFolder);
  if (allCopied) report.AppendResult(FormatResourceString(IDS_INSTALLED_TO, {clientFolder.c_str()}));
  if (virtualMenusTranslated) report.AppendResult(FormatResourceString(IDS_VIRTUAL_MENUS, {virtualMenus.c_str()}));
  if (chatLinksClaimed) report.AppendResult(LoadResourceString(IDS_CHAT_LINKS));
  return allCopied ? InstallOutcome::kComplete : InstallOutcome::kIncomplete;
}
