// The irc:// links of web pages: the installed link helper is named as the
// program for them, for every user, where nothing else decides who opens
// them.
#pragma once

#include "text.h"

// Names the helper in `clientFolder` for irc:// links where no class of the
// scheme exists (any "irc" key, another IRC program's or one whose verb is
// run by a delegate, is someone's claim) and the user has made no choice of
// their own for them (Windows 8 on keep it apart, and it wins over any
// class). The claim is made whole or not at all: a key that this run made
// is removed again when a value could not be written. True when the helper
// was named; a failure is no error of the install.
bool ClaimChatLinks(const CString& clientFolder);
