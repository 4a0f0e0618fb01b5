// The failures of a test program as a maintainer reads them on a UTF-8
// terminal: the programs' texts are code page 1252, which GoogleTest prints
// as "\xE0" escapes (and the test's own source text as raw bytes). Every
// failure message is handed on with both turned into the UTF-8 letters
// they stand for. Linked into every Windows test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

void AppendUtf8(std::string& out, unsigned char c) {
  const char byte = static_cast<char>(c);
  WCHAR wide[2] = {};
  char utf8[8] = {};
  const int units = MultiByteToWideChar(1252, 0, &byte, 1, wide, 2);
  const int bytes = units ? WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, sizeof utf8, nullptr, nullptr) : 0;
  if (bytes > 0) {
    out.append(utf8, static_cast<size_t>(bytes));
  } else {
    out += byte;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Readable(const char* message) {
  std::string out;
  for (const char* p = message; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c >= 0x80) {
      AppendUtf8(out, c);
    } else if (p[0] == '\\' && p[1] == 'x' && HexDigit(p[2]) >= 8 && HexDigit(p[3]) >= 0) {
      AppendUtf8(out, static_cast<unsigned char>(HexDigit(p[2]) * 16 + HexDigit(p[3])));
      p += 3;
    } else {
      out += *p;
    }
  }
  return out;
}

// GoogleTest's own printer, handed readable failures.
class ReadableFailures : public ::testing::EmptyTestEventListener {
 public:
  explicit ReadableFailures(::testing::TestEventListener* printer) : printer_(printer) {}
  ~ReadableFailures() override { delete printer_; }
  ReadableFailures(const ReadableFailures&) = delete;
  ReadableFailures& operator=(const ReadableFailures&) = delete;

  void OnTestProgramStart(const ::testing::UnitTest& test) override { printer_->OnTestProgramStart(test); }
  void OnTestIterationStart(const ::testing::UnitTest& test, int iteration) override {
    printer_->OnTestIterationStart(test, iteration);
  }
  void OnEnvironmentsSetUpStart(const ::testing::UnitTest& test) override { printer_->OnEnvironmentsSetUpStart(test); }
  void OnEnvironmentsSetUpEnd(const ::testing::UnitTest& test) override { printer_->OnEnvironmentsSetUpEnd(test); }
  // The printer takes each suite under its older name or its newer one.
  void OnTestSuiteStart(const ::testing::TestSuite& suite) override { printer_->OnTestSuiteStart(suite); }
  void OnTestCaseStart(const ::testing::TestCase& suite) override { printer_->OnTestCaseStart(suite); }
  void OnTestStart(const ::testing::TestInfo& info) override { printer_->OnTestStart(info); }
  void OnTestDisabled(const ::testing::TestInfo& info) override { printer_->OnTestDisabled(info); }
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    printer_->OnTestPartResult(::testing::TestPartResult(result.type(), result.file_name(), result.line_number(),
                                                         Readable(result.message()).c_str()));
  }
  void OnTestEnd(const ::testing::TestInfo& info) override { printer_->OnTestEnd(info); }
  void OnTestSuiteEnd(const ::testing::TestSuite& suite) override { printer_->OnTestSuiteEnd(suite); }
  void OnTestCaseEnd(const ::testing::TestCase& suite) override { printer_->OnTestCaseEnd(suite); }
  void OnEnvironmentsTearDownStart(const ::testing::UnitTest& test) override {
    printer_->OnEnvironmentsTearDownStart(test);
  }
  void OnEnvironmentsTearDownEnd(const ::testing::UnitTest& test) override {
    printer_->OnEnvironmentsTearDownEnd(test);
  }
  void OnTestIterationEnd(const ::testing::UnitTest& test, int iteration) override {
    printer_->OnTestIterationEnd(test, iteration);
  }
  void OnTestProgramEnd(const ::testing::UnitTest& test) override { printer_->OnTestProgramEnd(test); }

 private:
  ::testing::TestEventListener* printer_;
};

const bool g_readable = [] {
  ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
  if (::testing::TestEventListener* printer = listeners.default_result_printer()) {
    listeners.Release(printer);
    listeners.Append(new ReadableFailures(printer));
  }
  return true;
}();

}  // namespace
