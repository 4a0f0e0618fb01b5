// The desktop shortcut to the organisation's web site, and the web launcher
// that it starts, which the installer carries as its resource "NOSTRE" 142.
#pragma once

// Writes the launcher into the Windows directory and saves a shortcut to it
// on the desktop of the person at the screen; never a shortcut to a launcher
// that is not there. Shows nothing: false when no shortcut was saved.
bool MakeDesktopShortcut();
