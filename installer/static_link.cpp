#include "static_link.h"

#include "desktop_shell.h"

const CRuntimeClass CStaticLink::classCStaticLink = {"CStaticLink", &CStatic::classCStatic};

namespace {
constexpr MessageEntry kStaticLinkMessages[] = {
    OnReflectedCtlColor<CStaticLink, &CStaticLink::CtlColor>(WM_CTLCOLORSTATIC),
    OnReflectedCommand<CStaticLink, &CStaticLink::OnClicked>(STN_CLICKED),
    kEndOfMessageMap,
};
}  // namespace

const MessageMap CStaticLink::messageMap = {&CStatic::messageMap, kStaticLinkMessages};

HBRUSH CStaticLink::CtlColor(HDC dc, UINT) {
  // A static control reports clicks only with SS_NOTIFY, so the link becomes
  // clickable from its first paint on.
  const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
  if (!(style & SS_NOTIFY)) SetWindowLongA(m_hWnd, GWL_STYLE, style | SS_NOTIFY);

  // Only plain text kinds (left, centred, right) get the link's look; the
  // whole low byte is compared, so SS_NOPREFIX text falls outside too.
  if ((style & 0xFF) > SS_RIGHT) return nullptr;

  if (!m_font.GetSafeHandle()) {
    LOGFONTA description = {};
    auto current = reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    GetObjectA(current, sizeof description, &description);
    description.lfUnderline = TRUE;
    m_font.Attach(CreateFontIndirectA(&description));
    // Some static controls select their own font after asking for colours,
    // which would undo the selection below: make the copy the control's font.
    SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.handle()), FALSE);
  }
  SelectObject(dc, m_font.handle());
  // Blue and purple are lost on a high-contrast scheme's black face.
  const COLORREF contrast = HighContrastLinkColour();
  SetTextColor(dc, contrast != CLR_INVALID ? contrast : m_bVisited ? m_colorVisited : m_colorUnvisited);
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool HighContrastOn() {
  HIGHCONTRASTA contrast = {sizeof contrast, 0, nullptr};
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF HighContrastLinkColour() {
  if (!HighContrastOn()) return CLR_INVALID;
  // COLOR_HOTLIGHT came with Windows 98 (4.10) and 2000 (5.0).
  const DWORD version = GetVersion();
  const bool hotLight = LOBYTE(version) > 4 || (LOBYTE(version) == 4 && HIBYTE(LOWORD(version)) >= 10);
  return GetSysColor(hotLight ? COLOR_HOTLIGHT : COLOR_BTNTEXT);
}

// A link that its dialog makes a stop of the Tab key is opened by Enter and
// Space, and shows a focus rectangle while it has the focus.
bool CStaticLink::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter is the link's own while it has the focus, not the default
      // button's; Space reaches it as any key does.
      const MSG* key = reinterpret_cast<const MSG*>(lParam);
      result = DLGC_STATIC | (key && key->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0);
      return true;
    }
    case WM_KEYDOWN:
      if (wParam != VK_RETURN && wParam != VK_SPACE) return false;
      // As a click: the dialog drops it while it still handles one.
      SendMessageA(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), STN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWnd));
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      // The control paints no background: the dialog's face under it is
      // painted again (and the control with it), without the rectangle that went.
      RECT area;
      GetWindowRect(m_hWnd, &area);
      HWND parent = GetParent(m_hWnd);
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
      InvalidateRect(parent, &area, TRUE);
      return false;
    }
    case WM_PAINT: {
      result = Default(message, wParam, lParam);
      // WM_QUERYUISTATE answers 0 on the systems before 2000: cues shown.
      if (GetFocus() != m_hWnd || (SendMessageA(m_hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) return true;
      // Around the text, in the underlined font the first paint made.
      HDC dc = GetDC(m_hWnd);
      HGDIOBJ old = SelectObject(dc, m_font.GetSafeHandle());
      const CString text = GetWindowText();
      RECT around = {};
      DrawTextA(dc, text.c_str(), -1, &around, DT_CALCRECT | DT_SINGLELINE);
      ++around.right;
      DrawFocusRect(dc, &around);
      SelectObject(dc, old);
      ReleaseDC(m_hWnd, dc);
      return true;
    }
    default:
      return false;
  }
}

void CStaticLink::OnClicked() {
  if (m_link.empty()) m_link = GetWindowText();
  // The browser runs as the person at the screen, never as an administrator;
  // a hand-over that the desktop's shell takes counts as opened, and one it
  // could not take is said.
  const Opening result = OpenForScreenUser(m_link.c_str(), SW_SHOWNORMAL);
  if (result == Opening::kOpened) {
    m_bVisited = TRUE;
    // The control has no background of its own: the parent repaints its face
    // first, so no trace of the old colour stays at the letters' edges.
    InvalidateRect(GetParent(m_hWnd), nullptr, TRUE);
    InvalidateRect(m_hWnd, nullptr, TRUE);
  } else if (result == Opening::kRefused) {
    MessageBeep(0);
  }
}
