// A static text control turned into a web link: drawn underlined, blue until
// the link has been opened and purple after; a click opens the address.
#pragma once

#include "framework.h"

class CStaticLink : public CStatic {
 public:
  static const CRuntimeClass classCStaticLink;
  const CRuntimeClass* GetRuntimeClass() const override { return &classCStaticLink; }

  COLORREF m_colorUnvisited = RGB(0, 0, 255);
  COLORREF m_colorVisited = RGB(128, 0, 128);
  BOOL m_bVisited = FALSE;
  CString m_link;  // empty: the control's own text is opened
  CFont m_font;    // underlined copy of the control's font, made at the first paint

  HBRUSH CtlColor(HDC dc, UINT kind);
  void OnClicked();

 protected:
  const MessageMap* GetMessageMap() const override { return &messageMap; }
  static const MessageMap messageMap;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// Whether the user has chosen high contrast.
bool HighContrastOn();
// The colour that high contrast gives links, or none (CLR_INVALID) when high
// contrast is off: the system's colour for links where it has one (Windows 98
// and 2000 on), else the colour of button text.
COLORREF HighContrastLinkColour();
