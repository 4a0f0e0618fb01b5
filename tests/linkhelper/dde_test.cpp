// The DDE conversation, against the stand-in client in its own process.
#include <gtest/gtest.h>

#include <cstring>

#include "dde_client.h"
// After windows.h, which it needs.
#include <psapi.h>
#include "standin_run.h"

namespace {

class DdeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitDde();
    StartDdeWork();
  }
  void TearDown() override { ShutDownDde(); }

  static bool Request(const char* service, const char* topic, char (&buffer)[kPathSize]) {
    return DdeTransact(service, topic, topic, buffer, DdeKind::kRequest, kDdeTimeoutMs);
  }
  static bool Poke(const char* service, const char* text) {
    char buffer[kPathSize];
    CopyText(buffer, sizeof buffer, text);
    return DdeTransact(service, "CONNECT", "CONNECT", buffer, DdeKind::kPoke, kDdeTimeoutMs);
  }
};

TEST_F(DdeTest, WithoutAClientEveryTransactionFailsAtOnceAndLeavesTheBuffer) {
  char buffer[kPathSize] = "as it was";
  const DWORD start = GetTickCount();
  EXPECT_FALSE(Request("Quop", "VERSION", buffer));
  EXPECT_STREQ(buffer, "as it was");
  EXPECT_FALSE(Poke("Quop", "irc.example.cat,6667,#catala,1"));
  EXPECT_LT(GetTickCount() - start, 1500u);
}

TEST_F(DdeTest, RequestsEachTopicAndPokesTheConnectText) {
  SetStandInConfig({"VERSION=5.61", "EXENAME=c:\\quop\\quop32.exe", "INIFILE=c:\\quop\\quop.ini",
                    "CONNECTED=irc.example.cat", "SERVERPORT=irc.example.cat:6667"});
  StandInClient client;
  ASSERT_TRUE(client.ready);
  const char* expected[][2] = {{"VERSION", "5.61"},
                               {"EXENAME", "c:\\quop\\quop32.exe"},
                               {"INIFILE", "c:\\quop\\quop.ini"},
                               {"CONNECTED", "irc.example.cat"},
                               {"SERVERPORT", "irc.example.cat:6667"}};
  for (const auto& topic : expected) {
    char buffer[kPathSize] = "";
    EXPECT_TRUE(Request("Quop", topic[0], buffer)) << topic[0];
    EXPECT_STREQ(buffer, topic[1]);
  }
  EXPECT_TRUE(Poke("Quop", "irc.example.cat,6667,#catala clau,1"));
  ASSERT_TRUE(WaitForStandInLines("poke", 1));
  EXPECT_EQ(StandInLog("poke")[0], (std::vector<std::string>{"CONNECT", "irc.example.cat,6667,#catala clau,1"}));
}

TEST_F(DdeTest, AnEmptyReplySucceedsWithAnEmptyBuffer) {
  SetStandInConfig({"CONNECTED="});
  StandInClient client;
  ASSERT_TRUE(client.ready);
  char buffer[kPathSize] = "as it was";
  EXPECT_TRUE(Request("Quop", "CONNECTED", buffer));
  EXPECT_STREQ(buffer, "");
}

TEST_F(DdeTest, ARefusedRequestFailsWithAnEmptyBuffer) {
  SetStandInConfig({"refuse=SERVERPORT"});
  StandInClient client;
  ASSERT_TRUE(client.ready);
  char buffer[kPathSize] = "as it was";
  EXPECT_FALSE(Request("Quop", "SERVERPORT", buffer));
  EXPECT_STREQ(buffer, "");
}

TEST_F(DdeTest, ARejectedPokeStillSucceeds) {
  SetStandInConfig({"rejectpokes=1"});
  StandInClient client;
  ASSERT_TRUE(client.ready);
  EXPECT_TRUE(Poke("Quop", "#catala,1"));
  ASSERT_TRUE(WaitForStandInLines("poke", 1));
}

