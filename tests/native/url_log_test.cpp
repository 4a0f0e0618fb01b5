#include <gtest/gtest.h>

#include "url_log.h"

TEST(UrlLog, ReadsBackWhatWasWrittenInOrder) {
  const std::string text =
      urllog::FormatLine(12, "explorer.exe", "http://a/") + urllog::FormatLine(34, "", "mailto:x@y?BODY=a b'c");
  const auto entries = urllog::Parse(text);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].micros, 12u);
  EXPECT_EQ(entries[0].parent, "explorer.exe");
  EXPECT_EQ(entries[0].url, "http://a/");
  EXPECT_EQ(entries[1].parent, "");
  EXPECT_EQ(entries[1].micros, 34u);
  EXPECT_EQ(entries[1].url, "mailto:x@y?BODY=a b'c");
}

TEST(UrlLog, KeepsTabsAndEmptyUrls) {
  const auto entries = urllog::Parse(urllog::FormatLine(1, "p.exe", "") + urllog::FormatLine(2, "p.exe", "a\tb"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].url, "");
  EXPECT_EQ(entries[1].url, "a\tb");
}

TEST(UrlLog, SkipsMalformedAndUnfinishedLines) {
  const auto entries =
      urllog::Parse("x1\tp\thttp://bad/\r\n\tp\thttp://bad/\r\nno tab\r\n4\tone tab\r\n5\tp\tok\r\n6\tp\tpartial");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].micros, 5u);
  EXPECT_EQ(entries[0].url, "ok");
}
