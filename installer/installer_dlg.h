// The installer's main dialog: the explanation, the client program's path,
// "Instal·lar", the results box, the web link and the logo.
#pragma once

#include "framework.h"
#include "install.h"
#include "masked_bitmap.h"
#include "static_link.h"

class CInstallerDlg : public CDialog, public InstallReport {
 public:
  CInstallerDlg();

  BOOL OnInitDialog() override;
  void OnPaint();
  void OnSysColorChange();
  void OnBrowse();
  void OnInstall();

  // Enables "Instal·lar" exactly when a client program has been accepted.
  void UpdateInstallButton();
  // What the install tells and asks the user: message boxes, with the
  // exclamation icon and the program's name as caption (only an explicit
  // Yes is a Yes: a message box that could not be shown is not), and the
  // results box, which only grows.
  void ShowMessage(const CString& text) override;
  bool AskYesNo(const CString& question) override;
  void AppendResult(const CString& text) override;
  // The information dialog that follows every install that got as far as copying.
  void ShowInfoDialog();

 protected:
  const MessageMap* GetMessageMap() const override { return &messageMap; }
  static const MessageMap messageMap;

 private:
  void LoadLogo();

  CMaskedBitmap m_logo;
  CStaticLink m_webLink;
};
