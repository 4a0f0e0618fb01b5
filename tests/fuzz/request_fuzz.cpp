// Fuzz target: a chat request file (untrusted: it comes from a web page)
// read line by line through the helper's text reader, normalised, tested and turned into the connect texts
// and the client's command line. Any crash, sanitizer report or broken
// invariant is a failure.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../native/crt_split.h"
#include "chat_address.h"
#include "link_texts.h"
#include "text_core.h"
#include "text_read.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The file's bytes, handed to the helper's text reader in small and
// uneven pieces, as a slow disk or network would.
struct Bytes {
  const uint8_t* data;
  size_t size, next;
};

size_t ReadSome(void* source, unsigned char* into, size_t capacity) {
  auto& bytes = *static_cast<Bytes*>(source);
  size_t count = bytes.size - bytes.next;
  if (count > capacity) count = capacity;
  if (count > 1 + bytes.next % 7) count = 1 + bytes.next % 7;
  std::memcpy(into, bytes.data + bytes.next, count);
  bytes.next += count;
  return count;
}

// A value that the client gets as one field: no blank, comma or control
// character, and no quote but in a password (a channel key may hold one,
// which the command line cuts).
bool OneField(const char* value, bool password) {
  for (const char* p = value; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c <= 0x20 || c == 0x7F || c == ',' || (!password && c == '"')) return false;
  }
  return true;
}

// What the IRC allows of a server (a host name) and a port (1 to 65535).
bool HostName(const char* text) {
  for (const char* p = text; *p; ++p) {
    if (!std::isalnum(static_cast<unsigned char>(*p)) && *p != '_' && (p == text || (*p != '-' && *p != '.'))) {
      return false;
    }
  }
  return true;
}
bool Port(const char* text) {
  if (!*text || std::strlen(text) > 5 || std::strspn(text, "0123456789") != std::strlen(text)) return false;
  const long value = std::strtol(text, nullptr, 10);
  return value >= 1 && value <= 65535;
}

// A normalised request, whatever it came from, and what the client gets of it.
void CheckRequest(const LinkRequest& request) {
  Check(request.port[0] != '\0');
  Check(!request.channel[0] || request.channel[0] == '#');
  Check(OneField(request.server, false) && OneField(request.port, false) && OneField(request.channel, false));
  Check(OneField(request.password, true));
  Check(HostName(request.server) && Port(request.port));

  char text[kWorkTextSize];
  ConnectText(text, sizeof text, request);
  NewServerText(text, sizeof text, request);
  JoinText(text, sizeof text, request);

  // Whatever the request holds, the client gets exactly the intended arguments.
  char line[kCommandLineSize];
  BuildClientCommandLine(line, "c:\\program files\\quop\\quop32.exe", "c:\\quop\\quop.ini", request);
  const auto args = SplitLikeCRuntime(line);
  char password[kPasswordSize];
  CopyText(password, sizeof password, request.password);
  CutAtArgumentEnd(password);
  const size_t expected = 2 + (request.server[0] ? 1 : 0) + (request.channel[0] ? 1 : 0) + (password[0] ? 1 : 0);
  Check(args.size() == expected);
  Check(args[0] == "c:\\program files\\quop\\quop32.exe");
  Check(args[1] == "-ic:\\quop\\quop.ini");
  size_t next = 2;
  if (request.server[0]) Check(args[next++] == std::string("-s") + request.server + ":" + request.port);
  if (request.channel[0]) Check(args[next++] == std::string("-j") + request.channel);
  if (password[0]) Check(args[next++] == std::string("-p") + password);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  LinkRequest request;
  ClearRequest(request);
  // Line by line through the helper's own reader, zero bytes and all, into
  // the working text's 300 bytes (a canary after them).
  Bytes bytes = {data, size, 0};
  TextReader reader;
  StartTextReader(reader, ReadSome, &bytes);
  char text[kWorkTextSize + 1];
  text[kWorkTextSize] = '\x5A';
  while (ReadTextLine(reader, text, kWorkTextSize)) {
    Check(text[kWorkTextSize] == '\x5A');
    Check(std::memchr(text, '\0', kWorkTextSize) != nullptr);
    ReadRequestLine(text, request);
  }
  if (NormaliseRequest(request)) CheckRequest(request);
  IsSupportedVersion(input.c_str());

  // The same bytes as the command tail: an address (the corpus has some)
  // reaches the client only through the same cuts.
  LinkRequest address;
  ClearRequest(address);
  const ChatAddress kind = ReadChatAddress(input.c_str(), address);
  if (kind == ChatAddress::kRead) {
    Check(address.server[0] || address.channel[0]);
    if (NormaliseRequest(address)) CheckRequest(address);
  }
  return 0;
}
