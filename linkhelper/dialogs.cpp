// The link helper's confirmation, question and warning dialogs.

#include "helper.h"
#include "link_texts.h"

void CentreOnDesktop(HWND window) {
  RECT desktop, mine;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(window, &mine);
  const Origin origin = CentredOnDesktop(desktop.left, desktop.top, desktop.right, desktop.bottom,
                                         mine.right - mine.left, mine.bottom - mine.top);
  SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

bool IsCloseCommand(WPARAM wParam) { return (wParam & 0xFFF0) == SC_CLOSE; }

void ShowAndFocus(HWND dialog) {
  CentreOnDesktop(dialog);
  SetFocus(GetDlgItem(dialog, IDOK));
}

namespace {

// "server:port" of the request into a control.
void ShowRequestedServer(HWND dialog, int id) {
  char text[kServerSize + kPortSize + 1];
  FormatText(text, sizeof text, "%s:%s", {g_request.server, g_request.port});
  SetDlgItemTextA(dialog, id, text);
}

}  // namespace

INT_PTR CALLBACK LinkDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowRequestedServer(dialog, 114);
      SetDlgItemTextA(dialog, 115, g_request.channel);
      return FALSE;
    case WM_SHOWWINDOW:
      ShowAndFocus(dialog);
      return FALSE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(dialog, &paint);
      DrawIcon(dc, g_newShell ? 17 : 21, 96, LoadIconA(g_instance, MAKEINTRESOURCEA(1)));
      EndPaint(dialog, &paint);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if (!IsCloseCommand(wParam)) return FALSE;
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK AskDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, 114, g_workText);  // the client's "SERVERPORT" reply
      ShowRequestedServer(dialog, 120);
      SetDlgItemTextA(dialog, 121, g_request.channel);  // absent from "ASK2_DLG"
      CheckDlgButton(dialog, 117, BST_CHECKED);
      CheckDlgButton(dialog, 118, BST_UNCHECKED);
      CheckDlgButton(dialog, 119, BST_UNCHECKED);
      return FALSE;
    case WM_SHOWWINDOW:
      ShowAndFocus(dialog);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        if (IsDlgButtonChecked(dialog, 117)) {
          EndDialog(dialog, 1);
        } else if (IsDlgButtonChecked(dialog, 118)) {
          EndDialog(dialog, 2);
        } else {
          EndDialog(dialog, 3);
        }
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if (!IsCloseCommand(wParam)) return FALSE;
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

// No Cancel: Escape leaves the warning open.
INT_PTR CALLBACK WarnDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(dialog, 116, g_workText);  // the client's "VERSION" reply
      return FALSE;
    case WM_SHOWWINDOW:
      ShowAndFocus(dialog);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK) return FALSE;
      EndDialog(dialog, 1);
      return TRUE;
    case WM_SYSCOMMAND:
      if (!IsCloseCommand(wParam)) return FALSE;
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
