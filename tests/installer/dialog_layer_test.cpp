// The installer's classes in this process: transparent drawing on a memory
// device context, the link control's painting set-up, run-time class names,
// data exchange and subclassing.
#include <gtest/gtest.h>

#include "info_dialog.h"
#include "installer_app.h"
#include "installer_dlg.h"
#include "import_table.h"
#include "installer_resource.h"
#include "masked_bitmap.h"
#include "static_link.h"
#include "test_env.h"
#include "uidriver.h"

CInstallerApp& TheApp() {
  static CInstallerApp app;
  return app;
}

namespace {

// A 32-bit top-down DIB section of w x h pixels filled by `paint(x, y)`.
template <typename Paint>
HBITMAP MakeBitmap(int w, int h, Paint paint) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF c = paint(x, y);
      pixels[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  return bitmap;
}

// A memory target filled with one colour.
struct Target {
  explicit Target(COLORREF fill) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = MakeBitmap(40, 30, [&](int, int) { return fill; });
    old = SelectObject(dc, bitmap);
  }
  ~Target() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

// Out of memory after `budget` more successful allocations.
int g_budget = 0;
void* Scarce(void* block, size_t bytes) { return g_budget-- > 0 ? StringMemoryResize(block, bytes) : nullptr; }

const COLORREF kFace = RGB(212, 208, 200);
const COLORREF kRed = RGB(200, 0, 0);
const COLORREF kGreen = RGB(0, 160, 0);

TEST(MaskedBitmap, LetsTheTargetShowThroughEveryPixelOfTheTransparentColour) {
  // Black background with a red square that has a black hole in its middle.
  CMaskedBitmap picture;
  picture.Attach(MakeBitmap(10, 8, [](int x, int y) {
    const bool square = x >= 2 && x < 8 && y >= 2 && y < 6;
    const bool hole = x == 5 && y == 4;
    return square && !hole ? kRed : RGB(0, 0, 0);
  }));
  EXPECT_EQ(picture.GetWidth(), 10);
  EXPECT_EQ(picture.GetHeight(), 8);
  Target target(kFace);
  picture.DrawMasked(target.dc, 5, 7, RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(target.dc, 5 + 0, 7 + 0), kFace);  // background
  EXPECT_EQ(GetPixel(target.dc, 5 + 3, 7 + 3), kRed);   // picture
  EXPECT_EQ(GetPixel(target.dc, 5 + 5, 7 + 4), kFace);  // the hole inside the picture
  EXPECT_EQ(GetPixel(target.dc, 4, 6), kFace);          // outside
  EXPECT_EQ(GetPixel(target.dc, 5 + 10, 7 + 3), kFace);
}

TEST(MaskedBitmap, DrawsAPictureWithoutTheTransparentColourOpaque) {
  CMaskedBitmap picture;
  picture.Attach(MakeBitmap(6, 6, [](int x, int) { return x < 3 ? kRed : kGreen; }));
  Target target(kFace);
  picture.DrawMasked(target.dc, 0, 0, RGB(0, 0, 0));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(GetPixel(target.dc, x, y), x < 3 ? kRed : kGreen);
  }
  EXPECT_EQ(GetPixel(target.dc, 6, 0), kFace);
}

TEST(MaskedBitmap, LeavesTheTargetColoursAsTheyWere) {
  CMaskedBitmap picture;
  picture.Attach(MakeBitmap(4, 4, [](int x, int) { return x ? kRed : RGB(0, 0, 0); }));
  Target target(kFace);
  SetBkColor(target.dc, RGB(1, 2, 3));
  SetTextColor(target.dc, RGB(4, 5, 6));
  picture.DrawMasked(target.dc, 0, 0, RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(target.dc), RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(target.dc), RGB(4, 5, 6));
}

TEST(RuntimeClass, NamesTheLinkAndReportsTheBaseForTheBitmap) {
  CStaticLink link;
  EXPECT_STREQ(link.GetRuntimeClass()->m_lpszClassName, "CStaticLink");
  EXPECT_STREQ(link.GetRuntimeClass()->m_pBaseClass->m_lpszClassName, "CStatic");
  EXPECT_TRUE(link.IsKindOf(&CWnd::classCWnd));
  CMaskedBitmap bitmap;
  EXPECT_STREQ(bitmap.GetRuntimeClass()->m_lpszClassName, "CBitmap");
  EXPECT_FALSE(bitmap.IsKindOf(&CWnd::classCWnd));
}

