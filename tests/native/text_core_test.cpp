#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text_core.h"

TEST(CopyText, CutsToTheCapacityAndAlwaysTerminates) {
  char small[5];
  EXPECT_TRUE(CopyText(small, sizeof small, "abcd"));
  EXPECT_STREQ(small, "abcd");
  EXPECT_FALSE(CopyText(small, sizeof small, "abcdef"));
  EXPECT_STREQ(small, "abcd");
  EXPECT_FALSE(AppendText(small, sizeof small, "x"));
  char room[8] = "ab";
  EXPECT_TRUE(AppendText(room, sizeof room, "cde"));
  EXPECT_STREQ(room, "abcde");
  EXPECT_FALSE(AppendText(room, sizeof room, "fghij"));
  EXPECT_STREQ(room, "abcdefg");
}

TEST(LowerAscii, LowersOnlyAToZ) {
  char text[] = "C:\\QUOP\\Quop32.EXE \xC0\xC9\xD1 [Z]@";
  LowerAscii(text);
  EXPECT_STREQ(text, "c:\\quop\\quop32.exe \xC0\xC9\xD1 [z]@");
  EXPECT_TRUE(EqualsAsciiNoCase("Not Connected", "not connected"));
  EXPECT_FALSE(EqualsAsciiNoCase("\xC0", "\xE0"));
  EXPECT_FALSE(EqualsAsciiNoCase("abc", "abcd"));
}

TEST(SplitPath, FindsDriveDirectoryNameAndExtension) {
  char drive[kDriveSize], directory[kPartSize], name[kPartSize], extension[kPartSize];
  SplitPath("C:\\Quop\\sub/quop32.tar.exe", drive, directory, name, extension);
  EXPECT_STREQ(drive, "C:");
  EXPECT_STREQ(directory, "\\Quop\\sub/");
  EXPECT_STREQ(name, "quop32.tar");
  EXPECT_STREQ(extension, ".exe");

  SplitPath("quop.ini", drive, directory, name, extension);
  EXPECT_STREQ(drive, "");
  EXPECT_STREQ(directory, "");
  EXPECT_STREQ(name, "quop");
  EXPECT_STREQ(extension, ".ini");

  SplitPath("\\\\server\\share\\", drive, directory, name, extension);
  EXPECT_STREQ(drive, "");
  EXPECT_STREQ(directory, "\\\\server\\share\\");
  EXPECT_STREQ(name, "");

  // Only the first 260 characters count (the later separator is not seen),
  // and each part is cut to fit.
  const std::string deep = "c:\\" + std::string(300, 'd') + "\\x.exe";
  SplitPath(deep.c_str(), drive, directory, name, extension);
  EXPECT_STREQ(directory, "\\");
  EXPECT_EQ(std::string(name), std::string(255, 'd'));
  EXPECT_STREQ(extension, "");
}

TEST(StoredForm, IsRelativeOnlyInsideTheHelperFolder) {
  EXPECT_STREQ(StoredForm("c:\\quop\\quop32.exe", "C:\\QUOP\\"), "quop32.exe");
  EXPECT_STREQ(StoredForm("c:\\quop\\sub\\quop32.exe", "C:\\QUOP\\"), "sub\\quop32.exe");
  EXPECT_STREQ(StoredForm("c:\\quop2\\quop32.exe", "C:\\QUOP\\"), "c:\\quop2\\quop32.exe");
  EXPECT_STREQ(StoredForm("c:\\quop\\", "C:\\QUOP\\"), "");
  EXPECT_STREQ(StoredForm("c:\\quo", "C:\\QUOP\\"), "c:\\quo");
  EXPECT_STREQ(StoredForm("", "C:\\QUOP\\"), "");
  // Only A-Z match without regard to case.
  EXPECT_STREQ(StoredForm("c:\\\xE0\\x.exe", "C:\\\xC0\\"), "c:\\\xE0\\x.exe");
}

