// Fuzz target: a chat request file (untrusted: it comes from a web page)
// read line by line, normalised, tested and turned into the connect texts
// and the client's command line. Any crash, sanitizer report or broken
// invariant is a failure.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../native/crt_split.h"
#include "link_texts.h"
#include "text_core.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  LinkRequest request;
  ClearRequest(request);
  // Lines as the text-mode reader hands them over: at most 299 characters,
  // a line feed kept at the end.
  size_t pos = 0;
  while (pos < input.size()) {
    size_t end = input.find('\n', pos);
    end = end == std::string::npos ? input.size() : end + 1;
    if (end - pos > kWorkTextSize - 1) end = pos + kWorkTextSize - 1;
    const std::string line = input.substr(pos, end - pos);
    pos = end;
    if (line.find('\0') != std::string::npos) continue;  // the reader's lines hold no zero byte
    ReadRequestLine(line.c_str(), request);
  }
  NormaliseRequest(request);
  Check(request.port[0] != '\0');
  Check(!request.channel[0] || request.channel[0] == '#');
  for (const char* field : {request.server, request.port, request.channel, request.password}) {
    Check(!std::strchr(field, ','));  // commas separate the orders' fields
  }

  IsSupportedVersion(input.c_str());
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
  return 0;
}
