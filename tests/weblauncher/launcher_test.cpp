// The web launcher, started for real under Wine: what it hands to the shell,
// its exit code, and that it shows nothing.
#include <gtest/gtest.h>

#include "site_address.h"
#include "test_env.h"
#include "uidriver.h"

namespace {

const std::string kLauncher = testenv::BuildPath("weblauncher\\verbalia.exe");

// Runs the launcher to its end and notes whether it ever showed a window.
// The object keeps the launcher's process tree (with the handler that the
// shell started) until the test is done with it.
struct LauncherRun {
  explicit LauncherRun(const std::string& args = "") : process(kLauncher, args) {
    EXPECT_TRUE(process.started());
    const ui::AssertionResult ended = ui::WaitUntil(
        [&] {
          if (!ui::TopWindows(process.id()).empty()) showedWindow = true;
          return !process.Running();
        },
        [&] { return "the launcher still runs, showing " + ui::DescribeWindows(process.id()); });
    EXPECT_TRUE(ended);
    if (ended) exitCode = static_cast<int>(process.ExitCode());
  }
  ui::Process process;
  int exitCode = -1;
  bool showedWindow = false;
};

TEST(WebLauncher, OpensTheSiteOncePerStart) {
  testenv::UrlLog log;
  LauncherRun first;
  EXPECT_EQ(first.exitCode, 1);
  ASSERT_TRUE(log.WaitForCount(1));
  LauncherRun second;
  EXPECT_EQ(second.exitCode, 1);
  ASSERT_TRUE(log.WaitForCount(2));
  EXPECT_FALSE(first.showedWindow || second.showedWindow);

  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].url, kSiteAddress);
  EXPECT_EQ(entries[1].url, kSiteAddress);
  EXPECT_LT(entries[0].micros, entries[1].micros);
}

TEST(WebLauncher, IgnoresItsArguments) {
  testenv::UrlLog log;
  LauncherRun run("http://elsewhere.example/ -x \"two words\"");
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_TRUE(log.WaitForCount(1));
  EXPECT_EQ(log.Urls(), std::vector<std::string>{kSiteAddress});
}

TEST(WebLauncher, WithoutAnHttpHandlerExitsZeroSilently) {
  testenv::UrlLog log;
  {
    testenv::RemovedUrlHandler noHandler("http");
    LauncherRun run;
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.showedWindow);
  }
  EXPECT_EQ(log.UrlsAtRest(), std::vector<std::string>{});
}

}  // namespace
