// Names that a screen reader reads for controls whose own text, or the label
// before them, says too little ("...", a box whose sibling is a button).
#pragma once

#include <windows.h>

struct ScreenReaderName {
  int controlId;
  UINT stringId;  // of the string table
};

// Gives the dialog's controls their names through the system's
// accessibility services (Windows XP on, and Windows 98 and NT 4.0 with
// their accessibility update); where those are absent, nothing is named.
void NameForScreenReaders(HWND dialog, const ScreenReaderName* names, size_t count);
