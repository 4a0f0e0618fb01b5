// One chat request and the rules that read and normalise it. Pure text
// code over fixed-size buffers, no Windows header.
#pragma once

#include <cstddef>

constexpr size_t kServerSize = 200;
constexpr size_t kPortSize = 10;
constexpr size_t kChannelSize = 200;
constexpr size_t kPasswordSize = 100;
constexpr size_t kConfirmSize = 10;
constexpr size_t kWorkTextSize = 300;

// Empty texts mean absent. After normalisation `port` is never empty and
// `channel` is empty or begins with "#".
struct LinkRequest {
  char server[kServerSize];
  char port[kPortSize];
  char channel[kChannelSize];
  char password[kPasswordSize];
  char confirm[kConfirmSize];
};

void ClearRequest(LinkRequest& request);

// One line of the plain-text form: a key, blanks, a value (the rest of the
// line up to its line feed, inner and trailing blanks kept). A known key
// ("server", "port", "channel", "password", "confirm", in any case) fills
// its field, cut to the field's size; anything else changes nothing.
void ReadRequestLine(const char* line, LinkRequest& request);

// True for the characters at which a value that goes on the client's command
// line ends: blanks, other control characters and the double quote, each of
// which could start another argument.
bool EndsArgument(char c);
// Cuts a text at its first such character.
void CutAtArgumentEnd(char* text);

// Cuts a text at its first control character (below 0x20, and 0x7F); blanks
// stay.
void CutAtControl(char* text);

// Server, channel and port cut where an argument would end, port 6667 when
// none is given, "#" before a channel that lacks it (cut to fit; "#" alone
// names none), the server's trailing dot dropped (it names the same host), the
// password (a channel key) cut at its first blank or control character, and
// all four cut at their first comma, so that no value can carry a second
// order to the client. False when what is left is no request that the IRC
// allows: a server that is no host name (letters, digits, "-", "." and "_",
// beginning with a letter, a digit or "_"; a dotted IPv4 address is one), or
// a port that is not a number from 1 to 65535 in at most five digits.
bool NormaliseRequest(LinkRequest& request);

// Drops the one dot that may end a host name ("irc.example.net." is the
// fully written "irc.example.net").
void DropRootDot(char* server);
// Whether two host names name the same server: A to Z compared without case,
// a trailing dot on either side dropped. False when one would not fit a
// server field.
bool SameServer(const char* requested, const char* current);

// Whether the request asks to be confirmed first: its first character is "1".
bool WantsConfirmation(const LinkRequest& request);
