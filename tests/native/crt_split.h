// Splits a command line into arguments the way the C runtime's start-up
// does, to check what a started program receives.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> SplitLikeCRuntime(const std::string& line) {
  std::vector<std::string> args;
  size_t i = 0;
  // The program name: up to the first blank, or in quotes, with no
  // backslash processing.
  std::string program;
  if (i < line.size() && line[i] == '"') {
    for (++i; i < line.size() && line[i] != '"'; ++i) program += line[i];
    if (i < line.size()) ++i;
  }
  for (; i < line.size() && line[i] != ' ' && line[i] != '\t'; ++i) program += line[i];
  args.push_back(program);
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      size_t slashes = 0;
      while (i < line.size() && line[i] == '\\') {
        ++slashes;
        ++i;
      }
      if (i < line.size() && line[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2) {
          arg += '"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          arg += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(slashes, '\\');
        if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}
