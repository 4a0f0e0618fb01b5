#include <gtest/gtest.h>

#include "client_check.h"

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

TEST(InstallPairs, ReplaceTheThreeClientFilesInOrder) {
  ASSERT_EQ(sizeof kInstallPairs / sizeof kInstallPairs[0], 3u);
  EXPECT_STREQ(kInstallPairs[0].target, "quop32.exe");
  EXPECT_STREQ(kInstallPairs[1].source, "popups.ca");
  EXPECT_STREQ(kInstallPairs[2].target, "urlhop32.exe");
}
