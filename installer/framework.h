// The installer's dialog layer: an application object, modal dialogs built
// from numbered templates, message tables, data exchange by control id,
// controls taken over by subclassing, run-time class names and GDI object
// owners. Only what the installer's dialogs use.
#pragma once

#include <windows.h>

#include "text.h"

// The whole text of a window or control.
CString WindowText(HWND window);

// ---------------------------------------------------------------------------
// Run-time class information: a name and the base class's information.

struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;
};

class CObject {
 public:
  static const CRuntimeClass classCObject;
  virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
  virtual ~CObject() = default;
  virtual void Serialize() {}  // nothing is ever stored
  bool IsKindOf(const CRuntimeClass* wanted) const;
};

// ---------------------------------------------------------------------------
// GDI objects: each owns one handle and deletes it with itself.

class CGdiObject : public CObject {
 public:
  static const CRuntimeClass classCGdiObject;
  const CRuntimeClass* GetRuntimeClass() const override { return &classCGdiObject; }
  ~CGdiObject() override { DeleteObject(); }
  void Attach(HGDIOBJ handle);
  void DeleteObject();
  HGDIOBJ GetSafeHandle() const { return m_hObject; }

 protected:
  HGDIOBJ m_hObject = nullptr;
};

class CBitmap : public CGdiObject {
 public:
  static const CRuntimeClass classCBitmap;
  const CRuntimeClass* GetRuntimeClass() const override { return &classCBitmap; }
  HBITMAP handle() const { return static_cast<HBITMAP>(m_hObject); }
};

class CFont : public CGdiObject {
 public:
  HFONT handle() const { return static_cast<HFONT>(m_hObject); }
};

// ---------------------------------------------------------------------------
// Windows and message tables.

class CWnd;

// One row of a message table. A row routes either a message of the window
// itself (WM_COMMAND from a button of a dialog, WM_PAINT) or, when
// `reflected` is set, a notification that the parent received from this
// control and passed back to it (WM_COMMAND with a notification code,
// WM_CTLCOLORSTATIC). Its handler is reached through a function made for
// it, so that every table is a constant that the program file holds as it
// is: no start-up code has to fill it in.
struct MessageEntry {
  UINT message;
  UINT code;  // notification code of WM_COMMAND
  UINT id;    // control id of WM_COMMAND from a child; 0 for reflected rows
  bool reflected;
  void (*onVoid)(CWnd*);
  HBRUSH (*onCtlColor)(CWnd*, HDC, UINT);
};

// A message table: its rows (ended by a row whose message is 0) and the base
// class's table, which is searched next.
struct MessageMap {
  const MessageMap* base;
  const MessageEntry* entries;
};

// The handlers of a class, called on the object that a table row is for.
template <class T, void (T::*handler)()>
void CallHandler(CWnd* window) {
  (static_cast<T*>(window)->*handler)();
}
template <class T, HBRUSH (T::*handler)(HDC, UINT)>
HBRUSH CallCtlColor(CWnd* window, HDC dc, UINT message) {
  return (static_cast<T*>(window)->*handler)(dc, message);
}

// The rows, for example OnButton<CInstallerDlg, &CInstallerDlg::OnBrowse>(IDC_BROWSE).
template <class T, void (T::*handler)()>
constexpr MessageEntry OnButton(UINT id) {
  return {WM_COMMAND, BN_CLICKED, id, false, &CallHandler<T, handler>, nullptr};
}
template <class T, void (T::*handler)()>
constexpr MessageEntry OnWindowMessage(UINT message) {
  return {message, 0, 0, false, &CallHandler<T, handler>, nullptr};
}
template <class T, void (T::*handler)()>
constexpr MessageEntry OnPaintMessage() {
  return OnWindowMessage<T, handler>(WM_PAINT);
}
template <class T, void (T::*handler)()>
constexpr MessageEntry OnReflectedCommand(UINT code) {
  return {WM_COMMAND, code, 0, true, &CallHandler<T, handler>, nullptr};
}
template <class T, HBRUSH (T::*handler)(HDC, UINT)>
constexpr MessageEntry OnReflectedCtlColor(UINT message) {
  return {message, 0, 0, true, nullptr, &CallCtlColor<T, handler>};
}
constexpr MessageEntry kEndOfMessageMap = {0, 0, 0, false, nullptr, nullptr};

