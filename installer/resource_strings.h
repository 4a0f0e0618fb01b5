// The installer's string table.
#pragma once

#include <windows.h>

#include "text.h"

// A string of the program's string table.
CString LoadResourceString(UINT id);
// printf-style "%s" formatting of a resource string; a failed string when
// the resource could not be loaded or memory ran out.
CString FormatResourceString(UINT id, std::initializer_list<const char*> arguments);