// A parent window with one child control, for the control classes.
struct Parent {
  Parent(const char* childClass, DWORD childStyle, const char* text) {
    window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    child = CreateWindowExA(0, childClass, text, WS_CHILD | WS_VISIBLE | childStyle, 0, 0, 100, 20, window,
                            reinterpret_cast<HMENU>(IDC_WEB_LINK), nullptr, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    object.m_hWnd = window;
  }
  ~Parent() {
    object.m_hWnd = nullptr;
    if (IsWindow(window)) DestroyWindow(window);
  }
  HWND window, child;
  CWnd object;
};

TEST(StaticLink, BecomesClickableAndUnderlinedAtItsFirstPaint) {
  Parent parent("Static", SS_LEFT, "Verbalia");
  CStaticLink link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_WEB_LINK, &parent.object));
  EXPECT_EQ(CWnd::FromHandlePermanent(parent.child), &link);
  EXPECT_FALSE(GetWindowLongA(parent.child, GWL_STYLE) & SS_NOTIFY);

  HDC dc = GetDC(parent.child);
  HBRUSH brush = link.CtlColor(dc, WM_CTLCOLORSTATIC);
  EXPECT_EQ(brush, GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(GetWindowLongA(parent.child, GWL_STYLE) & SS_NOTIFY);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  LOGFONTA font = {}, original = {};
  GetObjectA(link.m_font.GetSafeHandle(), sizeof font, &font);
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof original, &original);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_STREQ(font.lfFaceName, original.lfFaceName);
  EXPECT_EQ(font.lfHeight, original.lfHeight);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), link.m_font.GetSafeHandle());
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(parent.child, WM_GETFONT, 0, 0)), link.m_font.GetSafeHandle());

  link.m_bVisited = TRUE;
  link.CtlColor(dc, WM_CTLCOLORSTATIC);
  EXPECT_EQ(GetTextColor(dc), RGB(128, 0, 128));
  ReleaseDC(parent.child, dc);
}

TEST(StaticLink, LeavesOtherStaticKindsToTheStandardLookButStillNotifies) {
  Parent parent("Static", SS_LEFT | SS_NOPREFIX, "Verbalia");
  CStaticLink link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_WEB_LINK, &parent.object));
  HDC dc = GetDC(parent.child);
  EXPECT_EQ(link.CtlColor(dc, WM_CTLCOLORSTATIC), nullptr);
  EXPECT_TRUE(GetWindowLongA(parent.child, GWL_STYLE) & SS_NOTIFY);
  EXPECT_EQ(link.m_font.GetSafeHandle(), nullptr);
  ReleaseDC(parent.child, dc);
}

TEST(Subclassing, GivesTheControlBackWhenItIsDestroyed) {
  Parent parent("Static", SS_LEFT, "x");
  const LONG_PTR ownProc = GetWindowLongPtrA(parent.child, GWLP_WNDPROC);
  CStaticLink link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_WEB_LINK, &parent.object));
  EXPECT_NE(GetWindowLongPtrA(parent.child, GWLP_WNDPROC), ownProc);
  EXPECT_FALSE(link.SubclassDlgItem(IDC_WEB_LINK, &parent.object)) << "a control is taken over once";
  DestroyWindow(parent.window);
  EXPECT_EQ(link.m_hWnd, nullptr);
}

