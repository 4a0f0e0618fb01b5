#include "text.h"

namespace {

// Null: StringMemoryResize. Held so, the program file needs no section of
// initialised data for it.
CString::Allocator g_allocator;

size_t LengthOf(const char* text) {
  size_t length = 0;
  while (text[length]) ++length;
  return length;
}

}  // namespace

void CString::SetAllocator(Allocator allocator) { g_allocator = allocator; }

CString::CString(const char* text) { Append(text, text ? LengthOf(text) : 0, false); }

CString::CString(const char* text, size_t length) { Append(text, length, false); }

CString::CString(const CString& other) { Append(other.c_str(), other.m_nLength, other.m_bFailed); }

CString& CString::operator=(const CString& other) {
  if (this != &other) {
    Truncate(0);
    m_bFailed = false;
    Append(other.c_str(), other.m_nLength, other.m_bFailed);
  }
  return *this;
}

CString& CString::operator=(const char* text) {
  CString copy(text);  // `text` may point into this string
  return *this = copy;
}

CString::~CString() { StringMemoryFree(m_pchData); }

CString& CString::operator+=(const CString& other) {
  if (this == &other) {
    const CString copy(other);
    Append(copy.c_str(), copy.m_nLength, copy.m_bFailed);
  } else {
    Append(other.c_str(), other.m_nLength, other.m_bFailed);
  }
  return *this;
}

CString operator+(const CString& a, const CString& b) {
  CString sum(a);
  sum += b;
  return sum;
}

CString operator+(const CString& a, const char* b) {
  CString sum(a);
  sum += b;
  return sum;
}

CString& CString::operator+=(const char* text) {
  const CString copy(text);
  return *this += copy;
}

bool CString::operator==(const char* text) const {
  if (m_bFailed) return false;
  const char* mine = c_str();
  while (*mine && *mine == *text) ++mine, ++text;
  return *mine == *text;
}

size_t CString::FindLastOf(const char* characters) const {
  for (size_t i = m_nLength; i > 0; --i) {
    for (const char* c = characters; *c; ++c) {
      if (*c == m_pchData[i - 1]) return i - 1;
    }
  }
  return npos;
}

void CString::Truncate(size_t count) {
  if (count >= m_nLength) return;
  m_nLength = count;
  m_pchData[count] = '\0';
}

char* CString::GetBuffer(size_t length) {
  if (m_bFailed || !Reserve(length)) return nullptr;
  for (size_t i = 0; i <= length; ++i) m_pchData[i] = '\0';
  return m_pchData;
}

void CString::ReleaseBuffer(size_t length) {
  if (!m_pchData) return;
  if (length >= m_nCapacity) length = m_nCapacity - 1;  // the last byte holds the terminator
  m_pchData[length] = '\0';
  m_nLength = LengthOf(m_pchData);
}

void CString::Swap(CString& other) {
  char* const data = m_pchData;
  const size_t length = m_nLength, capacity = m_nCapacity;
  const bool failed = m_bFailed;
  m_pchData = other.m_pchData;
  m_nLength = other.m_nLength;
  m_nCapacity = other.m_nCapacity;
  m_bFailed = other.m_bFailed;
  other.m_pchData = data;
  other.m_nLength = length;
  other.m_nCapacity = capacity;
  other.m_bFailed = failed;
}

CString CString::Format(const char* format, std::initializer_list<const char*> arguments) {
  CString text;
  const char* const* next = arguments.begin();
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      text += next != arguments.end() ? *next++ : "";
      ++p;
      continue;
    }
    if (p[0] == '%' && p[1] == '%') ++p;
    text.Append(p, 1, false);
  }
  return text;
}

bool CString::Reserve(size_t length) {
  if (length < m_nCapacity) return true;
  // Grows by half again, so that appending one piece at a time stays cheap.
  size_t capacity = m_nCapacity + m_nCapacity / 2;
  if (capacity <= length) capacity = length + 1;
  void* grown = (g_allocator ? g_allocator : StringMemoryResize)(m_pchData, capacity);
  if (!grown) {
    Fail();
    return false;
  }
  m_pchData = static_cast<char*>(grown);
  m_nCapacity = capacity;
  return true;
}

void CString::Append(const char* text, size_t length, bool failed) {
  if (m_bFailed) return;
  if (failed || length > npos / 2 || !Reserve(m_nLength + length)) {
    Fail();
    return;
  }
  for (size_t i = 0; i < length; ++i) m_pchData[m_nLength + i] = text[i];
  m_nLength += length;
  m_pchData[m_nLength] = '\0';
}

void CString::Fail() {
  m_bFailed = true;
  m_nLength = 0;
  if (m_pchData) m_pchData[0] = '\0';
}
