// The plain request file read as the C run-time's text mode reads it, over
// bytes that the caller's source supplies: a carriage return before a line
// feed is dropped (a lone one stays), a Ctrl-Z (0x1A) ends the file, and a
// line is handed over as fgets hands it: at most size - 1 characters, up to
// and including its line feed, a longer line in pieces. Pure code, no
// Windows header.
#pragma once

#include <cstddef>

// Fills `into` with up to `capacity` bytes of the file; returns how many (0
// at its end or on an error).
using ReadBytes = size_t (*)(void* source, unsigned char* into, size_t capacity);

struct TextReader {
  ReadBytes read;
  void* source;
  unsigned char bytes[512];
  size_t used;  // bytes held
  size_t next;  // the next byte to hand over
  bool ended;   // the source has no more, or a Ctrl-Z came
};

void StartTextReader(TextReader& reader, ReadBytes read, void* source);

// The next line into `line` (`size` bytes, terminator included), as fgets
// reads it. False, with `line` unchanged, when the file has ended.
bool ReadTextLine(TextReader& reader, char* line, size_t size);
