// The helper's settings in "quop.ini", read and written with the platform's
// own profile functions.
#include <gtest/gtest.h>

#include "settings.h"
#include "test_env.h"

namespace {

// A helper folder C:\QUOP\ of the test's own, with the helper's program path.
class HelperSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clear();
    CreateDirectoryA(kFolder, nullptr);
  }
  void TearDown() override { Clear(); }
  static void Clear() {
    for (const char* file : {"quop.ini", "quop32.exe", "Quop2.exe", "CATALÀ.EXE"}) {
      DeleteFileA((std::string(kFolder) + file).c_str());
    }
    RemoveDirectoryA((std::string(kFolder) + "sub").c_str());
    RemoveDirectoryA(kFolder);
  }
  static void Ini(const std::string& text) { testenv::WriteFile(std::string(kFolder) + "quop.ini", text); }
  static void Touch(const std::string& name) { testenv::WriteFile(std::string(kFolder) + name, "x"); }
  static void Load() { LoadHelperSettingsFor("C:\\QUOP\\urlhop32.exe"); }
  static std::string Stored(const char* key) {
    char value[300] = "";
    GetPrivateProfileStringA("quoplink", key, "(absent)", value, sizeof value, "C:\\QUOP\\quop.ini");
    return value;
  }
  static constexpr const char* kFolder = "C:\\QUOP\\";
};

TEST_F(HelperSettingsTest, WithoutASettingsFileTheDefaultsHold) {
  Load();
  EXPECT_STREQ(g_settings.settingsFile, "C:\\QUOP\\quop.ini");
  EXPECT_STREQ(g_settings.clientProgram, "");
  EXPECT_STREQ(g_settings.clientIni, "");
  EXPECT_STREQ(g_settings.ddeService, "Quop");
  EXPECT_FALSE(testenv::FileExists("C:\\QUOP\\quop.ini"));
}

TEST_F(HelperSettingsTest, StoredPathsBecomeFullAndLowerCase) {
  Touch("quop32.exe");
  const std::string chat = testenv::ScratchDir() + "Chat\\";
  CreateDirectoryA(chat.c_str(), nullptr);
  testenv::WriteFile(chat + "Quop32.EXE", "x");
  Ini("[quoplink]\r\nexe=quop32.exe\r\nini=" + chat + "Quop32.EXE\r\ndde=Xat\r\n");
  Load();
  EXPECT_STREQ(g_settings.clientProgram, "c:\\quop\\quop32.exe");
  std::string lowered = chat + "quop32.exe";
  LowerAscii(&lowered[0]);
  EXPECT_EQ(g_settings.clientIni, lowered);
  EXPECT_STREQ(g_settings.ddeService, "Xat");
}

TEST_F(HelperSettingsTest, EmptyOrMissingPathsAreUnsetAndTheFileKeepsThem) {
  Ini("[quoplink]\r\nexe=\r\nini=nothere.ini\r\n");
  const std::string before = testenv::ReadFile("C:\\QUOP\\quop.ini");
  Load();
  EXPECT_STREQ(g_settings.clientProgram, "");
  EXPECT_STREQ(g_settings.clientIni, "");
  EXPECT_EQ(testenv::ReadFile("C:\\QUOP\\quop.ini"), before);
}

TEST_F(HelperSettingsTest, ARelativeValueNamingAFolderStaysSet) {
  CreateDirectoryA("C:\\QUOP\\sub", nullptr);
  Ini("[quoplink]\r\nexe=sub\r\n");
  Load();
  EXPECT_STREQ(g_settings.clientProgram, "c:\\quop\\sub");
}

TEST_F(HelperSettingsTest, AnEmptyServiceNameStaysEmpty) {
  Ini("[quoplink]\r\ndde=\r\n");
  Load();
  EXPECT_STREQ(g_settings.ddeService, "");
}

TEST_F(HelperSettingsTest, LettersWithDiacriticsKeepTheirCase) {
  Touch("CATALÀ.EXE");
  Ini("[quoplink]\r\nexe=CATALÀ.EXE\r\n");
  Load();
  EXPECT_STREQ(g_settings.clientProgram, "c:\\quop\\catalÀ.exe");
}

TEST_F(HelperSettingsTest, AStoredPathTooLongOnceFullCountsAsUnset) {
  // The helper's folder (8 characters) and this value make 300: one too many.
  const std::string value(292, 'a');
  Ini("[quoplink]\r\nexe=" + value + "\r\n");
  Load();
  EXPECT_STREQ(g_settings.clientProgram, "");
}

TEST_F(HelperSettingsTest, StoredValuesLongerThanTheirBuffersAreCut) {
  Touch("quop32.exe");
  const std::string service(150, 's');
  // Cut to 299 characters, the path names nothing and counts as unset.
  Ini("[quoplink]\r\nexe=C:\\QUOP\\quop32.exe" + std::string(400, 'x') + "\r\nini=" + std::string(400, 'i') +
      "\r\ndde=" + service + "\r\n");
  Load();
  EXPECT_STREQ(g_settings.clientProgram, "");
  EXPECT_STREQ(g_settings.clientIni, "");
  EXPECT_EQ(std::string(g_settings.ddeService), service.substr(0, 99));
}

TEST_F(HelperSettingsTest, SavesPathsRelativeToTheHelperFolderWhenTheyLieInIt) {
  Load();
  struct Case {
    const char* program;
    const char* stored;
  } cases[] = {
      {"c:\\quop\\sub\\quop32.exe", "sub\\quop32.exe"},
      {"c:\\quop2\\quop32.exe", "c:\\quop2\\quop32.exe"},  // the folder's trailing "\" is compared too
      {"c:\\quop\\", ""},
      {"C:\\Quop\\QUOP32.EXE", "QUOP32.EXE"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    CopyText(g_settings.clientProgram, sizeof g_settings.clientProgram, c.program);
    SaveHelperSettings();
    EXPECT_EQ(Stored("exe"), c.stored);  // an empty value is written, not removed
  }
  EXPECT_STREQ(g_settings.lastDirectory, "C:\\QUOP\\");
}

TEST_F(HelperSettingsTest, StoringOneKeyLeavesTheRestOfTheFileAsItWas) {
  // (Written as the profile functions write: some platforms drop blank lines.)
  const std::string head =
      "; Quop settings\r\n[quop]\r\nnick=Convidat\r\nserver=irc.example.cat:6667\r\n[quoplink]\r\n";
  const std::string tail = "[perform]\r\nn0=/join #catala\r\n";
  Ini(head + "exe=old.exe\r\n" + tail);
  Load();
  StoreClientPath("exe", "c:\\quop\\quop32.exe");
  EXPECT_EQ(testenv::ReadFile("C:\\QUOP\\quop.ini"), head + "exe=quop32.exe\r\n" + tail);

  CopyText(g_settings.clientIni, sizeof g_settings.clientIni, "c:\\quop\\quop.ini");
  CopyText(g_settings.ddeService, sizeof g_settings.ddeService, "Quop");
  SaveHelperSettings();
  const std::string text = testenv::ReadFile("C:\\QUOP\\quop.ini");
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(Stored("ini"), "quop.ini");
  EXPECT_EQ(Stored("dde"), "Quop");
}

}  // namespace
