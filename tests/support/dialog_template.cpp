#include "dialog_template.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "uidriver.h"

namespace layout {

namespace {

// A walk over the words of a standard (not extended) dialog template.
class Reader {
 public:
  Reader(const BYTE* begin, size_t size) : at_(begin), begin_(begin), end_(begin + size) {}

  bool ok() const { return ok_; }

  WORD Word() {
    if (end_ - at_ < 2) {
      ok_ = false;
      return 0;
    }
    const WORD value = static_cast<WORD>(at_[0] | (at_[1] << 8));
    at_ += 2;
    return value;
  }
  DWORD Dword() {
    const DWORD low = Word();
    return low | (static_cast<DWORD>(Word()) << 16);
  }
  short Short() { return static_cast<short>(Word()); }

  // A zero-terminated UTF-16 text, as code page 1252.
  std::string Text() {
    std::wstring wide;
    for (WORD c = Word(); ok_ && c; c = Word()) wide += static_cast<wchar_t>(c);
    if (wide.empty()) return {};
    const int length =
        WideCharToMultiByte(1252, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(1252, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
    return text;
  }

  // A name or an ordinal: "" for none, "#n" for an ordinal.
  std::string NameOrOrdinal() {
    if (end_ - at_ >= 2 && at_[0] == 0xFF && at_[1] == 0xFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return Text();
  }

  void AlignToDword() {
    while ((at_ - begin_) % 4 && at_ < end_) ++at_;
  }

 private:
  const BYTE* at_;
  const BYTE* begin_;
  const BYTE* end_;
  bool ok_ = true;
};

// A predefined window class, named by its ordinal or by its name in any
// letter case (both make the same control), in one spelling.
std::string ClassName(const std::string& nameOrOrdinal) {
  static const char* const kPredefined[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
  for (int i = 0; i < 6; ++i) {
    if (nameOrOrdinal == "#" + std::to_string(0x80 + i) || lstrcmpiA(nameOrOrdinal.c_str(), kPredefined[i]) == 0) {
      return kPredefined[i];
    }
  }
  return nameOrOrdinal;
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

}  // namespace

namespace {

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog window made from the template in this process, never shown.
class TemplateDialog {
 public:
  TemplateDialog(const std::string& exe, LPCSTR name, WORD language) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceExA(module, RT_DIALOG, name, language) : nullptr;
    if (found) {
      const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
      std::vector<BYTE> copy(bytes, bytes + SizeofResource(module, found));
      auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(copy.data());
      dialogTemplate->style &= ~WS_VISIBLE;
      window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr, Inert, 0);
    }
    if (module) FreeLibrary(module);
  }
  ~TemplateDialog() {
    if (window_) DestroyWindow(window_);
  }
  TemplateDialog(const TemplateDialog&) = delete;
  TemplateDialog& operator=(const TemplateDialog&) = delete;
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// Where a control draws its text and how it breaks it; false for controls
// that show no text of their own (one-line edit fields, lists, pictures). A
// box that wraps its lines and scrolls down has room for every line that
// wraps within its width.
bool TextRoom(HWND control, RECT& room, UINT& format) {
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  GetClientRect(control, &room);
  const std::string windowClass = ui::ClassName(control);
  if (lstrcmpiA(windowClass.c_str(), "Edit") == 0) {
    if ((style & (ES_MULTILINE | ES_AUTOHSCROLL)) != ES_MULTILINE) return false;
    SendMessageA(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    // A box that scrolls keeps words whole (one wider than the box would be
    // broken inside it); one that does not breaks them as the box does.
    format = DT_WORDBREAK | DT_NOPREFIX | ((style & WS_VSCROLL) ? 0 : DT_EDITCONTROL);
    if (style & WS_VSCROLL) room.bottom = room.top + 0x7FFF;
    return true;
  }
  if (lstrcmpiA(windowClass.c_str(), "Static") == 0) {
    const LONG kind = style & SS_TYPEMASK;
    if (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT) {
      format = DT_WORDBREAK | DT_EXPANDTABS;
    } else if (kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE) {
      format = DT_EXPANDTABS;
    } else {
      return false;
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return true;
  }
  if (lstrcmpiA(windowClass.c_str(), "Button") != 0) return false;
  format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      InflateRect(&room, -3, -3);  // the edges and the focus rectangle
      return true;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      room.left += GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and the gap after it
      return true;
    case BS_GROUPBOX:
      InflateRect(&room, -8, 0);  // the frame's corners on both sides of the title
      return true;
    default:
      return false;
  }
}

}  // namespace

void ExpectTextsFit(const std::string& exe, LPCSTR name, WORD language, const std::vector<ShownText>& shown) {
  TemplateDialog dialog(exe, name, language);
  ASSERT_NE(dialog.window(), nullptr) << "the template makes no dialog";
  for (const ShownText& text : shown) {
    ASSERT_TRUE(SetDlgItemTextA(dialog.window(), text.id, text.text.c_str())) << "no control " << text.id;
  }
  HDC dc = GetDC(dialog.window());
  for (HWND control = GetWindow(dialog.window(), GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
    RECT room;
    UINT format = 0;
    if (!(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) || !TextRoom(control, room, format)) continue;
    char text[1024] = "";
    GetWindowTextA(control, text, sizeof text);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, room.right - room.left, 0};
    DrawTextA(dc, text, -1, &needed, format | DT_CALCRECT);
    RECT oneLine = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &oneLine, (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, oldFont);
    EXPECT_TRUE(needed.right <= room.right - room.left && needed.bottom <= room.bottom - room.top)
        << "control " << GetDlgCtrlID(control) << " \"" << text << "\" needs " << needed.right << " x " << needed.bottom
        << " px (" << oneLine.right << " px on one line), has " << room.right - room.left << " x "
        << room.bottom - room.top;
  }
  ReleaseDC(dialog.window(), dc);
}

FontFacts DialogFont(const std::string& exe, LPCSTR name, WORD language) {
  TemplateDialog dialog(exe, name, language);
  FontFacts facts{"", 0, 0};
  if (!dialog.window()) return facts;
  HDC dc = GetDC(dialog.window());
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog.window(), WM_GETFONT, 0, 0)));
  char face[LF_FACESIZE] = "";
  GetTextFaceA(dc, sizeof face, face);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, oldFont);
  ReleaseDC(dialog.window(), dc);
  return {face, metrics.tmHeight, metrics.tmAveCharWidth};
}

void ExpectTemplate(const std::string& exe, LPCSTR name, WORD language, const Dialog& expected) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << exe;
  HRSRC found = FindResourceExA(module, RT_DIALOG, name, language);
  if (!found) FreeLibrary(module);
  ASSERT_NE(found, nullptr) << "no such dialog template in this language";
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  Reader reader(bytes, SizeofResource(module, found));

