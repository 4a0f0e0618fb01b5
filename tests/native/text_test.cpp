#include <gtest/gtest.h>

#include <cstdlib>

#include "text.h"

namespace {

TEST(CString, JoinsCutsAndFormats) {
  CString path = "C:\\Quop\\";
  path += "original\\";
  EXPECT_STREQ((path + "quop32.exe").c_str(), "C:\\Quop\\original\\quop32.exe");
  path += path;  // joined with itself
  EXPECT_STREQ(path.c_str(), "C:\\Quop\\original\\C:\\Quop\\original\\");
  EXPECT_EQ(path.FindLastOf("\\/"), path.length() - 1);
  path.Truncate(2);
  EXPECT_TRUE(path == "C:");
  path = path.c_str() + 1;  // assigned from its own text
  EXPECT_STREQ(path.c_str(), ":");
  EXPECT_EQ(CString("quop32").FindLastOf("."), CString::npos);
  EXPECT_STREQ(CString().c_str(), "");
  EXPECT_STREQ(CString::Format("Actualitzador del %s %s", {"Quop", "5.61"}).c_str(), "Actualitzador del Quop 5.61");
  EXPECT_STREQ(CString::Format("%s, %s, %%s", {"a"}).c_str(), "a, , %s");
  CString filled;
  char* buffer = filled.GetBuffer(8);
  ASSERT_NE(buffer, nullptr);
  buffer[0] = 'o';
  buffer[1] = 'k';
  filled.ReleaseBuffer(2);
  EXPECT_STREQ(filled.c_str(), "ok");
  EXPECT_EQ(filled.length(), 2u);
}

// Out of memory after `budget` more successful allocations.
int g_budget = 0;
void* Scarce(void* block, size_t bytes) { return g_budget-- > 0 ? std::realloc(block, bytes) : nullptr; }

// What an install forms from its folder when memory runs out while it does:
// the result fails (reads empty), never a shorter path that names another
// place.
TEST(CString, OutOfMemoryFailsTheStringAndAllMadeFromIt) {
  for (int budget = 0; budget <= 16; ++budget) {
    SCOPED_TRACE(budget);
    const CString folder = "C:\\Quop\\";
    g_budget = budget;
    CString::SetAllocator(Scarce);
    const CString backup = folder + "original\\";
    const CString file = backup + "quop32.exe" + "";
    CString::SetAllocator(nullptr);
    if (backup.failed()) {
      EXPECT_STREQ(backup.c_str(), "");
      EXPECT_TRUE(file.failed());
    }
    if (file.failed()) {
      EXPECT_STREQ(file.c_str(), "");
      EXPECT_FALSE(file == "");  // a failed string equals no text
    } else {
      EXPECT_STREQ(file.c_str(), "C:\\Quop\\original\\quop32.exe");
    }
    if (budget == 0) {
      EXPECT_TRUE(file.failed());
    }
    if (budget == 16) {
      EXPECT_FALSE(file.failed());
    }
    // A failed string takes a new value whole once memory is back.
    CString again = file;
    again = "C:\\Quop\\";
    EXPECT_FALSE(again.failed());
  }
  g_budget = 0;
  CString::SetAllocator(Scarce);
  CString empty;
  EXPECT_EQ(empty.GetBuffer(10), nullptr);
  CString::SetAllocator(nullptr);
  // Memory is back, but a failed string stays failed: it gives no buffer.
  EXPECT_EQ(empty.GetBuffer(10), nullptr);
  EXPECT_TRUE(empty.failed());
  // Exchanged, the failed state goes with the text.
  CString chosen = "C:\\Quop\\quop32.exe";
  chosen.Swap(empty);
  EXPECT_TRUE(chosen.failed());
  EXPECT_STREQ(empty.c_str(), "C:\\Quop\\quop32.exe");
}

TEST(CString, ReleaseBufferStaysWithinTheBuffer) {
  CString text;
  char* buffer = text.GetBuffer(3);
  ASSERT_NE(buffer, nullptr);
  buffer[0] = 'a', buffer[1] = 'b', buffer[2] = 'c';
  text.ReleaseBuffer(100);  // more than was asked for
  EXPECT_STREQ(text.c_str(), "abc");
  EXPECT_EQ(text.length(), 3u);
}

}  // namespace
