#include "text_core.h"

size_t TextLength(const char* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length]) ++length;
  return length;
}

const char* FindChar(const char* text, char c) {
  for (; *text; ++text) {
    if (*text == c) return text;
  }
  return nullptr;
}

char* FindChar(char* text, char c) { return const_cast<char*>(FindChar(static_cast<const char*>(text), c)); }

const char* FindLastChar(const char* text, char c) {
  const char* found = nullptr;
  for (; *text; ++text) {
    if (*text == c) found = text;
  }
  return found;
}

bool CopyText(char* target, size_t capacity, const char* source) {
  if (capacity == 0) return false;
  size_t i = 0;
  for (; i + 1 < capacity && source[i]; ++i) target[i] = source[i];
  target[i] = '\0';
  return source[i] == '\0';
}

bool AppendText(char* target, size_t capacity, const char* source) {
  const size_t used = TextLength(target, capacity);
  if (used >= capacity) return false;
  return CopyText(target + used, capacity - used, source);
}

bool FormatText(char* target, size_t capacity, const char* format, std::initializer_list<const char*> arguments) {
  if (capacity == 0) return false;
  target[0] = '\0';
  const char* const* next = arguments.begin();
  bool whole = true;
  char literal[2] = {0, 0};
  for (const char* p = format; *p; ++p) {
    const char* piece = literal;
    if (p[0] == '%' && p[1] == 's') {
      piece = next != arguments.end() ? *next++ : "";
      ++p;
    } else {
      if (p[0] == '%' && p[1] == '%') ++p;
      literal[0] = *p;
    }
    whole = AppendText(target, capacity, piece) && whole;
  }
  return whole;
}

namespace {
char LowerOf(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

void LowerAscii(char* text) {
  for (; *text; ++text) *text = LowerOf(*text);
}

bool EqualsAsciiNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (LowerOf(*a) != LowerOf(*b)) return false;
  }
  return *a == *b;
}

bool BeginsWithAsciiNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    if (LowerOf(*text) != LowerOf(*prefix)) return false;
  }
  return true;
}

bool DropUnsafePath(char* path) {
  for (const char* p = path; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c < 0x20 || c == 0x7F) {
      path[0] = '\0';
      return true;
    }
  }
  return false;
}

bool IsFullPath(const char* path) { return FindChar(path, ':') || (path[0] == '\\' && path[1] == '\\'); }

void SplitPath(const char* path, char (&drive)[kDriveSize], char (&directory)[kPartSize], char (&name)[kPartSize],
               char (&extension)[kPartSize]) {
  char work[261];
  CopyText(work, sizeof work, path);
  drive[0] = directory[0] = name[0] = extension[0] = '\0';

  const char* rest = work;
  if (work[0] && work[1] == ':') {
    drive[0] = work[0];
    drive[1] = ':';
    drive[2] = '\0';
    rest += 2;
  }
  const char* lastSeparator = nullptr;
  for (const char* p = rest; *p; ++p) {
    if (*p == '\\' || *p == '/') lastSeparator = p;
  }
  const char* file = rest;
  if (lastSeparator) {
    const size_t length = static_cast<size_t>(lastSeparator - rest) + 1;
    CopyText(directory, (length < kPartSize ? length : kPartSize - 1) + 1, rest);
    file = lastSeparator + 1;
  }
  const char* dot = FindLastChar(file, '.');
  if (dot) {
    CopyText(extension, kPartSize, dot);
    const size_t length = static_cast<size_t>(dot - file);
    CopyText(name, (length < kPartSize ? length : kPartSize - 1) + 1, file);
  } else {
    CopyText(name, kPartSize, file);
  }
}

void FolderOf(const char* file, char (&folder)[kPathSize]) {
  char drive[kDriveSize], directory[kPartSize], name[kPartSize], extension[kPartSize];
  SplitPath(file, drive, directory, name, extension);
  CopyText(folder, kPathSize, drive);
  AppendText(folder, kPathSize, directory);
}

const char* StoredForm(const char* path, const char* folder) {
  const size_t n = TextLength(folder);
  if (!*path || TextLength(path) < n) return path;
  for (size_t i = 0; i < n; ++i) {
    if (LowerOf(path[i]) != LowerOf(folder[i])) return path;
  }
  return path + n;
}

bool MakeFullPath(char (&path)[kPathSize], const char* folder) {
  if (path[0] && IsFullPath(path)) return true;
  if (TextLength(folder) + TextLength(path) >= kPathSize) {
    path[0] = '\0';
    return false;
  }
  char full[kPathSize];
  CopyText(full, sizeof full, folder);
  AppendText(full, sizeof full, path);
  CopyText(path, kPathSize, full);
  return true;
}
