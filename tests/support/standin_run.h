// Runs the stand-in client for a test and reads its log.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "uidriver.h"

// The log that every stand-in started from now on (by the test or by the
// programs it starts) appends to: a file of the running test's own.
std::string StandInLogPath();
// Its lines, each split at its tabs.
std::vector<std::vector<std::string>> StandInLog();
// The lines of one kind ("args", "poke", "ready"), without the kind.
std::vector<std::vector<std::string>> StandInLog(const std::string& kind);
// Waits until the log holds `count` lines of a kind.
::testing::AssertionResult WaitForStandInLines(const std::string& kind, size_t count,
                                               DWORD timeoutMs = ui::kDefaultTimeoutMs);

// Writes the settings file that stand-ins started from now on read (lines
// of "key=value"; see the stand-in's own description).
void SetStandInConfig(const std::vector<std::string>& settings);

// A running stand-in client, ready to answer on DDE once constructed.
struct StandInClient {
  explicit StandInClient(const std::string& args = "", const std::string& exe = "");
  std::unique_ptr<ui::Process> process;
  bool ready = false;
};
