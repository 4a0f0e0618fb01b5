// The link helper's confirmation, question and warning dialogs.

#include "helper.h"
#include "helper_resource.h"
#include "desktop_centre.h"
#include "text_core.h"

void CentreOnDesktop(HWND window) {
  RECT desktop, mine;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(window, &mine);
  const Origin origin = CentredOnDesktop(desktop.left, desktop.top, desktop.right, desktop.bottom,
                                         mine.right - mine.left, mine.bottom - mine.top);
  SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

bool HandleDialogFrame(HWND dialog, UINT message, WPARAM wParam, INT_PTR& result) {
  if (message == WM_SHOWWINDOW) {
    CentreOnDesktop(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
    result = FALSE;
    return true;
  }
  // The close box and Alt+F4: SC_CLOSE once the low four bits are masked
  // off; Cancel, and Escape, which sends its command also where no button has it.
  const bool closes = (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) ||
                      (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL);
  if (!closes) return false;
  EndDialog(dialog, 0);
  result = TRUE;
  return true;
}

void DrawHelperIcon(HWND dialog, HDC dc, int newShellX, int oldShellX, int y) {
  RECT units = {0, 0, 4, 8};
  MapDialogRect(dialog, &units);
  const auto scaled = [](int pixels, LONG unit, int unitAt96) {
    return static_cast<int>((pixels * unit + unitAt96 / 2) / unitAt96);
  };
  const int size = scaled(32, units.right, 6);
  RECT face;
  GetClientRect(dialog, &face);
  int x = scaled(oldShellX, units.right, 6);
  if (g_newShell || x + size > face.right) x = scaled(newShellX, units.right, 6);
  // The module's shared icon, the main window class's own: never destroyed.
  DrawIconEx(dc, x, scaled(y, units.bottom, 13), LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_HELPER)), size, size, 0,
             nullptr, DI_NORMAL);
}

namespace {

// A server line shows every character of the name: its box breaks a name
// wider than a line, holds two lines, and scrolls down to the rest of a
// longer one.
void ShowServer(HWND dialog, int id, const char* text) {
  SetDlgItemTextA(dialog, id, text);
  if (SendDlgItemMessageA(dialog, id, EM_GETLINECOUNT, 0, 0) > 2) ShowScrollBar(GetDlgItem(dialog, id), SB_VERT, TRUE);
}

// "server:port" of the request into a control.
void ShowRequestedServer(HWND dialog, int id) {
  char text[kServerSize + kPortSize + 1];
  FormatText(text, sizeof text, "%s:%s", {g_request.server, g_request.port});
  ShowServer(dialog, id, text);
}

}  // namespace

INT_PTR CALLBACK LinkDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  INT_PTR result;
  if (HandleDialogFrame(dialog, message, wParam, result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      ShowRequestedServer(dialog, IDC_LINK_SERVER);
      SetDlgItemTextA(dialog, IDC_LINK_CHANNEL, g_request.channel);
      return FALSE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(dialog, &paint);
      DrawHelperIcon(dialog, dc, 17, 21, 96);
      EndPaint(dialog, &paint);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK) return FALSE;
      EndDialog(dialog, 1);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK AskDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  INT_PTR result;
  if (HandleDialogFrame(dialog, message, wParam, result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      ShowServer(dialog, IDC_ASK_CURRENT_SERVER, g_workText);  // the client's "SERVERPORT" reply
      ShowRequestedServer(dialog, IDC_ASK_REQUESTED_SERVER);
      SetDlgItemTextA(dialog, IDC_ASK_REQUESTED_CHANNEL, g_request.channel);  // absent from "ASK2_DLG"
      CheckDlgButton(dialog, IDC_ASK_CHANGE_SERVER, BST_CHECKED);
      CheckDlgButton(dialog, IDC_ASK_JOIN_HERE, BST_UNCHECKED);
      CheckDlgButton(dialog, IDC_ASK_ANOTHER_COPY, BST_UNCHECKED);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK) return FALSE;
      EndDialog(dialog, IsDlgButtonChecked(dialog, IDC_ASK_CHANGE_SERVER) ? kAskChangeServer
                        : IsDlgButtonChecked(dialog, IDC_ASK_JOIN_HERE)   ? kAskJoinHere
                                                                          : kAskAnotherCopy);
      return TRUE;
    default:
      return FALSE;
  }
}

// No Cancel button: Escape closes the warning as its close box does.
INT_PTR CALLBACK WarnDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  INT_PTR result;
  if (HandleDialogFrame(dialog, message, wParam, result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, IDC_WARN_VERSION, g_workText);  // the client's "VERSION" reply
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK) return FALSE;
      EndDialog(dialog, 1);
      return TRUE;
    default:
      return FALSE;
  }
}