TEST(DataExchange, BindsCheckBoxesAndTextsBothWays) {
  Parent parent("Button", BS_AUTOCHECKBOX, "box");
  CDataExchange toControls{&parent.object, false};
  CDataExchange fromControls{&parent.object, true};

  int value = 1;
  DDX_Check(&toControls, IDC_WEB_LINK, value);
  EXPECT_EQ(SendMessageA(parent.child, BM_GETCHECK, 0, 0), BST_CHECKED);
  value = 7;  // outside 0..2: the box is cleared and the member set to 0
  DDX_Check(&toControls, IDC_WEB_LINK, value);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(SendMessageA(parent.child, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageA(parent.child, BM_SETCHECK, BST_CHECKED, 0);
  DDX_Check(&fromControls, IDC_WEB_LINK, value);
  EXPECT_EQ(value, 1);

  CString text = "nou";
  DDX_Text(&toControls, IDC_WEB_LINK, text);
  EXPECT_STREQ(WindowText(parent.child).c_str(), "nou");
  SetWindowTextA(parent.child, "altre");
  DDX_Text(&fromControls, IDC_WEB_LINK, text);
  EXPECT_STREQ(text.c_str(), "altre");
}

// ---------------------------------------------------------------------------
// The install's failure paths that no real run reaches at will.

int g_answer = 0;
int WINAPI AnsweringBox(HWND, LPCSTR, LPCSTR, UINT) { return g_answer; }

// The install's questions as the user's answers reach it: the main dialog's
// message box, and a report of the test's own that answers as it is told.
struct AnsweringReport : InstallReport {
  void ShowMessage(const CString&) override {}
  bool AskYesNo(const CString&) override {
    ++asked;
    return answer;
  }
  void AppendResult(const CString&) override {}
  bool answer = true;
  int asked = 0;
};

TEST(BackupQuestion, OnlyAnExplicitYesGoesOn) {
  imports::Patch box("user32.dll", "MessageBoxA", reinterpret_cast<void*>(&AnsweringBox));
  ASSERT_TRUE(box.patched());
  CInstallerDlg dialog;
  const struct {
    int answer;
    bool goesOn;
  } cases[] = {{IDYES, true}, {IDNO, false}, {0, false}};  // 0: the message box could not be shown
  for (const auto& c : cases) {
    g_answer = c.answer;
    EXPECT_EQ(GoOnWithoutCopy("popups.ini", dialog), c.goesOn) << c.answer;
  }
  // A question whose text could not be made is not asked.
  AnsweringReport report;
  g_budget = 0;
  CString::SetAllocator(Scarce);
  const bool goesOn = GoOnWithoutCopy("popups.ini", report);
  CString::SetAllocator(nullptr);
  EXPECT_FALSE(goesOn);
  EXPECT_EQ(report.asked, 0);
}

TEST(ResultsBox, OnlyGrowsWhenMemoryRunsOut) {
  HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND box = CreateWindowA("EDIT", "", WS_CHILD | ES_MULTILINE, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(IDC_RESULTS), nullptr, nullptr);
  ASSERT_NE(box, nullptr);
  CInstallerDlg dialog;
  dialog.m_hWnd = parent;
  dialog.AppendResult("first\r\n");
  for (int budget = 0; budget <= 4; ++budget) {
    const std::string before = ui::Text(box);
    g_budget = budget;
    CString::SetAllocator(Scarce);
    dialog.AppendResult("next\r\n");
    CString::SetAllocator(nullptr);
    const std::string after = ui::Text(box);
    EXPECT_TRUE(after == before || after == before + "next\r\n") << budget << ": " << after;
  }
  EXPECT_EQ(ui::Text(box).rfind("first\r\nnext\r\n", 0), 0u);
  dialog.m_hWnd = nullptr;
  DestroyWindow(parent);
}

// This test program carries no launcher: an older one stays as it is and
// the shortcut names it; without one there is no shortcut to nothing.
TEST(Shortcut, WithoutItsLauncherResourceOnlyAnOlderLauncherGetsAShortcut) {
  const std::string launcher = testenv::LauncherPath();
  const testenv::DesktopFolder desktop(testenv::ScratchDir() + "Desktop");
  const std::string shortcut = desktop.Shortcut();
  CoInitialize(nullptr);
  for (const bool older : {true, false}) {
    SCOPED_TRACE(older ? "an older launcher" : "no launcher");
    DeleteFileA(launcher.c_str());
    DeleteFileA(shortcut.c_str());
    if (older) {
      ASSERT_TRUE(testenv::WriteFile(launcher, "an older launcher"));
    }
    EXPECT_EQ(CInfoDialog().CreateDesktopShortcut(), older);
    EXPECT_EQ(testenv::ReadFile(launcher), older ? "an older launcher" : "");
    EXPECT_EQ(testenv::FileExists(shortcut), older);
  }
  CoUninitialize();
  DeleteFileA(launcher.c_str());
}

}  // namespace
