#include "text_read.h"

void StartTextReader(TextReader& reader, ReadBytes read, void* source) {
  reader.read = read;
  reader.source = source;
  reader.used = reader.next = 0;
  reader.ended = false;
}

namespace {

constexpr int kEnd = -1;
constexpr unsigned char kCtrlZ = 0x1A;

// The next byte of the file, -1 at its end.
int NextByte(TextReader& reader) {
  if (reader.next == reader.used) {
    if (reader.ended) return kEnd;
    reader.used = reader.read(reader.source, reader.bytes, sizeof reader.bytes);
    reader.next = 0;
    if (reader.used == 0) {
      reader.ended = true;
      return kEnd;
    }
  }
  return reader.bytes[reader.next++];
}

// The next character as text mode hands it over, -1 at the end.
int NextCharacter(TextReader& reader) {
  const int c = NextByte(reader);
  if (c == kCtrlZ) {
    reader.ended = true;
    reader.next = reader.used;
    return kEnd;
  }
  if (c != '\r') return c;
  const int after = NextByte(reader);
  if (after == '\n') return '\n';
  if (after != kEnd) --reader.next;  // held for the next call
  return '\r';
}

}  // namespace

bool ReadTextLine(TextReader& reader, char* line, size_t size) {
  if (size < 2) return false;
  size_t length = 0;
  while (length + 1 < size) {
    const int c = NextCharacter(reader);
    if (c == kEnd) break;
    line[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (length == 0) return false;
  line[length] = '\0';
  return true;
}
