#include "request.h"

#include "text_core.h"

void ClearRequest(LinkRequest& request) {
  request.server[0] = request.port[0] = request.channel[0] = request.password[0] = request.confirm[0] = '\0';
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

void ReadRequestLine(const char* line, LinkRequest& request) {
  const char* p = line;
  while (IsBlank(*p)) ++p;
  if (!*p) return;
  const char* keyStart = p;
  while (*p && !IsBlank(*p)) ++p;  // a line feed does not end a key
  if (!*p) return;                 // a key alone
  char key[kWorkTextSize];
  const size_t keyLength = static_cast<size_t>(p - keyStart);
  CopyText(key, keyLength + 1 < sizeof key ? keyLength + 1 : sizeof key, keyStart);
  ++p;
  while (IsBlank(*p)) ++p;
  if (!*p) return;
  char value[kWorkTextSize];
  CopyText(value, sizeof value, p);
  for (char* end = value; *end; ++end) {
    if (*end == '\n') {
      *end = '\0';
      break;
    }
  }
  const struct {
    const char* key;
    char* field;
    size_t size;
  } fields[] = {
      {"server", request.server, sizeof request.server},    {"port", request.port, sizeof request.port},
      {"channel", request.channel, sizeof request.channel}, {"password", request.password, sizeof request.password},
      {"confirm", request.confirm, sizeof request.confirm},
  };
  for (const auto& field : fields) {
    if (EqualsAsciiNoCase(key, field.key)) CopyText(field.field, field.size, value);
  }
}

bool EndsArgument(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u <= 0x20 || u == 0x7F || c == '"';
}

void CutAtArgumentEnd(char* text) {
  for (; *text; ++text) {
    if (EndsArgument(*text)) {
      *text = '\0';
      return;
    }
  }
}

void CutAtControl(char* text) {
  for (; *text; ++text) {
    const unsigned char u = static_cast<unsigned char>(*text);
    if (u < 0x20 || u == 0x7F) {
      *text = '\0';
      return;
    }
  }
}

namespace {

// Commas separate the fields of the orders poked to the client, and the
// channels and keys of a join: "#a,0" would join "0", which many servers
// take as leaving every channel.
void CutAtComma(char* text) {
  if (char* comma = FindChar(text, ',')) *comma = '\0';
}

// A host name's characters, the first of them not "-" or ".".
bool IsHostName(const char* text) {
  for (const char* p = text; *p; ++p) {
    const char c = *p;
    const bool nameCharacter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!nameCharacter && (p == text || (c != '-' && c != '.'))) return false;
  }
  return true;
}

// A port: at most five decimal digits (a longer one may be what is left of a
// cut value), a number from 1 to 65535.
bool IsPort(const char* text) {
  unsigned long value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9' || p - text >= 5) return false;
    value = value * 10 + static_cast<unsigned long>(*p - '0');
  }
  return value > 0 && value <= 65535;
}

}  // namespace

bool NormaliseRequest(LinkRequest& request) {
  for (char* field : {request.server, request.port, request.channel, request.password}) CutAtComma(field);
  // A carriage return kept by the text-mode reading would otherwise end the
  // order poked to the client and start another one; a channel key holds no
  // blank (a blank would end it in the client's JOIN, and start what follows).
  CutAtControl(request.password);
  if (char* blank = FindChar(request.password, ' ')) *blank = '\0';
  CutAtArgumentEnd(request.server);
  CutAtArgumentEnd(request.channel);
  // Cut before the default, so that a port that the cut empties (one that
  // began with a quote or a control character) still gets it.
  CutAtArgumentEnd(request.port);
  if (!request.port[0]) CopyText(request.port, sizeof request.port, "6667");
  if (request.channel[0] && request.channel[0] != '#') {
    char prefixed[kChannelSize];
    FormatText(prefixed, sizeof prefixed, "#%s", {request.channel});
    CopyText(request.channel, sizeof request.channel, prefixed);
  }
  if (request.channel[0] == '#' && !request.channel[1]) request.channel[0] = '\0';  // "#" names no channel
  DropRootDot(request.server);
  return IsHostName(request.server) && IsPort(request.port);
}

void DropRootDot(char* server) {
  const size_t length = TextLength(server);
  if (length && server[length - 1] == '.') server[length - 1] = '\0';
}

bool SameServer(const char* requested, const char* current) {
  char a[kServerSize], b[kServerSize];
  if (!CopyText(a, sizeof a, requested) || !CopyText(b, sizeof b, current)) return false;
  DropRootDot(a);
  DropRootDot(b);
  return EqualsAsciiNoCase(a, b);
}

bool WantsConfirmation(const LinkRequest& request) { return request.confirm[0] == '1'; }
