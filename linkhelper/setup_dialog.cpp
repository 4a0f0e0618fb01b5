// The setup dialog: where the client's program and ini file are and under
// which DDE service name it answers; saved in the helper's settings on OK.
#include "helper.h"
#include "helper_resource.h"
// After windows.h, which it needs.
#include <commdlg.h>
#include "settings.h"
#include "setup_texts.h"
#include "system_library.h"

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

// The caption, then the controls that take the other texts, in the order of kSetupTexts.
void SetSetupTexts(HWND dialog) {
  static constexpr int kTextControls[] = {IDC_SETUP_WELCOME,    IDC_SETUP_PURPOSE,        IDC_SETUP_PROGRAM_PROMPT,
                                          IDC_SETUP_INI_PROMPT, IDC_SETUP_SERVICE_PROMPT, IDC_SETUP_NOTICE};
  static_assert(sizeof kTextControls / sizeof kTextControls[0] + 1 == kSetupTextCount, "a control for each text");
  SetWindowTextA(dialog, kSetupTexts[0]);
  for (int i = 1; i < kSetupTextCount; ++i) SetDlgItemTextA(dialog, kTextControls[i - 1], kSetupTexts[i]);
}

// The fields of the settings that the dialog shows and OK saves.
struct SettingField {
  int id;
  char* text;
  int size;
};
constexpr SettingField kSettingFields[] = {
    {IDC_PROGRAM_PATH, g_settings.clientProgram, sizeof g_settings.clientProgram},
    {IDC_INI_PATH, g_settings.clientIni, sizeof g_settings.clientIni},
    {IDC_SERVICE, g_settings.ddeService, sizeof g_settings.ddeService},
};

bool BrowseForFile(HWND owner, BrowseKind kind) {
  if (g_browseBuffer[0]) FolderOf(g_browseBuffer, g_settings.lastDirectory);
  char filter[100];
  CopyText(filter, sizeof filter, kind == kBrowseProgram ? "EXE files(*.exe)|*.exe|" : "INI files(*.ini)|*.ini|");
  CopyText(g_browseBuffer, sizeof "*.exe", filter + sizeof "EXE files(*.exe)|" - 1);  // its pattern
  const char separator = filter[TextLength(filter) - 1];
  for (char* p = filter; *p; ++p) {
    if (*p == separator) *p = '\0';
  }
  // A drive root keeps its backslash; any other folder loses it.
  const size_t length = TextLength(g_settings.lastDirectory);
  if (length > 3 && g_settings.lastDirectory[length - 1] == '\\') g_settings.lastDirectory[length - 1] = '\0';

  OPENFILENAMEA request = {};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = owner;
  request.hInstance = g_instance;
  request.lpstrFilter = filter;
  request.lpstrFile = g_browseBuffer;
  request.nMaxFile = sizeof g_browseBuffer;
  request.lpstrInitialDir = g_settings.lastDirectory;
  char title[32];
  FormatText(title, sizeof title, "QuopLink Select %s file...", {kind == kBrowseProgram ? "Exe" : "Ini"});
  request.lpstrTitle = title;
  // The older form of the dialog shows 8.3 names on the NT family unless asked for long ones.
  request.Flags = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_LONGNAMES;
  request.lpfnHook = FileHook;
  request.lpTemplateName = MAKEINTRESOURCEA(IDD_FILE_BROWSER);
  // The platform refuses a file that is not there; where its dialog lets
  // one through all the same, the choice counts as cancelled, so that a
  // setting never names a missing file.
  // The common dialogs library is loaded when the user first browses rather
  // than at every start, when the helper only hands a link on.
  static HMODULE commonDialogs;
  const auto getOpenFileName =
      SystemFunction<decltype(&::GetOpenFileNameA)>(commonDialogs, "comdlg32.dll", "GetOpenFileNameA");
  return getOpenFileName && getOpenFileName(&request) && PathExists(g_browseBuffer);
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
  for (const SettingField& field : kSettingFields) GetDlgItemTextA(dialog, field.id, field.text, field.size);
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
  INT_PTR result;
  if (HandleDialogFrame(dialog, message, wParam, result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      for (const SettingField& field : kSettingFields) SetDlgItemTextA(dialog, field.id, field.text);
      SetSetupTexts(dialog);
      return FALSE;  // the focus is set when the dialog is shown
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(dialog, &paint);
      DrawHelperIcon(dialog, dc, 290, 344, 20);
      EndPaint(dialog, &paint);
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          SaveAndRelink(dialog);
          return TRUE;
        case IDC_BROWSE_PROGRAM:
          Browse(dialog, IDC_PROGRAM_PATH, kBrowseProgram);
          return FALSE;
        case IDC_BROWSE_INI:
          Browse(dialog, IDC_INI_PATH, kBrowseIni);
          return FALSE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
