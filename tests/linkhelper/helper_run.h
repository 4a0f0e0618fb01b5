// A client installation with the link helper in it, for end-to-end tests:
// the helper is started as a browser starts it, with a request file's path.
#pragma once

#include <memory>
#include <string>

#include "helper_resource.h"
#include "standin_run.h"
#include "test_env.h"
#include "uidriver.h"

struct HelperSetup {
  // The helper, a stand-in client as quop32.exe and a quop.ini holding
  // `settings` (lines of its "quoplink" section) in a folder of the test's own.
  explicit HelperSetup(const std::string& settings = "exe=quop32.exe");

  // Writes a request file and returns its path.
  std::string Request(const std::string& name, const std::string& content) const;
  // Starts the helper with this command tail, in `dir` (empty: its own folder).
  std::unique_ptr<ui::Process> Start(const std::string& tail, const std::string& dir = "") const;
  // Starts it, waits for it to end and returns its exit code (-1, and a
  // failure that says what it showed, when it did not end).
  int Run(const std::string& tail, const std::string& dir = "") const;
  // A dialog of the helper with this title, once it is open.
  static ui::AssertionResult WaitForDialog(const ui::Process& helper, const std::string& title, HWND& found);

  std::string folder;  // with a trailing backslash
};

// The usual request in the plain-text form.
constexpr char kPlainRequest[] = "server irc.example.cat\nport 7000\nchannel catala\npassword clau\n";
