// What the installer and the link helper do first: take the current folder
// out of the library search.
#pragma once

// Libraries named without a folder are then looked for in the system
// directory only, not in the current folder: a browser or a user starts
// these programs in a downloads folder, where any web page can leave a DLL.
// Where the system has neither way of saying so (Windows 95, 98, NT 4.0 and
// 2000 before its service packs), nothing changes.
void KeepLibrarySearchToSystem();
