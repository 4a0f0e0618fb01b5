#include <gtest/gtest.h>

#include "install_rules.h"

TEST(JudgeClient, ComparesNameAndVersionExactly) {
  EXPECT_EQ(JudgeClient("quop32.exe", "5.61"), ClientVerdict::kAccepted);
  EXPECT_EQ(JudgeClient("QUOP32.EXE", "5.61"), ClientVerdict::kNotTheClient);
  EXPECT_EQ(JudgeClient("quop32.exe ", "5.61"), ClientVerdict::kNotTheClient);
  EXPECT_EQ(JudgeClient("", "5.61"), ClientVerdict::kNotTheClient);
  EXPECT_EQ(JudgeClient("quop32", "5.61"), ClientVerdict::kNotTheClient);
  EXPECT_EQ(JudgeClient("quop32.exe", "5.61 "), ClientVerdict::kOtherVersion);
  EXPECT_EQ(JudgeClient("quop32.exe", "5.6.1"), ClientVerdict::kOtherVersion);
  EXPECT_EQ(JudgeClient("quop32.exe", ""), ClientVerdict::kOtherVersion);
}

TEST(StripFileName, KeepsTheFolderWithItsSeparator) {
  EXPECT_STREQ(StripFileName("C:\\Quop\\quop32.exe").c_str(), "C:\\Quop\\");
  EXPECT_STREQ(StripFileName("C:/Quop/quop32.exe").c_str(), "C:/Quop/");
  EXPECT_STREQ(StripFileName("C:\\Quop/sub\\x.exe").c_str(), "C:\\Quop/sub\\");
  EXPECT_STREQ(StripFileName("C:\\Quop\\").c_str(), "C:\\Quop\\");  // already a folder
  EXPECT_STREQ(StripFileName("quop32.exe").c_str(), "quop32.exe");  // no separator: unchanged
  EXPECT_STREQ(StripFileName("").c_str(), "");
  EXPECT_STREQ(StripFileName("\\").c_str(), "\\");
}

TEST(BackupFolders, AreNumberedFromTwoBesideTheFirst) {
  EXPECT_STREQ(NumberedBackupFolder("C:\\Quop\\", 2).c_str(), "C:\\Quop\\original.2\\");
  EXPECT_STREQ(NumberedBackupFolder("C:\\Quop\\", 10).c_str(), "C:\\Quop\\original.10\\");
  EXPECT_STREQ(NumberedBackupFolder("C:\\Quop\\", 999).c_str(), "C:\\Quop\\original.999\\");
}

// Without the Windows directory the launcher goes nowhere: never to
// "\verbalia.exe", the root of the current drive.
TEST(LauncherPath, NeedsTheWindowsDirectoryWhole) {
  const struct {
    const char* folder;
    size_t reported;
    const char* path;
  } cases[] = {
      {"C:\\WINDOWS", 10, "C:\\WINDOWS\\verbalia.exe"},
      {"C:\\", 3, "C:\\\\verbalia.exe"},  // a drive root: two separators, which the system takes as one
      {"", 0, ""},                        // the call failed
      {"", 300, ""},                      // the directory did not fit: the buffer holds nothing of it
      {"C:\\WINDOWS", 260, ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(LauncherPath(c.folder, c.reported, 260).c_str(), c.path) << c.reported;
}

TEST(InstallPairs, ReplaceTheThreeClientFilesInOrder) {
  ASSERT_EQ(sizeof kInstallPairs / sizeof kInstallPairs[0], 3u);
  EXPECT_STREQ(kInstallPairs[0].target, "quop32.exe");
  EXPECT_STREQ(kInstallPairs[1].source, "popups.ca");
  EXPECT_STREQ(kInstallPairs[2].target, "urlhop32.exe");
}

// Where Windows keeps the client's own copy of its menus: which user folder,
// which part of the client's folder; none for a client on no drive.
TEST(VirtualStorePath, IsLocalAppDataVirtualStoreAndTheFolderWithoutItsDrive) {
  const struct {
    const char* localAppData;
    const char* client;
    const char* path;
  } cases[] = {
      {"C:\\Users\\anna\\AppData\\Local", "C:\\Program Files\\Quop\\",
       "C:\\Users\\anna\\AppData\\Local\\VirtualStore\\Program Files\\Quop\\popups.ini"},
      {"C:\\Users\\anna\\AppData\\Local\\", "D:\\Quop\\",
       "C:\\Users\\anna\\AppData\\Local\\VirtualStore\\Quop\\popups.ini"},
      {"C:\\Users\\anna\\AppData\\Local", "c:/quop/", "C:\\Users\\anna\\AppData\\Local\\VirtualStore/quop/popups.ini"},
      {"C:\\Users\\anna\\AppData\\Local", "\\\\server\\share\\Quop\\", ""},  // a network folder
      {"C:\\Users\\anna\\AppData\\Local", "Quop\\", ""},                     // no drive
      {"", "C:\\Program Files\\Quop\\", ""},                                 // no Local AppData known
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(VirtualStorePath(c.localAppData, c.client, "popups.ini").c_str(), c.path) << c.client;
  }
}
