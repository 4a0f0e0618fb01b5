// Reads a dialog template out of a built program, loaded as a data file, and
// compares it with the layout a table gives, field by field.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace layout {

// Every control below is a child window; most are visible too.
constexpr DWORD kChild = WS_CHILD;
constexpr DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;

// One control: its id (-1 for none), window class ("Button", "Edit",
// "Static", "ListBox", "ComboBox" for the predefined ones), rectangle in
// dialog units, style bits and template text.
struct Control {
  int id;
  const char* className;
  short x, y, width, height;
  DWORD style;
  const char* text;
};

// A whole template: the dialog's own fields, then its controls in order.
struct Dialog {
  DWORD style;
  short x, y, width, height;
  WORD pointSize;
  const char* font;
  const char* caption;
  std::vector<Control> controls;
};

// Compares the template `name` (language `language`) of the program file
// `exe` with `expected`, one expectation per field, each naming its control.
void ExpectTemplate(const std::string& exe, LPCSTR name, WORD language, const Dialog& expected);

// A text that the program puts into control `id` at run time over the
// template's text; for user data, its longest ordinary value.
struct ShownText {
  int id;
  std::string text;
};

// Makes the dialog of a template in this process, hidden, with the texts the
// program shows, and expects every static text, check box, radio button,
// push button and group box title to fit its control, measured with
// DrawText in the control's own font as the control breaks its lines.
void ExpectTextsFit(const std::string& exe, LPCSTR name, WORD language, const std::vector<ShownText>& shown);

// The font that a dialog made from a template gets: face, cell height and
// average character width in pixels.
struct FontFacts {
  std::string face;
  LONG height;
  LONG averageWidth;
};
FontFacts DialogFont(const std::string& exe, LPCSTR name, WORD language);

}  // namespace layout
