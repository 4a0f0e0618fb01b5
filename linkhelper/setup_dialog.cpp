// The setup dialog: where the client's program and ini file are and under
// which DDE service name it answers; saved in the helper's settings on OK.
#include <cstring>

#include "helper.h"
// After windows.h, which it needs.
#include <commdlg.h>
#include "settings.h"
#include "setup_texts.h"

namespace {

enum BrowseKind { kBrowseProgram = 0, kBrowseIni = 1 };

// The field text on entry to a browse, the chosen path on success.
char g_browseBuffer[kPathSize];

// The texts as they are in the running program, read through a volatile
// pointer so that the sum is taken over the bytes in the file, not folded
// away from the constants when the program is built.
bool SetupTextsIntact() {
  uint32_t hash = 2166136261u;
  for (const char* text : kSetupTexts) {
    const volatile char* p = text;
    for (;; ++p) {
      const char c = *p;
      hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
      if (!c) break;
    }
  }
  return hash == kSetupTextsBuiltChecksum;
}

void SetSetupTexts(HWND dialog) {
  SetWindowTextA(dialog, kSetupCaption);
  SetDlgItemTextA(dialog, 103, kSetupWelcome);
  SetDlgItemTextA(dialog, 104, kSetupPurpose);
  SetDlgItemTextA(dialog, 105, kSetupProgramPrompt);
  SetDlgItemTextA(dialog, 106, kSetupIniPrompt);
  SetDlgItemTextA(dialog, 107, kSetupServicePrompt);
  SetDlgItemTextA(dialog, 108, kSetupNotice);
}

bool BrowseForFile(HWND owner, BrowseKind kind) {
  if (g_browseBuffer[0]) {
    char drive[kDriveSize], directory[kPartSize], name[kPartSize], extension[kPartSize];
    SplitPath(g_browseBuffer, drive, directory, name, extension);
    FormatText(g_settings.lastDirectory, sizeof g_settings.lastDirectory, "%s%s", {drive, directory});
  }
  char filter[100];
  CopyText(filter, sizeof filter, kind == kBrowseProgram ? "EXE files(*.exe)|*.exe|" : "INI files(*.ini)|*.ini|");
  CopyText(g_browseBuffer, sizeof g_browseBuffer, kind == kBrowseProgram ? "*.exe" : "*.ini");
  const char separator = filter[std::strlen(filter) - 1];
  for (char* p = filter; *p; ++p) {
    if (*p == separator) *p = '\0';
  }
  // A drive root keeps its backslash; any other folder loses it.
  const size_t length = std::strlen(g_settings.lastDirectory);
  if (length > 3 && g_settings.lastDirectory[length - 1] == '\\') g_settings.lastDirectory[length - 1] = '\0';

  OPENFILENAMEA request = {};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = owner;
  request.hInstance = g_instance;
  request.lpstrFilter = filter;
  request.lpstrFile = g_browseBuffer;
  request.nMaxFile = sizeof g_browseBuffer;
  request.lpstrInitialDir = g_settings.lastDirectory;
  request.lpstrTitle = kind == kBrowseProgram ? "QuopLink Select Exe file..." : "QuopLink Select Ini file...";
  request.Flags = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  request.lpfnHook = FileHook;
  request.lpTemplateName = MAKEINTRESOURCEA(1536);
  // The platform refuses a file that is not there; where its dialog lets
  // one through all the same, the choice counts as cancelled, so that a
  // setting never names a missing file.
  return GetOpenFileNameA(&request) != FALSE && PathExists(g_browseBuffer);
}

// Browses for the file of one field; the settings change only on OK.
void Browse(HWND dialog, int field, BrowseKind kind) {
  GetDlgItemTextA(dialog, field, g_browseBuffer, sizeof g_browseBuffer);
  LowerAscii(g_browseBuffer);
  if (!BrowseForFile(dialog, kind)) return;
  LowerAscii(g_browseBuffer);
  SetDlgItemTextA(dialog, field, g_browseBuffer);
}

void SaveAndRelink(HWND dialog) {
  GetDlgItemTextA(dialog, 113, g_settings.clientProgram, sizeof g_settings.clientProgram);
  GetDlgItemTextA(dialog, 111, g_settings.clientIni, sizeof g_settings.clientIni);
  GetDlgItemTextA(dialog, 110, g_settings.ddeService, sizeof g_settings.ddeService);
  SaveHelperSettings();
  // A request waited for these settings: it goes on now. The flow's dialogs
  // belong to the main window, so this dialog is disabled meanwhile: a second
  // OK would run the flow again inside the first.
  if (g_lastOutcome == kNeedsSetup) {
    EnableWindow(dialog, FALSE);
    RunLinkFlow();
    EnableWindow(dialog, TRUE);
  }
  EndDialog(dialog, 1);
}

// Where the icon goes: the older systems' place, or the later ones' where
// the icon lies whole inside the dialog. In the dialog's own font its face
// ends before that place, and an icon painted outside would be seen by no one.
int IconLeft(HWND dialog) {
  RECT face;
  GetClientRect(dialog, &face);
  return !g_newShell && 344 + GetSystemMetrics(SM_CXICON) <= face.right ? 344 : 290;
}

}  // namespace

INT_PTR RunSetupDialog(HWND owner) {
  // Checked before the dialog window exists: a template shown as soon as it
  // is created would flash on the screen even when it ends at once.
  if (!SetupTextsIntact()) {
    MessageBeep(0);  // the texts were altered: show nothing, save nothing
    return 0;
  }
  return DialogBoxParamA(g_instance, "INSTALL_DLG", owner, SetupDialogProc, 0);
}

UINT_PTR CALLBACK FileHook(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_SHOWWINDOW) CentreOnDesktop(dialog);
  return 0;
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, 113, g_settings.clientProgram);
      SetDlgItemTextA(dialog, 111, g_settings.clientIni);
      SetDlgItemTextA(dialog, 110, g_settings.ddeService);
      SetSetupTexts(dialog);
      return FALSE;  // the focus is set when the dialog is shown
    case WM_SHOWWINDOW:
      ShowAndFocus(dialog);
      return FALSE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(dialog, &paint);
      HICON icon = LoadIconA(g_instance, MAKEINTRESOURCEA(1));
      DrawIcon(dc, IconLeft(dialog), 20, icon);
      DestroyIcon(icon);
      EndPaint(dialog, &paint);
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          SaveAndRelink(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case 112:
          Browse(dialog, 113, kBrowseProgram);
          return FALSE;
        case 109:
          Browse(dialog, 111, kBrowseIni);
          return FALSE;
        default:
          return FALSE;
      }
    case WM_SYSCOMMAND:
      if (!IsCloseCommand(wParam)) return FALSE;
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
