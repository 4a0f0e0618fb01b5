// Waits for a visible top-level window with the given title and prints its
// screen rectangle as "x y width height": the screenshot scripts crop with it.
#include <cstdio>

#include "uidriver.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: winrect TITLE [CLASS]\n");
    return 2;
  }
  ui::WindowQuery query;
  query.title = argv[1];
  if (argc > 2) query.className = argv[2];
  HWND window = nullptr;
  if (!ui::WaitForWindow(query, window, 20000)) return 1;
  // Let the window finish painting before the picture is taken.
  DWORD_PTR ignored;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  const RECT r = ui::ScreenRect(window);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return 0;
}
