#include "desktop_shortcut.h"

#include <shldisp.h>
#include <shlobj.h>

#include "desktop_shell.h"
#include "install_rules.h"
#include "installer_resource.h"
#include "system_library.h"

namespace {

constexpr char kShortcutName[] = "Verbalia";
constexpr char kShortcutExtension[] = ".LNK";
constexpr char kShortcutDescription[] = "Accés directe a Verbalia";

// Puts the file `replacement` in place of `path` (which need not exist).
// False, with `path` as it was, when that cannot be done: the systems of
// the NT family replace it in one step; the others, where that call is not
// there or fails, have the file removed first, which fails as long as a
// program holds it.
bool ReplaceWith(const CString& path, const CString& replacement) {
  static HMODULE kernel;
  const auto moveFileEx = SystemFunction<decltype(&::MoveFileExA)>(kernel, "kernel32.dll", "MoveFileExA");
  if (moveFileEx && moveFileEx(replacement.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (!DeleteFileA(path.c_str()) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  return MoveFileA(replacement.c_str(), path.c_str()) != FALSE;
}

// The wait cursor for the life of the object.
class WaitCursor {
 public:
  WaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) {}  // IDC_WAIT
  ~WaitCursor() { SetCursor(m_previous); }

 private:
  HCURSOR m_previous;
};

// Writes the launcher that the installer carries as its resource, whole or
// not at all: the new one is written beside it and put in its place only
// when every byte is on the disk, so that a full disk, or a launcher that
// another program holds, leaves the older launcher as it was and nothing
// beside it. Without the resource there is nothing to write.
void WriteLauncher(const CString& path) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found =
      FindResourceExA(module, "NOSTRE", MAKEINTRESOURCEA(IDR_LAUNCHER), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  const void* bytes = found ? LockResource(LoadResource(module, found)) : nullptr;
  const DWORD size = found ? SizeofResource(module, found) : 0;
  if (!bytes || size == 0) return;
  const CString written = path + ".new";
  HANDLE file = CreateFileA(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // the shortcut is still made
  DWORD count = 0;
  const bool whole = WriteFile(file, bytes, size, &count, nullptr) && count == size;
  if (CloseHandle(file) && whole && ReplaceWith(path, written)) return;
  DeleteFileA(written.c_str());
}

// The shortcut's full path: the desktop folder of the person at the screen
// plus "\Verbalia.LNK". Empty when the desktop folder is not known or the
// whole path would not fit in MAX_PATH: then no shortcut is made.
CString ShortcutPath() {
  const CString desktop = ScreenUserFolder(ssfDESKTOPDIRECTORY, "Desktop");
  CString path = CString::Format("%s\\%s%s", {desktop.c_str(), kShortcutName, kShortcutExtension});
  return desktop.empty() || path.length() >= MAX_PATH ? CString() : path;
}

}  // namespace

void MakeDesktopShortcut() {
  WaitCursor wait;

  char windowsFolder[MAX_PATH] = "";
  const UINT reported = GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
  // Without the Windows directory the launcher would land in the root of the
  // current drive: no launcher, and no shortcut to it.
  const CString launcherPath = LauncherPath(windowsFolder, reported, sizeof windowsFolder);
  if (launcherPath.empty()) return;
  WriteLauncher(launcherPath);

  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return;  // no shortcut; the launcher stays
  }
  const CString shortcutPath = ShortcutPath();
  const bool havePath = !shortcutPath.empty();
  IPersistFile* file = nullptr;
  if (havePath && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    // The target is found through the Windows directory, which is on the
    // program search path; the icon needs the full path.
    link->SetPath(kLauncherName);
    link->SetDescription(kShortcutDescription);
    WCHAR widePath[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, widePath, MAX_PATH);
    link->SetArguments(nullptr);
    link->SetIconLocation(launcherPath.c_str(), 0);
    file->Save(widePath, TRUE);
    file->Release();
  }
  link->Release();
}
