// The texts of the link flow: the version test, the connect texts poked to
// the client, the client's command line, and where a dialog is centred.
// Pure code over fixed-size buffers, no Windows header.
#pragma once

#include <cstddef>

#include "request.h"

// The client's "VERSION" reply names a version from 4.6 on: the digit just
// before the first "." is the major number, all digits after it the minor.
bool IsSupportedVersion(const char* reply);

// The connect texts ("%s,%s,%s %s,1" and its shorter forms). Each returns
// false, leaving an empty text, when the order would not fit in `text`:
// a cut order could send the client somewhere else.
bool ConnectText(char* text, size_t size, const LinkRequest& request);  // server, port, channel [password]
bool NewServerText(char* text, size_t size,
                   const LinkRequest& request);  // as above; server and port alone without a channel
bool JoinText(char* text, size_t size, const LinkRequest& request);  // channel [password]

// Room for the longest command line that BuildClientCommandLine can make.
constexpr size_t kCommandLineSize = 2 * (2 * 300 + 2) + 2 * 200 + 100 + 10 + 32;

// The client's command line: the program, then " -i" ini, " -s" server ":"
// port, " -j" channel, " -p" password, each only when given. The program and
// the ini path are quoted when they hold blanks; the password is cut where an
// argument would end, so no value can add an argument of its own.
void BuildClientCommandLine(char (&line)[kCommandLineSize], const char* program, const char* ini,
                            const LinkRequest& request);
