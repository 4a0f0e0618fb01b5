#include "standin_run.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "test_env.h"

std::string StandInLogPath() {
  std::string path = testenv::ScratchDir() + "client.log";
  SetEnvironmentVariableA("QUOP_STANDIN_LOG", path.c_str());
  return path;
}

std::vector<std::vector<std::string>> StandInLog() {
  std::vector<std::vector<std::string>> lines;
  const std::string text = testenv::ReadFile(StandInLogPath());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) break;
    std::vector<std::string> fields;
    size_t start = pos;
    for (;;) {
      const size_t tab = text.find('\t', start);
      if (tab == std::string::npos || tab > end) {
        fields.push_back(text.substr(start, end - start));
        break;
      }
      fields.push_back(text.substr(start, tab - start));
      start = tab + 1;
    }
    lines.push_back(fields);
    pos = end + 2;
  }
  return lines;
}

std::vector<std::vector<std::string>> StandInLog(const std::string& kind) {
  std::vector<std::vector<std::string>> found;
  for (const auto& line : StandInLog()) {
    if (!line.empty() && line[0] == kind) found.emplace_back(line.begin() + 1, line.end());
  }
  return found;
}

::testing::AssertionResult WaitForStandInLines(const std::string& kind, size_t count, DWORD timeoutMs) {
  return ui::WaitUntil([&] { return StandInLog(kind).size() >= count; },
                       [&] {
                         std::string lines;
                         for (const auto& line : StandInLog()) {
                           std::string joined;
                           for (const auto& field : line) joined += (joined.empty() ? "" : " ") + field;
                           lines += "\n    " + joined;
                         }
                         return "fewer than " + std::to_string(count) + " lines \"" + kind +
                                "\" in the client's log, which holds:" + (lines.empty() ? " nothing" : lines);
                       },
                       timeoutMs);
}

void SetStandInConfig(const std::vector<std::string>& settings) {
  const std::string path = testenv::ScratchDir() + "client.cfg";
  std::string text;
  for (const auto& line : settings) text += line + "\r\n";
  testenv::WriteFile(path, text);
  SetEnvironmentVariableA("QUOP_STANDIN_CONFIG", path.c_str());
}

StandInClient::StandInClient(const std::string& args, const std::string& exe) {
  StandInLogPath();
  const size_t readyBefore = StandInLog("ready").size();
  const std::string program = exe.empty() ? testenv::BuildPath("tests\\support\\standin\\quop32_us.exe") : exe;
  process = std::make_unique<ui::Process>(program, args);
  EXPECT_TRUE(process->started()) << program << " did not start, error " << process->startError();
  ready = process->started() && WaitForStandInLines("ready", readyBefore + 1);
  EXPECT_TRUE(ready) << "the stand-in client did not get ready";
}
