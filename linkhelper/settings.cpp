#include "settings.h"

#include <windows.h>

HelperSettings g_settings;

namespace {

constexpr char kSection[] = "quoplink";

// The helper's folder, computed afresh from the settings file each time.
void ComputeHelperFolder() { FolderOf(g_settings.settingsFile, g_settings.lastDirectory); }

}  // namespace

// A loaded path made full; one that names nothing (now), or that holds a
// double quote or a control character, counts as unset for this run, while
// the file keeps it until the next save.
static void SettleLoadedPath(char (&path)[kPathSize]) {
  DropUnsafePath(path);
  if (path[0]) ToFullPath(path);
  if (!PathExists(path)) path[0] = '\0';
  if (path[0]) LowerAscii(path);
}

const char* ToStoredPath(const char* path) {
  ComputeHelperFolder();
  return StoredForm(path, g_settings.lastDirectory);
}

bool ToFullPath(char (&path)[kPathSize]) {
  if (path[0] && IsFullPath(path)) return true;
  ComputeHelperFolder();
  return MakeFullPath(path, g_settings.lastDirectory);
}

bool PathExists(const char* path) { return path[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void LoadHelperSettingsFor(const char* programPath) {
  FolderOf(programPath, g_settings.settingsFile);
  AppendText(g_settings.settingsFile, sizeof g_settings.settingsFile, "quop.ini");

  GetPrivateProfileStringA(kSection, kProgramKey, "", g_settings.clientProgram, sizeof g_settings.clientProgram,
                           g_settings.settingsFile);
  GetPrivateProfileStringA(kSection, kIniKey, "", g_settings.clientIni, sizeof g_settings.clientIni,
                           g_settings.settingsFile);
  GetPrivateProfileStringA(kSection, "dde", "Quop", g_settings.ddeService, sizeof g_settings.ddeService,
                           g_settings.settingsFile);
  SettleLoadedPath(g_settings.clientProgram);
  SettleLoadedPath(g_settings.clientIni);
}

void LoadHelperSettings() {
  char programPath[kPathSize] = "";
  GetModuleFileNameA(nullptr, programPath, sizeof programPath - 1);
  LoadHelperSettingsFor(programPath);
}

// Every write goes through the profile functions, which change only the key
// written and leave the rest of the client's file as it was.
void SaveHelperSettings() {
  StoreClientPath(kProgramKey, g_settings.clientProgram);
  StoreClientPath(kIniKey, g_settings.clientIni);
  WritePrivateProfileStringA(kSection, "dde", g_settings.ddeService, g_settings.settingsFile);
}

void StoreClientPath(const char* key, const char* path) {
  WritePrivateProfileStringA(kSection, key, ToStoredPath(path), g_settings.settingsFile);
}