class CWnd : public CObject {
 public:
  static const CRuntimeClass classCWnd;
  const CRuntimeClass* GetRuntimeClass() const override { return &classCWnd; }
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  // Takes over the dialog control `id` of `parent`: its messages reach this
  // object first. The control's own procedure is put back when it is destroyed.
  bool SubclassDlgItem(UINT id, CWnd* parent);
  void UnsubclassWindow();
  // The object that has taken over a window, if any.
  static CWnd* FromHandlePermanent(HWND window);

  CString GetWindowText() const { return WindowText(m_hWnd); }
  void SetWindowText(const CString& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }
  HWND GetDlgItem(UINT id) const { return ::GetDlgItem(m_hWnd, static_cast<int>(id)); }

  virtual const MessageMap* GetMessageMap() const { return &messageMap; }

  // Runs the row of this object's table that matches a message, if any.
  // Returns true when a row handled it; `result` then holds its result.
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, bool reflected, LRESULT* result);

 protected:
  static const MessageMap messageMap;
  // A taken-over control's message, before its table: true when handled,
  // with `result` set. Default() runs the control's own procedure.
  virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcA(m_oldProc, m_hWnd, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC m_oldProc = nullptr;
};

class CStatic : public CWnd {
 public:
  static const CRuntimeClass classCStatic;
  const CRuntimeClass* GetRuntimeClass() const override { return &classCStatic; }
};

// ---------------------------------------------------------------------------
// Data exchange between a dialog's controls and its members, by control id.

struct CDataExchange {
  CWnd* m_pDlgWnd;
  bool m_bSaveAndValidate;  // true: from the controls into the members
};

void DDX_Check(CDataExchange* pDX, UINT id, int& value);
void DDX_Text(CDataExchange* pDX, UINT id, CString& value);

// ---------------------------------------------------------------------------
// Modal dialogs built from a numbered template.

class CDialog : public CWnd {
 public:
  static const CRuntimeClass classCDialog;
  const CRuntimeClass* GetRuntimeClass() const override { return &classCDialog; }

  // `owner` null: the thread's active window (its last active pop-up)
  // becomes the owner when the dialog runs, or none when there is none.
  explicit CDialog(UINT templateId, HWND owner = nullptr) : m_templateId(templateId), m_owner(owner) {}

  INT_PTR DoModal();
  void EndDialog(INT_PTR result) const { ::EndDialog(m_hWnd, result); }
  bool UpdateData(bool saveAndValidate);

  virtual void DoDataExchange(CDataExchange*) {}
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Routes a WM_COMMAND: to the control that sent it, the table, OK, Cancel.
  bool HandleCommand(WPARAM wParam, LPARAM lParam);
  void CentreOnOpening() const;

  UINT m_templateId;
  HWND m_owner;
  bool m_bHandlingClick = false;
};

// The window that dialogs and message boxes opened without an explicit owner
// belong to: the thread's active window, or none.
HWND DefaultOwner();

// ---------------------------------------------------------------------------
// The application object: one global instance whose start-up runs once.

class CWinApp : public CObject {
 public:
  CWinApp();
  ~CWinApp() override;
  static CWinApp* Current() { return s_current; }

  // Start-up. Returning false ends the process without a message loop.
  virtual BOOL InitInstance() { return FALSE; }
  // Runs at the end; its result is the process's exit code.
  virtual int ExitInstance() { return 0; }

  // The base name of the running program without its extension: the caption
  // of every message box.
  const char* m_pszAppName = "";

  int Run(HINSTANCE instance);
  HINSTANCE m_hInstance = nullptr;

  // A message box with the application's name as caption and the default
  // owner; an empty text says that memory ran out.
  int MessageBox(const CString& text, UINT type) const;

 private:
  static CWinApp* s_current;
  CString m_appName;
};
