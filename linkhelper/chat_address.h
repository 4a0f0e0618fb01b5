// The chat addresses that web pages link today, as browsers hand them to
// the program named for the "irc" scheme: "irc://host:port/channel?key=...".
// Pure text code over fixed-size buffers, no Windows header.
#pragma once

#include "request.h"

enum class ChatAddress {
  kNone,     // no address: the command tail names a request file
  kRead,     // an irc:// address, read into the request
  kRefused,  // malformed, or of a scheme the client cannot follow (ircs:, irc6:)
};

// Reads a command tail that begins with "irc:" (any letter case), bare or
// inside one pair of double quotes:
//   irc://[host][:port][/[target][,flag]...][?key=value[&...]]
// The host runs up to the first ":", "/" or "?"; the port is decimal digits;
// the target is the channel, with or without its "#" (or "%23"), unless a
// flag "isuser", "isnick" or "isserver" says it is none; the query's first
// "key" is the channel's password. "%XX" escapes are decoded in host, target
// and key; any other "%" stands as it is. Each value is cut to its field as a
// request file's is; the request then asks to be confirmed, and is
// normalised as any other. "ircs:" and "irc6:" (TLS and IPv6, which the
// client cannot speak), an address without "//" or with a port that is not
// digits, or one that names neither a server nor a channel, are refused.
ChatAddress ReadChatAddress(const char* tail, LinkRequest& request);
