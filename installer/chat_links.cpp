#include "chat_links.h"

#include <windows.h>

namespace {

// The machine's class of the irc:// scheme, and the key of the command that
// its links are opened with.
constexpr char kChatLinksKey[] = "Software\\Classes\\irc";
constexpr char kCommandKey[] = "shell\\open\\command";
constexpr char kClassName[] = "irc";
// Where Windows 8 on keep the user's own choice of a program for the scheme.
constexpr char kUserChoiceKey[] = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\irc\\UserChoice";

// True only when the key certainly is not there: a key that cannot be
// looked at may be someone's.
bool Absent(HKEY root, const char* key) {
  HKEY found;
  const LONG status = RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &found);
  if (status == ERROR_SUCCESS) RegCloseKey(found);
  return status == ERROR_FILE_NOT_FOUND;
}

bool SetText(HKEY key, const char* name, const char* text) {
  DWORD size = 1;
  for (const char* p = text; *p; ++p) ++size;
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS;
}

}  // namespace

bool ClaimChatLinks(const CString& clientFolder) {
  if (!Absent(HKEY_CLASSES_ROOT, kClassName) || !Absent(HKEY_CURRENT_USER, kUserChoiceKey)) return false;
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
  const bool whole = SetText(scheme, nullptr, "URL:IRC Protocol") && SetText(scheme, "URL Protocol", "") &&
                     RegSetValueA(scheme, "DefaultIcon", REG_SZ, icon.c_str(), 0) == ERROR_SUCCESS &&
                     RegSetValueA(scheme, kCommandKey, REG_SZ, command.c_str(), 0) == ERROR_SUCCESS;
  RegCloseKey(scheme);
  if (!whole && made == REG_CREATED_NEW_KEY) {
    // Innermost first: the NT family deletes only keys without subkeys.
    static constexpr const char* kMadeKeys[] = {"Software\\Classes\\irc\\shell\\open\\command",
                                                "Software\\Classes\\irc\\shell\\open", "Software\\Classes\\irc\\shell",
                                                "Software\\Classes\\irc\\DefaultIcon", kChatLinksKey};
    for (const char* key : kMadeKeys) RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
  }
  return whole;
}
