#include <gtest/gtest.h>

#include <string>

#include "chat_address.h"

namespace {

struct Read {
  ChatAddress kind;
  LinkRequest request;
};

// The address read and normalised, as the helper hands it on.
Read ReadAddress(const char* tail) {
  Read read{ChatAddress::kNone, {}};
  ClearRequest(read.request);
  read.kind = ReadChatAddress(tail, read.request);
  if (read.kind == ChatAddress::kRead && !NormaliseRequest(read.request)) read.kind = ChatAddress::kRefused;
  return read;
}

}  // namespace

TEST(ChatAddress, ReadsEachPartAsARequestFileWouldGiveIt) {
  const struct {
    const char* tail;
    const char *server, *port, *channel, *password;
  } cases[] = {
      {"irc://irc.example.cat:6668/catala?key=clau", "irc.example.cat", "6668", "#catala", "clau"},
      {"IRC://irc.example.cat/catala", "irc.example.cat", "6667", "#catala", ""},
      {"\"irc://irc.example.cat/%23catala\"", "irc.example.cat", "6667", "#catala", ""},
      {"irc://irc.example.cat/#catala", "irc.example.cat", "6667", "#catala", ""},
      {"irc://irc.example.cat", "irc.example.cat", "6667", "", ""},
      {"irc://irc.example.cat/?key=clau", "irc.example.cat", "6667", "", "clau"},
      {"irc:///catala", "", "6667", "#catala", ""},  // no server, as a file naming only a channel
      {"irc://irc.example.cat/anna,isnick", "irc.example.cat", "6667", "", ""},
      {"irc://irc.example.net/pickle,isuser", "irc.example.net", "6667", "", ""},   // the draft's flag for a person
      {"irc://example.com/#", "example.com", "6667", "", ""},                       // "#" alone names no channel
      {"irc://irc.example.cat./catala", "irc.example.cat", "6667", "#catala", ""},  // the root's dot dropped
      // A "%" without two hex digits after it stands (escapes decoded already).
      {"irc://h/c%2", "h", "6667", "#c%2", ""},
      {"irc://h/c%zz?key=%G0", "h", "6667", "#c%zz", "%G0"},
      {"irc://irc.example.cat/xarxa,ISSERVER", "irc.example.cat", "6667", "", ""},
      {"irc://irc.example.cat/catala,needpass,isnickname?key=a%20b&key=x", "irc.example.cat", "6667", "#catala", "a"},
      {"irc://h/c?foo=1&Key=k&x", "h", "6667", "#c", "k"},
      // What the escapes give goes through the cuts of a request file.
      {"irc://irc.example.cat%20-j%230/catala", "irc.example.cat", "6667", "#catala", ""},
      {"irc://h/c%2C0?key=k%2C1", "h", "6667", "#c", "k"},
      {"irc://h/c%0D%0A-sx?key=k%0Dy", "h", "6667", "#c", "k"},
      {"irc://h/c%22%20-sx", "h", "6667", "#c", ""},
      {"irc://h/c%00x", "h", "6667", "#c", ""},
      {"irc://h/c?key=k%22%20-ic:\\evil.ini%20%23other", "h", "6667", "#c", "k\""},  // a key ends at a blank
      {"irc://h/c?key=x%7C%2Fquit", "h", "6667", "#c", "x|/quit"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail);
    const Read read = ReadAddress(c.tail);
    ASSERT_EQ(read.kind, ChatAddress::kRead);
    EXPECT_STREQ(read.request.server, c.server);
    EXPECT_STREQ(read.request.port, c.port);
    EXPECT_STREQ(read.request.channel, c.channel);
    EXPECT_STREQ(read.request.password, c.password);
    EXPECT_TRUE(WantsConfirmation(read.request));  // a web page may link it unasked
  }
}

TEST(ChatAddress, AHostLongerThanTheFieldIsCutToIt) {
  const std::string tail = "irc://" + std::string(300, 'h') + "/c";
  const Read read = ReadAddress(tail.c_str());
  ASSERT_EQ(read.kind, ChatAddress::kRead);
  EXPECT_EQ(std::string(read.request.server), std::string(kServerSize - 1, 'h'));
}

TEST(ChatAddress, RefusesMalformedAndSecureAddressesAndLeavesFilesAlone) {
  const struct {
    const char* tail;
    ChatAddress kind;
  } cases[] = {
      {"irc:", ChatAddress::kRefused},
      {"irc://", ChatAddress::kRefused},  // nothing at all
      {"irc://?key=k", ChatAddress::kRefused},
      {"irc://h/nick,isnick", ChatAddress::kRead},    // a server to connect to
      {"irc:///nick,isnick", ChatAddress::kRefused},  // neither server nor channel
      {"irc:/h/c", ChatAddress::kRefused},
      {"irc:h", ChatAddress::kRefused},
      {"irc://h:66a7/c", ChatAddress::kRefused},
      {"irc://h:123456789012/c", ChatAddress::kRefused},  // no port
      {"irc://h:65536/c", ChatAddress::kRefused},
      {"irc://%5C%5Cevil%5Cshare/c", ChatAddress::kRefused},  // no host name
      {"irc://irc.example.cat%2Fx/c", ChatAddress::kRefused},
      {"irc://h:/c", ChatAddress::kRefused},
      {"irc://h:-1/c", ChatAddress::kRefused},
      {"irc://h%4/c", ChatAddress::kRefused},     // no host name
      {"\"irc://h/c", ChatAddress::kRefused},     // an unclosed quote
      {"\"irc://h/c\"x", ChatAddress::kRefused},  // something after it
      {"\"irc:\"", ChatAddress::kRefused},
      {"ircs://h/c", ChatAddress::kRefused},
      {"IRC6://h/c", ChatAddress::kRefused},
      {"\"ircs://h/c\"", ChatAddress::kRefused},
      {"c:\\req.txt", ChatAddress::kNone},
      {"\"c:\\req.txt\"", ChatAddress::kNone},
      {"irc.txt", ChatAddress::kNone},
      {"ircx://h/c", ChatAddress::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail);
    EXPECT_EQ(ReadAddress(c.tail).kind, c.kind);
  }
}
