#include "framework.h"

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};
const CRuntimeClass CGdiObject::classCGdiObject = {"CGdiObject", &CObject::classCObject};
const CRuntimeClass CBitmap::classCBitmap = {"CBitmap", &CGdiObject::classCGdiObject};
const CRuntimeClass CWnd::classCWnd = {"CWnd", &CObject::classCObject};
const CRuntimeClass CStatic::classCStatic = {"CStatic", &CWnd::classCWnd};
const CRuntimeClass CDialog::classCDialog = {"CDialog", &CWnd::classCWnd};

bool CObject::IsKindOf(const CRuntimeClass* wanted) const {
  for (const CRuntimeClass* c = GetRuntimeClass(); c; c = c->m_pBaseClass) {
    if (c == wanted) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------

void CGdiObject::Attach(HGDIOBJ handle) {
  DeleteObject();
  m_hObject = handle;
}

void CGdiObject::DeleteObject() {
  if (m_hObject) ::DeleteObject(m_hObject);
  m_hObject = nullptr;
}

// ---------------------------------------------------------------------------

const MessageMap CWnd::messageMap = {nullptr, nullptr};

CWnd::~CWnd() { UnsubclassWindow(); }

// A taken-over control keeps its object in its user data, which the dialogs'
// standard controls leave to the program.
CWnd* CWnd::FromHandlePermanent(HWND window) {
  return window ? reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  if (!control || FromHandlePermanent(control)) return false;
  m_hWnd = control;
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_oldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
  return true;
}

void CWnd::UnsubclassWindow() {
  if (!m_hWnd || !m_oldProc) return;
  SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
  SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
  m_oldProc = nullptr;
  m_hWnd = nullptr;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* self = FromHandlePermanent(window);
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  if (self->OnMessage(message, wParam, lParam, result)) return result;
  if (self->Dispatch(message, wParam, lParam, false, &result)) return result;
  const WNDPROC oldProc = self->m_oldProc;
  if (message == WM_NCDESTROY) self->UnsubclassWindow();  // the control is going: give it back
  return CallWindowProcA(oldProc, window, message, wParam, lParam);
}

CString WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  CString text;
  if (char* buffer = text.GetBuffer(static_cast<size_t>(length))) {
    text.ReleaseBuffer(static_cast<size_t>(GetWindowTextA(window, buffer, length + 1)));
  }
  return text;
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM, bool reflected, LRESULT* result) {
  for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
    for (const MessageEntry* row = map->entries; row && row->message; ++row) {
      if (row->message != message || row->reflected != reflected) continue;
      if (message == WM_COMMAND) {
        if (HIWORD(wParam) != row->code) continue;
        if (!reflected && LOWORD(wParam) != row->id) continue;
      }
      if (row->onCtlColor) {
        *result = reinterpret_cast<LRESULT>(row->onCtlColor(this, reinterpret_cast<HDC>(wParam), message));
      } else {
        row->onVoid(this);
        *result = 0;
      }
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------

void DDX_Check(CDataExchange* pDX, UINT id, int& value) {
  HWND box = pDX->m_pDlgWnd->GetDlgItem(id);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(SendMessageA(box, BM_GETCHECK, 0, 0));
  } else {
    if (value < 0 || value > 2) value = 0;
    SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void DDX_Text(CDataExchange* pDX, UINT id, CString& value) {
  HWND control = pDX->m_pDlgWnd->GetDlgItem(id);
  if (pDX->m_bSaveAndValidate) {
    value = WindowText(control);
  } else {
    SetWindowTextA(control, value.c_str());
  }
}

// ---------------------------------------------------------------------------

HWND DefaultOwner() {
  HWND active = GetActiveWindow();
  return active ? GetLastActivePopup(active) : nullptr;
}

INT_PTR CDialog::DoModal() {
  HWND owner = m_owner ? m_owner : DefaultOwner();
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner, &CDialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx{this, saveAndValidate};
  DoDataExchange(&dx);
  return true;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void CDialog::OnOK() {
  UpdateData(true);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// Centres the dialog over its owner, or on the work area when it has none,
// keeping it inside the work area: the installer's templates give no
// position (0, 0), which asks for that.
void CDialog::CentreOnOpening() const {
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  RECT around = area;
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
  RECT mine;
  GetWindowRect(m_hWnd, &mine);
  const int width = mine.right - mine.left, height = mine.bottom - mine.top;
  int x = (around.left + around.right) / 2 - width / 2;
  int y = (around.top + around.bottom) / 2 - height / 2;
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CDialog*>(lParam);
    self->m_hWnd = window;
    SetWindowLongPtrA(window, DWLP_USER, lParam);
  }
  auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (!self) return FALSE;
  const INT_PTR result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->m_hWnd = nullptr;
  }
  return result;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case WM_INITDIALOG:
      CentreOnOpening();
      return OnInitDialog();
    case WM_CTLCOLORSTATIC: {
      // Asked first of the control that is to be painted.
      CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
      if (child && child->Dispatch(message, wParam, lParam, true, &result)) return static_cast<INT_PTR>(result);
      return FALSE;  // the default colours
    }
    case WM_COMMAND: {
      // A click (of a button, or of the link) that arrives while this dialog
      // still handles one is dropped: a message box or a call into the
      // shell runs a message loop of its own, in which a second click, or
      // one queued meanwhile, would run a handler inside the first.
      if (HIWORD(wParam) != BN_CLICKED) return HandleCommand(wParam, lParam) ? TRUE : FALSE;
      if (m_bHandlingClick) return TRUE;
      m_bHandlingClick = true;
      const bool handled = HandleCommand(wParam, lParam);
      m_bHandlingClick = false;
      return handled ? TRUE : FALSE;
    }
    default:
      return Dispatch(message, wParam, lParam, false, &result) ? TRUE : FALSE;
  }
}

bool CDialog::HandleCommand(WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  // A notification goes back first to the control that sent it.
  CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
  if (child && child->Dispatch(WM_COMMAND, wParam, lParam, true, &result)) return true;
  if (Dispatch(WM_COMMAND, wParam, lParam, false, &result)) return true;
  if (HIWORD(wParam) != BN_CLICKED) return false;
  if (LOWORD(wParam) == IDOK) {
    OnOK();
    return true;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------

CWinApp* CWinApp::s_current = nullptr;

CWinApp::CWinApp() { s_current = this; }

CWinApp::~CWinApp() {
  if (s_current == this) s_current = nullptr;
}

int CWinApp::Run(HINSTANCE instance) {
  m_hInstance = instance;
  char path[MAX_PATH] = "";
  GetModuleFileNameA(instance, path, sizeof path);
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') base = p + 1;
  }
  m_appName = base;
  const size_t dot = m_appName.FindLastOf(".");
  if (dot != CString::npos) m_appName.Truncate(dot);
  m_pszAppName = m_appName.c_str();
  if (InitInstance()) {
    // The installer never asks to run on; a program that did would need a
    // message loop here.
  }
  return ExitInstance();
}

int CWinApp::MessageBox(const CString& text, UINT type) const {
  // A text that could not be made (memory ran out, or the string table could
  // not be read) is said in words that need no memory.
  return ::MessageBoxA(DefaultOwner(), text.empty() ? "No hi ha prou memòria." : text.c_str(), m_pszAppName, type);
}
