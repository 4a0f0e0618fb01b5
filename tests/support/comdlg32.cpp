// A stand-in for the common dialogs library as Windows 95, 98 and NT 4.0
// have it, as strict as they are about the open-file request: it takes only
// the size those systems know (the 4.0 form) and refuses any other. Every
// call leaves a line "size N" in the file named by %QUOP_COMDLG_LOG%; an
// accepted request "chooses" the file named by %QUOP_COMDLG_PICK% (unset:
// the user cancelled). It shows no window.
#define WIN32_LEAN_AND_MEAN  // the common dialogs' header comes below
#include <windows.h>
// Declared here without the import attribute: this library defines them.
#define WINCOMMDLGAPI
#include <cderr.h>
#include <commdlg.h>

#include "library_log.h"

namespace {

DWORD g_lastError = 0;

void Log(DWORD size) {
  char line[32];
  wsprintfA(line, "size %lu", static_cast<unsigned long>(size));
  AppendLogLine("QUOP_COMDLG_LOG", line);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA request) {
  Log(request->lStructSize);
  g_lastError = 0;
  if (request->lStructSize != OPENFILENAME_SIZE_VERSION_400A) {
    g_lastError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  char pick[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("QUOP_COMDLG_PICK", pick, sizeof pick);
  if (length == 0 || length >= sizeof pick || length >= request->nMaxFile) return FALSE;
  lstrcpyA(request->lpstrFile, pick);
  return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI CommDlgExtendedError() { return g_lastError; }
