// The installer's main dialog: the explanation, the client program's path,
// "Instal·lar", the results box, the web link and the logo.
#pragma once

#include <string>

#include "framework.h"
#include "masked_bitmap.h"
#include "static_link.h"

class CInstallerDlg : public CDialog {
 public:
  CInstallerDlg();

  BOOL OnInitDialog() override;
  void OnPaint();
  void OnBrowse();
  void OnInstall();

  // Enables "Instal·lar" exactly when a client program has been accepted.
  void UpdateInstallButton();
  // Adds `text` (with its own line ends) at the end of the results box, on
  // a line of its own.
  void AppendResult(const CString& text);
  // Asks whether the install goes on after `target` could not be backed up.
  // Only an explicit Yes goes on: a question whose text could not be made,
  // or a message box that could not be shown, stops the install.
  bool GoOnWithoutBackup(const char* target);
  // The information dialog that follows every install that got as far as copying.
  void ShowInfoDialog();

 protected:
  const MessageMap* GetMessageMap() const override { return &messageMap; }
  static const MessageMap messageMap;

 private:
  CMaskedBitmap m_logo;
  CStaticLink m_webLink;
};
