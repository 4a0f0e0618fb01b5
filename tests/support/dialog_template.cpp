#include "dialog_template.h"

#include <gtest/gtest.h>

#include <cstdio>

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