TEST(MakeFullPath, PutsRelativeValuesAfterTheHelperFolderAsTheyAre) {
  char path[kPathSize] = "quop32.exe";
  EXPECT_TRUE(MakeFullPath(path, "C:\\QUOP\\"));
  EXPECT_STREQ(path, "C:\\QUOP\\quop32.exe");
  char rooted[kPathSize] = "\\chat\\quop32.exe";
  EXPECT_TRUE(MakeFullPath(rooted, "C:\\QUOP\\"));
  EXPECT_STREQ(rooted, "C:\\QUOP\\\\chat\\quop32.exe");
  char full[kPathSize] = "D:\\Chat\\Quop32.EXE";
  EXPECT_TRUE(MakeFullPath(full, "C:\\QUOP\\"));
  EXPECT_STREQ(full, "D:\\Chat\\Quop32.EXE");
  char colon[kPathSize] = "odd:name";
  EXPECT_TRUE(MakeFullPath(colon, "C:\\QUOP\\"));
  EXPECT_STREQ(colon, "odd:name");
  char share[kPathSize] = "\\\\server\\share\\quop32.exe";  // a network path is full too
  EXPECT_TRUE(MakeFullPath(share, "C:\\QUOP\\"));
  EXPECT_STREQ(share, "\\\\server\\share\\quop32.exe");
}

TEST(MakeFullPath, RefusesAPathThatWouldNotFit) {
  char path[kPathSize];
  const std::string fits(299 - 8, 'a');
  CopyText(path, sizeof path, fits.c_str());
  EXPECT_TRUE(MakeFullPath(path, "C:\\QUOP\\"));
  EXPECT_EQ(std::string(path).size(), 299u);
  const std::string tooLong(299 - 7, 'a');
  CopyText(path, sizeof path, tooLong.c_str());
  EXPECT_FALSE(MakeFullPath(path, "C:\\QUOP\\"));
  EXPECT_STREQ(path, "");
}

TEST(DropUnsafePath, EmptiesOnlyAPathThatHoldsAQuoteOrAControlCharacter) {
  const char* const cases[][2] = {
      {"c:\\quop\\quop32.exe", "c:\\quop\\quop32.exe"},
      {"c:\\program files\\quop\\quop32.exe", "c:\\program files\\quop\\quop32.exe"},
      {"c:\\r\xE8sum\\quop32.exe", "c:\\r\xE8sum\\quop32.exe"},
      {"c:\\x\" -evil \"y\\quop32.exe", ""},
      {"\"", ""},
      {"c:\\a\tb.ini", ""},
      {"c:\\a.exe\r -sevil.example", ""},
      {"c:\\a\x7F.exe", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    char path[kPathSize];
    CopyText(path, sizeof path, c[0]);
    EXPECT_EQ(DropUnsafePath(path), c[1][0] == '\0' && c[0][0] != '\0') << c[0];
    EXPECT_STREQ(path, c[1]);
  }
}

TEST(FormatText, FillsEachPlaceholderInTurnAndCutsToFit) {
  struct Case {
    size_t capacity;
    const char* format;
    std::initializer_list<const char*> arguments;
    const char* text;
    bool whole;
  } cases[] = {
      {300, "%s,%s,%s %s,1", {"host", "6667", "#c", "key"}, "host,6667,#c key,1", true},
      {300, "%s%squop.ini", {"c:", "\\quop\\"}, "c:\\quop\\quop.ini", true},
      {300, "#%s", {""}, "#", true},
      {300, "%s and %s", {"one"}, "one and ", true},  // no argument left: nothing
      {300, "100%% %s", {"sure"}, "100% sure", true},
      {300, "a%d%", {}, "a%d%", true},  // only "%s" is a placeholder
      {6, "%s:%s", {"host", "6667"}, "host:", false},
      {1, "%s", {"x"}, "", false},
  };
  for (const Case& c : cases) {
    char text[300];
    EXPECT_EQ(FormatText(text, c.capacity, c.format, c.arguments), c.whole) << c.format;
    EXPECT_STREQ(text, c.text) << c.format;
  }
}