  const DWORD style = reader.Dword();
  EXPECT_NE(style, 0xFFFF0001u) << "an extended template";
  EXPECT_EQ(Hex(style), Hex(expected.style)) << "dialog style";
  EXPECT_EQ(reader.Dword(), 0u) << "dialog extended style";
  const WORD count = reader.Word();
  const short x = reader.Short(), y = reader.Short(), width = reader.Short(), height = reader.Short();
  EXPECT_EQ((std::vector<short>{x, y, width, height}),
            (std::vector<short>{expected.x, expected.y, expected.width, expected.height}))
      << "dialog position and size";
  EXPECT_EQ(reader.NameOrOrdinal(), "") << "menu";
  EXPECT_EQ(reader.NameOrOrdinal(), "") << "private window class";
  EXPECT_EQ(reader.Text(), expected.caption) << "caption";
  if (style & DS_SETFONT) {
    EXPECT_EQ(reader.Word(), expected.pointSize) << "font size";
    EXPECT_EQ(reader.Text(), expected.font) << "font";
  } else {
    ADD_FAILURE() << "no font";
  }

  ASSERT_EQ(count, expected.controls.size()) << "number of controls";
  for (const Control& want : expected.controls) {
    SCOPED_TRACE("control " + std::to_string(&want - expected.controls.data()) + ", id " + std::to_string(want.id));
    reader.AlignToDword();
    const DWORD itemStyle = reader.Dword();
    EXPECT_EQ(reader.Dword(), 0u) << "extended style";
    const short cx = reader.Short(), cy = reader.Short(), cw = reader.Short(), ch = reader.Short();
    const WORD id = reader.Word();
    const std::string className = ClassName(reader.NameOrOrdinal());
    const std::string text = reader.NameOrOrdinal();
    const WORD extra = reader.Word();
    for (WORD i = 0; i < extra / 2; ++i) reader.Word();

    EXPECT_EQ(id, static_cast<WORD>(want.id)) << "id";
    EXPECT_EQ(className, want.className) << "class";
    EXPECT_EQ((std::vector<short>{cx, cy, cw, ch}), (std::vector<short>{want.x, want.y, want.width, want.height}))
        << "rectangle";
    EXPECT_EQ(Hex(itemStyle), Hex(want.style)) << "style";
    EXPECT_EQ(text, want.text) << "text";
    EXPECT_EQ(extra, 0u) << "creation data";
  }
  EXPECT_TRUE(reader.ok()) << "the template ends early";
  FreeLibrary(module);
}

}  // namespace layout
