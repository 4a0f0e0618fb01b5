// The information dialog shown after an install: who made the translation,
// and two offers of the organisation (a desktop shortcut to its web site and
// a subscription to its news list by mail).
#pragma once

#include "framework.h"

// The subscription message handed to the mail program: the mailbox of the
// news list and the body text, exactly as written (not percent-encoded).
constexpr char kSubscriptionUrl[] = "mailto:novetats@verbalia.cat?BODY=Envia'm_per_subscriute't";

class CInfoDialog : public CDialog {
 public:
  explicit CInfoDialog(HWND owner = nullptr);
  ~CInfoDialog() override = default;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  // Writes the web launcher into the Windows directory and saves a desktop
  // shortcut to it; false when no shortcut was saved.
  bool CreateDesktopShortcut();

  int m_bCreateShortcut = 1;
  int m_bSubscribe = 1;
};
