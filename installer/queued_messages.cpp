#include "queued_messages.h"

#include <windows.h>

namespace {

// The top-level window that `window` belongs to (GetAncestor came only with
// Windows 98 and NT 4.0 SP4).
HWND TopLevelOf(HWND window) {
  while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) window = GetParent(window);
  return window;
}

}  // namespace

bool ServeQueuedMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    // A key dispatched straight to its control would be lost: a button
    // does nothing with Tab.
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    HWND dialog = key ? TopLevelOf(message.hwnd) : nullptr;
    if (dialog && IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}
