// The texts that the setup dialog sets over its template, and their
// checksum, computed when the program is built.
#pragma once

#include <cstdint>

constexpr char kSetupCaption[] = "QuopLink32 v5.61";
constexpr char kSetupWelcome[] = "Welcome to the QuopLink Helper application!";
constexpr char kSetupPurpose[] =
    "This program is called by your Web browser whenever it wants Quop to connect to a server and to join a channel.";
constexpr char kSetupProgramPrompt[] = "Please select the name of the Quop program below.";
constexpr char kSetupIniPrompt[] =
    "Please select the name of the Quop ini you want to be used when Quop is run by QuopLink.";
constexpr char kSetupServicePrompt[] = "Please enter the Quop DDE Service name.";
constexpr char kSetupNotice[] = "QuopLink32 v5.61 - Copyright (c) 1998-2026\nAll rights reserved.";

// FNV-1a over the texts, each with its terminator.
constexpr uint32_t ChecksumStep(uint32_t hash, const char* text) {
  for (;; ++text) {
    hash = (hash ^ static_cast<unsigned char>(*text)) * 16777619u;
    if (!*text) return hash;
  }
}

constexpr uint32_t SetupTextsChecksum(const char* const* texts, int count) {
  uint32_t hash = 2166136261u;
  for (int i = 0; i < count; ++i) hash = ChecksumStep(hash, texts[i]);
  return hash;
}

constexpr const char* kSetupTexts[] = {kSetupCaption,   kSetupWelcome,       kSetupPurpose, kSetupProgramPrompt,
                                       kSetupIniPrompt, kSetupServicePrompt, kSetupNotice};
constexpr int kSetupTextCount = sizeof kSetupTexts / sizeof kSetupTexts[0];

// What the texts summed to when the program was built.
constexpr uint32_t kSetupTextsBuiltChecksum = SetupTextsChecksum(kSetupTexts, kSetupTextCount);
