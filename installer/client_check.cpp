#include "client_check.h"

ClientVerdict JudgeClient(const std::string& declaredName, const std::string& declaredVersion) {
  if (declaredName != kProductExe) return ClientVerdict::kNotTheClient;
  if (declaredVersion != kProductVersion) return ClientVerdict::kOtherVersion;
  return ClientVerdict::kAccepted;
}

std::string StripFileName(const std::string& path) {
  const std::string::size_type separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return path;
  return path.substr(0, separator + 1);
}
