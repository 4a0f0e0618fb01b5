#include "client_check.h"

ClientVerdict JudgeClient(const CString& declaredName, const CString& declaredVersion) {
  if (declaredName != kProductExe) return ClientVerdict::kNotTheClient;
  if (declaredVersion != kProductVersion) return ClientVerdict::kOtherVersion;
  return ClientVerdict::kAccepted;
}

CString StripFileName(const CString& path) {
  const size_t separator = path.FindLastOf("\\/");
  if (separator == CString::npos) return path;
  CString folder(path);
  folder.Truncate(separator + 1);
  return folder;
}
