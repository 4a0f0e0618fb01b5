// What the installer and the link helper do before anything else: seed the
// stack guard and take the current folder out of the library search.
#pragma once

// Gives the stack guard a value that differs from run to run. Called first
// thing at entry, by a function that the compiler's checks leave alone.
__attribute__((no_stack_protector)) void SeedStackGuard();

// Libraries named without a folder are then looked for in the system
// directory only, not in the current folder: a browser or a user starts
// these programs in a downloads folder, where any web page can leave a DLL.
// Where the system has neither way of saying so (Windows 95, 98, NT 4.0 and
// 2000 before its service packs), nothing changes.
void KeepLibrarySearchToSystem();
