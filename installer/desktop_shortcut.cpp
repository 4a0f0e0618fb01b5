#include "desktop_shortcut.h"

#include <shldisp.h>
#include <shlobj.h>

#include "desktop_shell.h"
#include "file_copy.h"
#include "install_rules.h"
#include "installer_resource.h"

namespace {

constexpr char kShortcutName[] = "Verbalia";
constexpr char kShortcutExtension[] = ".LNK";
constexpr char kShortcutDescription[] = "Accés directe a Verbalia";

// The wait cursor for the life of the object.
class WaitCursor {
 public:
  WaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)))) {}  // IDC_WAIT
  ~WaitCursor() { SetCursor(m_previous); }

 private:
  HCURSOR m_previous;
};

// Writes the launcher that the installer carries as its resource, whole or
// not at all, so that a full disk, or a launcher that another program holds,
// leaves the older launcher as it was and nothing beside it. True when a
// whole launcher is there afterwards: the new one, or an older one left as
// it was.
bool WriteLauncher(const CString& path) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found =
      FindResourceExA(module, "NOSTRE", MAKEINTRESOURCEA(IDR_LAUNCHER), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  const void* bytes = found ? LockResource(LoadResource(module, found)) : nullptr;
  const DWORD size = found ? SizeofResource(module, found) : 0;
  if (bytes && size && WriteWhole(path, bytes, size)) return true;
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

bool MakeDesktopShortcut() {
  WaitCursor wait;

  char windowsFolder[MAX_PATH] = "";
  const UINT reported = GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
  // Without the Windows directory the launcher would land in the root of the
  // current drive: no launcher, and no shortcut to it. Nor is a shortcut
  // made to a launcher that is not there.
  const CString launcherPath = LauncherPath(windowsFolder, reported, sizeof windowsFolder);
  if (launcherPath.empty() || !WriteLauncher(launcherPath)) return false;

  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;  // no shortcut; the launcher stays
  }
  const CString shortcutPath = ShortcutPath();
  IPersistFile* file = nullptr;
  bool saved = false;
  if (!shortcutPath.empty() && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    // The target is found through the Windows directory, which is on the
    // program search path; the icon needs the full path.
    WCHAR widePath[MAX_PATH] = L"";
    saved = SUCCEEDED(link->SetPath(kLauncherName)) && SUCCEEDED(link->SetDescription(kShortcutDescription)) &&
            MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, widePath, MAX_PATH) &&
            SUCCEEDED(link->SetArguments(nullptr)) && SUCCEEDED(link->SetIconLocation(launcherPath.c_str(), 0)) &&
            SUCCEEDED(file->Save(widePath, TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}
