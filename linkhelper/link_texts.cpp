#include "link_texts.h"

#include <climits>

#include "text_core.h"

namespace {

// The standard text-to-integer reading: white space, a sign, digits (the
// value saturates instead of overflowing).
int ReadInteger(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  int value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    const int digit = *text - '0';
    value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
  }
  return negative ? -value : value;
}

// An order is made whole or not at all: a cut order could send the client
// somewhere else.
bool FormatOrder(char* text, size_t size, const char* format, std::initializer_list<const char*> arguments) {
  if (FormatText(text, size, format, arguments)) return true;
  text[0] = '\0';
  return false;
}

}  // namespace

bool IsSupportedVersion(const char* reply) {
  const char* dot = FindChar(reply, '.');
  if (!dot || dot == reply) return false;
  const int major = ReadInteger(dot - 1);
  if (major > 4) return true;
  if (major < 4) return false;
  if (!dot[1]) return false;
  return ReadInteger(dot + 1) > 5;
}

// The five formats of the connect texts: each shorter one is the end of a
// longer one, and the program holds each text once.
constexpr char kConnectWithKey[] = "%s,%s,%s %s,1";        // server, port, channel, password
constexpr char kConnect[] = "%s,%s,%s,1";                  // server, port, channel
constexpr const char* kServerOnly = kConnect + 3;          // "%s,%s,1": server, port
constexpr const char* kJoinWithKey = kConnectWithKey + 6;  // "%s %s,1": channel, password
constexpr const char* kJoin = kConnect + 6;                // "%s,1": channel

bool ConnectText(char* text, size_t size, const LinkRequest& r) {
  if (r.password[0]) return FormatOrder(text, size, kConnectWithKey, {r.server, r.port, r.channel, r.password});
  return FormatOrder(text, size, kConnect, {r.server, r.port, r.channel});
}

bool NewServerText(char* text, size_t size, const LinkRequest& r) {
  if (!r.channel[0]) return FormatOrder(text, size, kServerOnly, {r.server, r.port});
  return ConnectText(text, size, r);
}

bool JoinText(char* text, size_t size, const LinkRequest& r) {
  if (r.password[0]) return FormatOrder(text, size, kJoinWithKey, {r.channel, r.password});
  return FormatOrder(text, size, kJoin, {r.channel});
}

namespace {

bool HasBlank(const char* text) { return FindChar(text, ' ') || FindChar(text, '\t'); }

// Appends `path` as one argument: in quotes when it holds blanks, with the
// backslashes before the closing quote doubled so that they stay backslashes.
void AppendPath(char (&line)[kCommandLineSize], const char* path) {
  if (!HasBlank(path)) {
    AppendText(line, sizeof line, path);
    return;
  }
  AppendText(line, sizeof line, "\"");
  AppendText(line, sizeof line, path);
  size_t trailing = 0;
  for (size_t n = TextLength(path); n > 0 && path[n - 1] == '\\'; --n) ++trailing;
  for (; trailing > 0; --trailing) AppendText(line, sizeof line, "\\");
  AppendText(line, sizeof line, "\"");
}

}  // namespace

void BuildClientCommandLine(char (&line)[kCommandLineSize], const char* program, const char* ini,
                            const LinkRequest& request) {
  line[0] = '\0';
  AppendPath(line, program);
  if (ini[0]) {
    AppendText(line, sizeof line, " -i");
    AppendPath(line, ini);
  }
  if (request.server[0]) {
    AppendText(line, sizeof line, " -s");
    AppendText(line, sizeof line, request.server);
    if (request.port[0]) {
      AppendText(line, sizeof line, ":");
      AppendText(line, sizeof line, request.port);
    }
  }
  if (request.channel[0]) {
    AppendText(line, sizeof line, " -j");
    AppendText(line, sizeof line, request.channel);
  }
  if (request.password[0]) {
    char password[kPasswordSize];
    CopyText(password, sizeof password, request.password);
    CutAtArgumentEnd(password);
    if (password[0]) {
      AppendText(line, sizeof line, " -p");
      AppendText(line, sizeof line, password);
    }
  }
}
