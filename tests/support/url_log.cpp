#include "url_log.h"

namespace urllog {

std::string FormatLine(std::uint64_t micros, const std::string& parent, const std::string& url) {
  return std::to_string(micros) + "\t" + parent + "\t" + url + "\r\n";
}

std::vector<Entry> Parse(const std::string& text) {
  std::vector<Entry> entries;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) break;  // an unfinished last line
    const std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    const std::size_t tab = line.find('\t');
    const std::size_t second = tab == std::string::npos ? tab : line.find('\t', tab + 1);
    if (tab == 0 || second == std::string::npos) continue;
    Entry entry{0, line.substr(tab + 1, second - tab - 1), line.substr(second + 1)};
    bool digits = true;
    for (std::size_t i = 0; i < tab; ++i) {
      const char c = line[i];
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      entry.micros = entry.micros * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (digits) entries.push_back(entry);
  }
  return entries;
}

}  // namespace urllog
