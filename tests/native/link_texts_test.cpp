#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crt_split.h"
#include "desktop_centre.h"
#include "link_texts.h"
#include "text_core.h"

namespace {

LinkRequest Request(const char* server, const char* port, const char* channel, const char* password = "") {
  LinkRequest r;
  ClearRequest(r);
  CopyText(r.server, sizeof r.server, server);
  CopyText(r.port, sizeof r.port, port);
  CopyText(r.channel, sizeof r.channel, channel);
  CopyText(r.password, sizeof r.password, password);
  return r;
}

LinkRequest ReadLines(const std::vector<std::string>& lines) {
  LinkRequest r;
  ClearRequest(r);
  for (const auto& line : lines) ReadRequestLine(line.c_str(), r);
  return r;
}

TEST(RequestLines, MatchKeysInAnyCaseAndKeepTheRestOfTheLine) {
  const LinkRequest r = ReadLines({"SERVER irc.example.cat\n", "\t Channel  chat room\n", "port 7000 extra\n",
                                   "password two words \n", "confirm 1\n", "nick ignored\n"});
  EXPECT_STREQ(r.server, "irc.example.cat");
  EXPECT_STREQ(r.channel, "chat room");
  EXPECT_STREQ(r.port, "7000 extr");  // cut to its field; normalising keeps "7000"
  EXPECT_STREQ(r.password, "two words ");
  EXPECT_STREQ(r.confirm, "1");
}

TEST(RequestLines, SkipKeysWithoutAValueAndLetLaterLinesWin) {
  EXPECT_STREQ(ReadLines({"server a\n", "server b\n"}).server, "b");
  EXPECT_STREQ(ReadLines({"server a\n", "server"}).server, "a");     // a key alone at the end
  EXPECT_STREQ(ReadLines({"server a\n", "server   "}).server, "a");  // blanks and no line end
  EXPECT_STREQ(ReadLines({"server a\n", "server \n"}).server, "");   // blanks, then the line end
  EXPECT_STREQ(ReadLines({"server\n"}).server, "");
  EXPECT_STREQ(ReadLines({"  \n", "\n", ""}).server, "");
  EXPECT_STREQ(ReadLines({"serverx a\n"}).server, "");  // whole words only
}

TEST(RequestLines, CutValuesToTheirFields) {
  const std::string longValue(297, 'x');
  const LinkRequest r = ReadLines({"server " + longValue, "port " + longValue, "password " + longValue,
                                   "confirm " + longValue, "channel " + longValue});
  EXPECT_EQ(std::string(r.server), std::string(199, 'x'));
  EXPECT_EQ(std::string(r.port), std::string(9, 'x'));
  EXPECT_EQ(std::string(r.password), std::string(99, 'x'));
  EXPECT_EQ(std::string(r.confirm), std::string(9, 'x'));
  EXPECT_EQ(std::string(r.channel), std::string(199, 'x'));
}

TEST(Normalise, CutsPrefixesAndDefaults) {
  LinkRequest r = Request("irc.example.cat more", "", "chat room");
  NormaliseRequest(r);
  EXPECT_STREQ(r.server, "irc.example.cat");
  EXPECT_STREQ(r.port, "6667");
  EXPECT_STREQ(r.channel, "#chat");

  r = Request("", "7000 extra", "#catala");
  NormaliseRequest(r);
  EXPECT_STREQ(r.port, "7000");
  EXPECT_STREQ(r.channel, "#catala");

  r = Request("", "", "&local");
  NormaliseRequest(r);
  EXPECT_STREQ(r.channel, "#&local");

  // Tabs, control characters and quotes end a value as a blank does.
  r = Request("host\t-ievil", "1\"2", "chan\x01x");
  NormaliseRequest(r);
  EXPECT_STREQ(r.server, "host");
  EXPECT_STREQ(r.port, "1");
  EXPECT_STREQ(r.channel, "#chan");

  // A port that the cut empties gets the default all the same.
  r = Request("host", "\"7000", "");
  NormaliseRequest(r);
  EXPECT_STREQ(r.port, "6667");

  // A channel of 199 characters keeps within its field once prefixed.
  const std::string longChannel(199, 'c');
  r = Request("", "", longChannel.c_str());
  NormaliseRequest(r);
  EXPECT_EQ(std::string(r.channel), "#" + std::string(198, 'c'));

  // "#" alone names no channel; the dot that ends a fully written host
  // name names no other host.
  r = Request("irc.example.net.", "", "#");
  NormaliseRequest(r);
  EXPECT_STREQ(r.server, "irc.example.net");
  EXPECT_STREQ(r.channel, "");
}

// The client's server and the request's are the same whatever the letter
// case of A to Z and a trailing dot on either side.
TEST(Normalise, SameServerIgnoresCaseAndTheRootsDot) {
  const struct {
    const char *requested, *current;
    bool same;
  } cases[] = {
      {"irc.example.net", "IRC.Example.net", true},    {"irc.example.net", "irc.example.net.", true},
      {"irc.example.net.", "irc.example.net", true},   {"irc.example.net", "irc.example.ne", false},
      {"irc.example.net", "irc.example.net..", false}, {"", ".", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameServer(c.requested, c.current), c.same) << c.requested << " / " << c.current;
  }
}

// A channel key ends at its first control character or blank (RFC 2812
// holds none in a key); quotes and "|" stay.
TEST(Normalise, CutsThePasswordAtItsFirstControlCharacterOrBlank) {
  const char* const cases[][2] = {
      {"clau\rPRIVMSG NickServ :identify", "clau"},  // a carriage return kept by the text-mode reading
      {"clau\nJOIN #x", "clau"},
      {"a\tb", "a"},
      {"a\x7F"
       "b",
       "a"},
      {"\x1F"
       "b",
       ""},
      {"two words", "two"},
      {"k\" -ic:\\evil.ini #other", "k\""},
      {"x|/quit", "x|/quit"},
      {"quo\"te", "quo\"te"},
      {"\xE7"
       "a",
       "\xE7"
       "a"},  // code page 1252 letters are not control characters
  };
  for (const auto& c : cases) {
    LinkRequest r = Request("host", "", "#c", c[0]);
    NormaliseRequest(r);
    EXPECT_STREQ(r.password, c[1]) << c[0];
    char text[kWorkTextSize];
    ASSERT_TRUE(JoinText(text, sizeof text, r));
    EXPECT_EQ(std::string(text), c[1][0] ? std::string("#c ") + c[1] + ",1" : "#c,1");
  }
}

// What the IRC allows, on both roads: a server that is a host name (a dotted
// IPv4 address is one), a port from 1 to 65535; anything else is refused.
TEST(Normalise, AcceptsOnlyHostNamesAndPortsThatTheIrcAllows) {
  const struct {
    const char *server, *port;
    bool allowed;
  } cases[] = {
      {"irc.example.cat", "6667", true},
      {"irc.example-2.cat", "", true},
      {"192.0.2.7", "7000", true},
      {"irc_1.example", "1", true},
      {"", "65535", true},                           // a channel alone
      {"irc.example.cat more", "7000 extra", true},  // cut at the blank, as a request file's are
      {"\\\\evil\\share", "", false},
      {"-ievil", "", false},
      {".example", "", false},
      {"h\xE7", "", false},
      {"h/x", "", false},
      {"irc.libera.chat:6697-x.example.net", "", false},
      {"h", "6667-ievil", false},
      {"h", "0", false},
      {"h", "65536", false},
      {"h", "123456789", false},
      {"h", "000020", false},  // what a cut may leave of a longer value
      {"h", "00020", true},
  };
  for (const auto& c : cases) {
    LinkRequest r = Request(c.server, c.port, "#c");
    EXPECT_EQ(NormaliseRequest(r), c.allowed) << c.server << " " << c.port;
  }
}

// Commas separate the orders' fields and a join's channels and keys: no
// value may bring one in.
TEST(Normalise, CutsServerPortChannelAndPasswordAtTheirFirstComma) {
  const struct {
    const char* in[4];  // server, port, channel, password
    const char* out[4];
    const char* connect;
  } cases[] = {
      {{"irc.example.net", "", "a,0", ""}, {"irc.example.net", "6667", "#a", ""}, "irc.example.net,6667,#a,1"},
      {{"", "", "#a,#b,#c", ""}, {"", "6667", "#a", ""}, ",6667,#a,1"},
      {{"h,6668,#x", "7000,1", "c", "key,0"}, {"h", "7000", "#c", "key"}, "h,7000,#c key,1"},
      {{",h", ",", ",c", ","}, {"", "6667", "", ""}, ",6667,,1"},
  };
  for (const auto& c : cases) {
    LinkRequest r = Request(c.in[0], c.in[1], c.in[2], c.in[3]);
    NormaliseRequest(r);
    EXPECT_EQ((std::vector<std::string>{r.server, r.port, r.channel, r.password}),
              (std::vector<std::string>{c.out[0], c.out[1], c.out[2], c.out[3]}))
        << c.in[0] << " " << c.in[1] << " " << c.in[2] << " " << c.in[3];
    char text[kWorkTextSize];
    ASSERT_TRUE(ConnectText(text, sizeof text, r));
    EXPECT_STREQ(text, c.connect);
  }
}

TEST(Confirmation, IsAskedForWhenTheFirstCharacterIsOne) {
  LinkRequest r = Request("", "", "");
  for (const char* yes : {"1", "10", "1 please"}) {
    CopyText(r.confirm, sizeof r.confirm, yes);
    EXPECT_TRUE(WantsConfirmation(r)) << yes;
  }
  for (const char* no : {"yes", "", "0", " 1"}) {
    CopyText(r.confirm, sizeof r.confirm, no);
    EXPECT_FALSE(WantsConfirmation(r)) << no;
  }
}

TEST(VersionTest, SupportsFrom4Point6On) {
  for (const char* supported : {"5.61", "4.52", "4.6", "9.0", "x5.1"}) {
    EXPECT_TRUE(IsSupportedVersion(supported)) << supported;
  }
  for (const char* old :
       {"4.5", "4.05", "4.", "3.99", "10.1", "561", ".5", "", "a.9", "4.x", "4.99999999999999999999x"}) {
    EXPECT_EQ(IsSupportedVersion(old), std::string(old) == "4.99999999999999999999x") << old;
  }
}

TEST(ConnectTexts, FollowTheirFormats) {
  char text[kWorkTextSize];
  EXPECT_TRUE(ConnectText(text, sizeof text, Request("host", "6667", "#c", "key")));
  EXPECT_STREQ(text, "host,6667,#c key,1");
  EXPECT_TRUE(ConnectText(text, sizeof text, Request("host", "6667", "")));
  EXPECT_STREQ(text, "host,6667,,1");
  EXPECT_TRUE(NewServerText(text, sizeof text, Request("host", "7000", "")));
  EXPECT_STREQ(text, "host,7000,1");
  EXPECT_TRUE(NewServerText(text, sizeof text, Request("host", "7000", "#c")));
  EXPECT_STREQ(text, "host,7000,#c,1");
  EXPECT_TRUE(JoinText(text, sizeof text, Request("", "6667", "#c", "two words")));
  EXPECT_STREQ(text, "#c two words,1");
  EXPECT_TRUE(JoinText(text, sizeof text, Request("", "6667", "")));
  EXPECT_STREQ(text, ",1");
}

TEST(ConnectTexts, AreNeverCut) {
  const std::string server(199, 's'), channel("#" + std::string(198, 'c'));
  char text[kWorkTextSize] = "x";
  EXPECT_FALSE(ConnectText(text, sizeof text, Request(server.c_str(), "6667", channel.c_str())));
  EXPECT_STREQ(text, "");
}

std::vector<std::string> Arguments(const char* program, const char* ini, const LinkRequest& r) {
  char line[kCommandLineSize];
  BuildClientCommandLine(line, program, ini, r);
  return SplitLikeCRuntime(line);
}

TEST(CommandLine, GivesTheSwitchesInOrder) {
  char line[kCommandLineSize];
  BuildClientCommandLine(line, "c:\\quop\\quop32.exe", "c:\\quop\\quop.ini",
                         Request("irc.example.cat", "6667", "#catala", "clau"));
  EXPECT_STREQ(line, "c:\\quop\\quop32.exe -ic:\\quop\\quop.ini -sirc.example.cat:6667 -j#catala -pclau");
  BuildClientCommandLine(line, "c:\\quop\\quop32.exe", "", Request("", "6667", "#catala"));
  EXPECT_STREQ(line, "c:\\quop\\quop32.exe -j#catala");
}

TEST(CommandLine, QuotesPathsWithBlanks) {
  EXPECT_EQ(Arguments("c:\\program files\\quop\\quop32.exe", "c:\\my files\\quop.ini", Request("host", "6667", "#c")),
            (std::vector<std::string>{"c:\\program files\\quop\\quop32.exe", "-ic:\\my files\\quop.ini", "-shost:6667",
                                      "-j#c"}));
  // A folder's trailing backslash does not swallow the closing quote.
  EXPECT_EQ(Arguments("c:\\quop\\quop32.exe", "c:\\my files\\", Request("", "6667", "#c")),
            (std::vector<std::string>{"c:\\quop\\quop32.exe", "-ic:\\my files\\", "-j#c"}));
}

TEST(CommandLine, NoRequestValueAddsAnArgument) {
  const char* attempts[] = {" -i\\\\host\\share\\x.ini",
                            "\t-i\\\\host\\share\\x.ini",
                            "\"-i\\\\host\\share\\x.ini",
                            "a\" -i\\\\host\\share\\x.ini \"",
                            "a\\\" -ix",
                            "a\r\n-ix"};
  for (const char* attempt : attempts) {
    SCOPED_TRACE(attempt);
    LinkRequest r = Request(("irc" + std::string(attempt)).c_str(), ("66" + std::string(attempt)).c_str(),
                            ("#c" + std::string(attempt)).c_str(), ("key" + std::string(attempt)).c_str());
    NormaliseRequest(r);
    const auto args = Arguments("c:\\quop\\quop32.exe", "", r);
    ASSERT_EQ(args.size(), 4u);  // the program, -s server:port, -j, -p
    EXPECT_EQ(args[1].substr(0, 5), "-sirc");
    EXPECT_EQ(args[2].substr(0, 4), "-j#c");
    EXPECT_EQ(args[3].substr(0, 5), "-pkey");
    for (const auto& arg : args) EXPECT_EQ(arg.find("-i"), std::string::npos) << arg;
  }
  // The longest pieces fit whole: the line is never cut.
  const std::string program(299, 'p'), ini = "c:\\a b\\" + std::string(292, '\\');
  LinkRequest r = Request(std::string(199, 's').c_str(), std::string(9, '9').c_str(),
                          ("#" + std::string(198, 'c')).c_str(), std::string(99, 'k').c_str());
  const auto args = Arguments(program.c_str(), ini.c_str(), r);
  ASSERT_EQ(args.size(), 5u);
  EXPECT_EQ(args[0], program);
  EXPECT_EQ(args[1], "-i" + ini);
  EXPECT_EQ(args[4], "-p" + std::string(99, 'k'));
}

TEST(Centring, KeepsAMarginAndStaysOnScreen) {
  Origin o = CentredOnDesktop(0, 0, 1280, 1024, 300, 200);
  EXPECT_EQ(o.x, 490);
  EXPECT_EQ(o.y, 412);
  o = CentredOnDesktop(0, 0, 1280, 1024, 1265, 1010);  // would come too near the edges: 10 pixels kept
  EXPECT_EQ(o.x, 1280 - 10 - 1265);
  EXPECT_EQ(o.y, 1024 - 10 - 1010);
  o = CentredOnDesktop(0, 0, 640, 480, 1000, 900);  // larger than the screen: pinned at 1, 1
  EXPECT_EQ(o.x, 1);
  EXPECT_EQ(o.y, 1);
  o = CentredOnDesktop(0, 0, 641, 481, 101, 51);  // halves round toward zero
  EXPECT_EQ(o.x, 320 - 50);
  EXPECT_EQ(o.y, 240 - 25);
}

}  // namespace
