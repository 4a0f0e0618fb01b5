#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_read.h"

namespace {

// A file's bytes, handed over `chunk` at a time.
struct Source {
  std::string bytes;
  size_t chunk;
  size_t at = 0;
};

size_t ReadSource(void* source, unsigned char* into, size_t capacity) {
  auto& s = *static_cast<Source*>(source);
  size_t n = 0;
  while (n < capacity && n < s.chunk && s.at < s.bytes.size()) into[n++] = static_cast<unsigned char>(s.bytes[s.at++]);
  return n;
}

std::vector<std::string> Lines(const std::string& bytes, size_t chunk, size_t size = 300) {
  Source source{bytes, chunk};
  TextReader reader;
  StartTextReader(reader, ReadSource, &source);
  std::vector<std::string> lines;
  std::string line(size, 'x');
  while (ReadTextLine(reader, &line[0], size)) lines.emplace_back(line.c_str());
  return lines;
}

// What the C run-time's text mode hands fgets, whether the file comes in
// one piece or a byte at a time.
TEST(TextModeReading, ReadsAsTheRunTimesTextModeReadsFgetsLines) {
  const std::string longLine(650, 'a');
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"server a\r\nport 7000\r\n", {"server a\n", "port 7000\n"}},  // CR LF read as LF
      {"a\rb\n", {"a\rb\n"}},                                        // a lone CR is kept
      {"a\r", {"a\r"}},
      {"a\r\r\n", {"a\r\n"}},
      {"a\nb", {"a\n", "b"}},  // the last line without its line feed
      {"a\nb\x1A"
       "c\nd\n",
       {"a\n", "b"}},  // Ctrl-Z ends the file
      {"a\r\x1A\n", {"a\r"}},
      {longLine + "\n", {std::string(299, 'a'), std::string(299, 'a'), std::string(52, 'a') + "\n"}},
      {"", {}},
      {std::string("k\0v\n", 4), {"k"}},  // a zero byte ends the text that the line holds
  };
  for (const auto& c : cases) {
    for (size_t chunk : {size_t{512}, size_t{1}}) {
      EXPECT_EQ(Lines(c.bytes, chunk), c.lines) << c.bytes.size() << " bytes, " << chunk << " at a time";
    }
  }
}

}  // namespace
