#include "info_dialog.h"

#include "desktop_shell.h"
#include "desktop_shortcut.h"
#include "installer_app.h"
#include "installer_resource.h"
#include "resource_strings.h"

CInfoDialog::CInfoDialog(HWND owner) : CDialog(IDD_INFO, owner) {}

void CInfoDialog::DoDataExchange(CDataExchange* pDX) {
  DDX_Check(pDX, IDC_CREATE_SHORTCUT, m_bCreateShortcut);
  DDX_Check(pDX, IDC_SUBSCRIBE, m_bSubscribe);
}

BOOL CInfoDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  return TRUE;  // the focus goes to "D'acord"
}

// The shortcut comes first, then the explanation, and the mail program is
// started only once the user has read it.
void CInfoDialog::OnOK() {
  UpdateData(true);
  // A shortcut asked for and not made is said: the user would look for it.
  if (m_bCreateShortcut && !CreateDesktopShortcut()) {
    TheApp().MessageBox(LoadResourceString(IDS_NO_SHORTCUT), MB_OK | MB_ICONEXCLAMATION);
  }
  if (m_bSubscribe) {
    {
      CDialog explanation(IDD_EXPLANATION);
      explanation.DoModal();
    }
    OpenForScreenUser(kSubscriptionUrl, SW_SHOW);  // the person's own mail program
  }
  CDialog::OnOK();
}

bool CInfoDialog::CreateDesktopShortcut() { return MakeDesktopShortcut(); }