TEST_F(DdeTest, AReplyLaterThanTwoSecondsFailsAfterTwoSeconds) {
  SetStandInConfig({"delay=VERSION:3500"});
  StandInClient client;
  ASSERT_TRUE(client.ready);
  char buffer[kPathSize] = "as it was";
  const DWORD start = GetTickCount();
  EXPECT_FALSE(Request("Quop", "VERSION", buffer));
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_STREQ(buffer, "");
  EXPECT_GE(elapsed, 1900u);
  EXPECT_LT(elapsed, 3400u);
}

TEST_F(DdeTest, TheServiceNameChoosesTheClient) {
  SetStandInConfig({"service=XatCat", "VERSION=4.52"});
  StandInClient client;
  ASSERT_TRUE(client.ready);
  char buffer[kPathSize] = "";
  EXPECT_TRUE(Request("XatCat", "VERSION", buffer));
  EXPECT_STREQ(buffer, "4.52");
  CopyText(buffer, sizeof buffer, "as it was");
  EXPECT_FALSE(Request("Quop", "VERSION", buffer));
  EXPECT_STREQ(buffer, "as it was");
}

TEST_F(DdeTest, AReplyLongerThanTheBufferIsCut) {
  const std::string longReply(400, 'v');
  SetStandInConfig({"VERSION=" + longReply});
  StandInClient client;
  ASSERT_TRUE(client.ready);
  char buffer[kPathSize] = "";
  EXPECT_TRUE(Request("Quop", "VERSION", buffer));
  EXPECT_EQ(std::string(buffer), longReply.substr(0, kPathSize - 1));
}

// A buffer whose last byte is the last readable byte of memory: whatever a
// transaction reads beyond it faults.
class BufferAtPageEnd {
 public:
  BufferAtPageEnd() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    page_ = system.dwPageSize;
    pages_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(pages_ + page_, page_, PAGE_NOACCESS, &old);
  }
  ~BufferAtPageEnd() { VirtualFree(pages_, 0, MEM_RELEASE); }
  char* Fill(const std::string& text) {
    char* buffer = pages_ + page_ - kPathSize;
    CopyText(buffer, kPathSize, text.c_str());
    return buffer;
  }

 private:
  DWORD page_ = 0;
  char* pages_ = nullptr;
};

TEST_F(DdeTest, AFullBufferIsSentAsItsTextATerminatorAndFourZeroBytes) {
  StandInClient client;
  ASSERT_TRUE(client.ready);
  BufferAtPageEnd memory;
  const std::string text(kPathSize - 1, 'x');
  EXPECT_TRUE(DdeTransact("Quop", "CONNECT", "CONNECT", memory.Fill(text), DdeKind::kPoke, kDdeTimeoutMs));
  ASSERT_TRUE(WaitForStandInLines("poke", 1));
  EXPECT_EQ(StandInLog("poke")[0], (std::vector<std::string>{"CONNECT", text}));
  EXPECT_EQ(StandInLog("pokedata")[0], (std::vector<std::string>{std::to_string(text.size() + 5), "0000000000"}));
  // A request makes the same outgoing data first.
  char* buffer = memory.Fill(text);
  EXPECT_TRUE(DdeTransact("Quop", "VERSION", "VERSION", buffer, DdeKind::kRequest, kDdeTimeoutMs));
  EXPECT_STREQ(buffer, "5.61");
}

TEST_F(DdeTest, AThousandTransactionsLeaveNoGrowth) {
  StandInClient client;
  ASSERT_TRUE(client.ready);
  auto usage = [] {
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return std::make_pair(handles, counters.PagefileUsage);
  };
  char buffer[kPathSize];
  for (int i = 0; i < 50; ++i) Request("Quop", "VERSION", buffer);  // warm up
  const auto before = usage();
  for (int i = 0; i < 1000; ++i) {
    // A failure after about 2000 ms is a client that did not answer in time;
    // one at once is a conversation that could not be opened.
    const DWORD start = GetTickCount();
    StartDdeWork();  // each the work of a link flow of its own
    ASSERT_TRUE(i % 2 ? Request("Quop", "CONNECTED", buffer) : Poke("Quop", "#catala,1"))
        << "transaction " << i << " failed after " << GetTickCount() - start << " ms";
  }
  const auto after = usage();
  EXPECT_LE(after.first, before.first + 2) << "handles";
  EXPECT_LE(after.second, before.second + 256 * 1024) << "memory";
}

}  // namespace
