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
  SetTextColor(dc, m_bVisited ? m_colorVisited : m_colorUnvisited);
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
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
