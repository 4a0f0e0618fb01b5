// The URL recorder's log: one line per URL the shell handed it, in order.
// Line format: <microseconds>\t<parent>\t<url>\r\n. Pure text code, no
// Windows headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace urllog {

struct Entry {
  std::uint64_t micros;  // high-resolution, monotonic across processes
  std::string parent;    // the program that started the recorder, such as "explorer.exe"
  std::string url;       // the command tail exactly as the recorder got it
};

std::string FormatLine(std::uint64_t micros, const std::string& parent, const std::string& url);

// Entries of a whole log text; a line that does not have the format (such
// as a partly written last line) is skipped.
std::vector<Entry> Parse(const std::string& text);

}  // namespace urllog
