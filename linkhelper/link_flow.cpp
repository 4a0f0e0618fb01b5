// The link flow: how one request reaches the client.
#include "dde_client.h"
#include "helper.h"
#include "link_texts.h"
#include "settings.h"

namespace {

bool Request(const char* topic, char* buffer) {
  return DdeTransact(g_settings.ddeService, topic, topic, buffer, DdeKind::kRequest, kDdeTimeoutMs);
}

int StartClient();

// The end of a run that links nothing: the default beep.
int Refused() {
  MessageBeep(0);
  return kNotLinked;
}

// After a step that the running client did not answer: a client that ran
// out of time is hung, and gets neither a second copy of itself nor the
// setup dialog over it; one that refused is started anew.
int StartUnlessHung() { return DdeClientHung() ? Refused() : StartClient(); }

// Pokes the order in the working text: linked, or as when the poke cannot
// be made. An order that could not be built whole (the request's fields at
// their longest) is no order: the run ends with a beep.
int PokeOrder(bool built) {
  if (!built) return Refused();
  return DdeTransact(g_settings.ddeService, "CONNECT", "CONNECT", g_workText, DdeKind::kPoke, kDdeTimeoutMs)
             ? kLinked
             : StartUnlessHung();
}

int ShowDialog(const char* name, DLGPROC procedure) {
  if (!g_mainWindow) CreateMainWindow();
  return static_cast<int>(DialogBoxParamA(g_instance, name, g_mainWindow, procedure, 0));
}

// Fills an unset path from the client's answer, and records it when it
// names something that exists. An answer holding a double quote or a
// control character leaves the path unset and is not recorded.
void LearnPath(char (&path)[kPathSize], const char* topic, const char* key) {
  // Only learned: skipped when what is left of the DDE work may be needed
  // for the link's own transactions.
  if (path[0] || DdeTimeLeft() <= 2 * kDdeTimeoutMs) return;
  Request(topic, path);
  if (DropUnsafePath(path)) return;
  LowerAscii(path);
  if (PathExists(path)) StoreClientPath(key, path);
}

int StartClient() {
  if (!g_settings.clientProgram[0]) return kNeedsSetup;
  SetErrorMode(SEM_NOOPENFILEERRORBOX);
  char commandLine[kCommandLineSize];
  BuildClientCommandLine(commandLine, g_settings.clientProgram, g_settings.clientIni, g_request);
  // The client starts in its own folder, where the older systems look for
  // its libraries first: never in the one the browser left the helper in.
  char folder[kPathSize];
  FolderOf(g_settings.clientProgram, folder);
  if (folder[0]) SetCurrentDirectoryA(folder);
  return WinExec(commandLine, SW_SHOW) >= 32 ? kLinked : Refused();
}

}  // namespace

int RunLinkFlow() {
  StartDdeWork();
  g_workText[0] = '\0';
  Request("VERSION", g_workText);
  if (!g_workText[0]) return StartClient();
  if (!IsSupportedVersion(g_workText)) {
    ShowDialog("WARN_DLG", WarnDlgProc);
    return kNotLinked;
  }

  LearnPath(g_settings.clientProgram, "EXENAME", kProgramKey);
  LearnPath(g_settings.clientIni, "INIFILE", kIniKey);
  if (DdeClientHung()) return Refused();

  if (!Request("CONNECTED", g_workText)) return StartUnlessHung();
  if (EqualsAsciiNoCase(g_workText, "not connected")) {
    return PokeOrder(ConnectText(g_workText, sizeof g_workText, g_request));
  }

  if (!Request("SERVERPORT", g_workText)) return StartUnlessHung();
  char* colon = FindChar(g_workText, ':');
  if (!colon) return StartClient();
  *colon = '\0';  // the current server
  if (!g_request.server[0] || SameServer(g_request.server, g_workText)) {
    return PokeOrder(JoinText(g_workText, sizeof g_workText, g_request));
  }

  *colon = ':';  // the dialog shows the whole reply
  const int choice = g_request.channel[0] ? ShowDialog("ASK_DLG", AskDlgProc) : ShowDialog("ASK2_DLG", AskDlgProc);
  switch (choice) {
    case kAskChangeServer:
      return PokeOrder(NewServerText(g_workText, sizeof g_workText, g_request));
    case kAskJoinHere:
      return PokeOrder(JoinText(g_workText, sizeof g_workText, g_request));
    case kAskAnotherCopy:
      return StartClient();
    default:
      return kNotLinked;
  }
}
