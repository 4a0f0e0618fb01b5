// The helper's settings: keys "exe", "ini" and "dde" of section "quoplink"
// in the client's "quop.ini", in the helper's own folder.
#pragma once

#include "text_core.h"

struct HelperSettings {
  char settingsFile[kPathSize];   // the helper's folder + "quop.ini"
  char clientProgram[kPathSize];  // full path, lower-case A-Z; empty: not set
  char clientIni[kPathSize];      // full path, lower-case A-Z; empty: none
  char ddeService[kServiceSize];  // the client's DDE service name
  char lastDirectory[kPathSize];  // shared with the setup dialog's browsing
};

extern HelperSettings g_settings;

// The keys of the two paths.
inline constexpr char kProgramKey[] = "exe";
inline constexpr char kIniKey[] = "ini";

// Reads the settings of the helper whose program file is `programPath`
// (LoadHelperSettings passes the running helper's own path).
void LoadHelperSettingsFor(const char* programPath);
void LoadHelperSettings();
void SaveHelperSettings();
// Writes one key, "exe" or "ini", with the stored form of `path`.
void StoreClientPath(const char* key, const char* path);

// The stored form of a full path (a view into `path`), relative to the
// helper's folder when it lies there. Leaves the folder in lastDirectory.
const char* ToStoredPath(const char* path);
// Turns a stored form into a full path in place. Leaves the helper's folder
// in lastDirectory. False (and an empty path) when it would not fit.
bool ToFullPath(char (&path)[kPathSize]);
bool PathExists(const char* path);
