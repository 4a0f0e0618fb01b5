// The installer's string: a growable, zero-terminated 8-bit text with only
// what its dialogs use. Pure code, no Windows header.
//
// When memory runs out a string becomes failed: it reads as the empty text,
// and every string made from a failed one is failed too. A path that could
// not be made whole therefore names nothing (every file operation on it
// fails) instead of naming some other file, and nothing crashes.
#pragma once

#include <cstddef>
#include <initializer_list>

// Where the strings' memory comes from, with realloc's and free's
// contracts: the process heap in the installer, the C library in the host's
// tests.
void* StringMemoryResize(void* block, size_t bytes);
void StringMemoryFree(void* block);

class CString {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  CString() = default;
  CString(const char* text);  // NOLINT: converts as a text literal does
  CString(const char* text, size_t length);
  CString(const CString& other);
  CString& operator=(const CString& other);
  CString& operator=(const char* text);
  ~CString();

  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);

  const char* c_str() const { return m_pchData ? m_pchData : ""; }
  size_t length() const { return m_nLength; }
  bool empty() const { return m_nLength == 0; }
  bool failed() const { return m_bFailed; }
  bool operator==(const char* text) const;
  bool operator!=(const char* text) const { return !(*this == text); }

  // The position of the last character that is one of `characters`, or npos.
  size_t FindLastOf(const char* characters) const;
  // Keeps the first `count` characters.
  void Truncate(size_t count);
  // A buffer of `length` characters and a terminator for a platform call to
  // fill; null when memory ran out or the string has failed (it stays
  // failed). ReleaseBuffer then sets the length that was filled (cut at the
  // first zero byte, and at the buffer's end).
  char* GetBuffer(size_t length);
  void ReleaseBuffer(size_t length);
  // Exchanges the texts of two strings; it cannot fail.
  void Swap(CString& other);

  // `format` with each "%s" replaced by the next argument (none left:
  // nothing) and "%%" by "%".
  static CString Format(const char* format, std::initializer_list<const char*> arguments);

  // How every string grows its block (realloc's contract for a size above
  // zero; blocks are given back with StringMemoryFree); the tests put in one
  // that runs out of memory. Null puts StringMemoryResize back.
  using Allocator = void* (*)(void* block, size_t bytes);
  static void SetAllocator(Allocator allocator);

 private:
  bool Reserve(size_t length);
  void Append(const char* text, size_t length, bool failed);
  void Fail();

  char* m_pchData = nullptr;
  size_t m_nLength = 0;
  size_t m_nCapacity = 0;
  bool m_bFailed = false;
};
