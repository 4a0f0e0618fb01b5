#include "chat_address.h"

#include "text_core.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The part [from, to) with its "%XX" escapes decoded into `field`, cut to
// its `size` (and at a decoded zero byte). A "%" that two hex digits do not
// follow stands as it is: browsers of the 1990s hand over addresses whose
// escapes they have decoded already.
void Decode(const char* from, const char* to, char* field, size_t size) {
  size_t used = 0;
  for (const char* p = from; p < to; ++p) {
    char c = *p;
    const int high = c == '%' && p + 2 < to ? HexValue(p[1]) : -1;
    const int low = high >= 0 ? HexValue(p[2]) : -1;
    if (low >= 0) {
      c = static_cast<char>(high * 16 + low);
      p += 2;
    }
    if (used + 1 < size) field[used++] = c;
  }
  field[used] = '\0';
}

// True when the part [from, to) is `word`, A to Z compared without case.
bool PartIs(const char* from, const char* to, const char* word) {
  return static_cast<size_t>(to - from) == TextLength(word) && BeginsWithAsciiNoCase(from, word);
}

// The end of the part that begins at `p`: the first of `stops`, or `end`.
const char* PartEnd(const char* p, const char* end, const char* stops) {
  while (p < end && !FindChar(stops, *p)) ++p;
  return p;
}

}  // namespace

ChatAddress ReadChatAddress(const char* tail, LinkRequest& request) {
  const bool quoted = tail[0] == '"';
  const char* p = quoted ? tail + 1 : tail;
  if (BeginsWithAsciiNoCase(p, "ircs:") || BeginsWithAsciiNoCase(p, "irc6:")) return ChatAddress::kRefused;
  if (!BeginsWithAsciiNoCase(p, "irc:")) return ChatAddress::kNone;
  const char* end = p + TextLength(p);
  if (quoted && (end[-1] != '"' || --end == p)) return ChatAddress::kRefused;
  p += 4;
  if (end - p < 2 || p[0] != '/' || p[1] != '/') return ChatAddress::kRefused;
  p += 2;

  ClearRequest(request);
  const char* part = PartEnd(p, end, ":/?");
  Decode(p, part, request.server, sizeof request.server);
  p = part;
  if (p < end && *p == ':') {
    part = PartEnd(++p, end, "/?");
    if (part == p) return ChatAddress::kRefused;
    for (const char* digit = p; digit < part; ++digit) {
      if (*digit < '0' || *digit > '9') return ChatAddress::kRefused;
    }
    Decode(p, part, request.port, sizeof request.port);
    p = part;
  }
  bool channel = true;
  if (p < end && *p == '/') {
    part = PartEnd(++p, end, ",?");
    Decode(p, part, request.channel, sizeof request.channel);
    for (p = part; p < end && *p == ','; p = part) {
      part = PartEnd(++p, end, ",?");
      // A person ("isuser" in the draft, "isnick" before it) or a server,
      // not a channel.
      if (PartIs(p, part, "isuser") || PartIs(p, part, "isnick") || PartIs(p, part, "isserver")) channel = false;
    }
  }
  if (p < end && *p == '?') {
    for (++p; p < end; p = part + (part < end)) {
      part = PartEnd(p, end, "&");
      if (part - p >= 4 && BeginsWithAsciiNoCase(p, "key=")) {  // the first key only
        Decode(p + 4, part, request.password, sizeof request.password);
        break;
      }
    }
  }
  if (!channel) request.channel[0] = '\0';
  if (!request.server[0] && !request.channel[0]) return ChatAddress::kRefused;
  CopyText(request.confirm, sizeof request.confirm, "1");  // a web page may link it unasked
  return ChatAddress::kRead;
}
