// A stand-in for the Quop client in tests and the demo. It stays running
// (and so keeps its program file locked) until it is closed or ended; its
// version resource is chosen when it is built. It serves the client's DDE
// conversation and accepts the client's switches, and it logs what it gets.
//
// Settings, one "key=value" a line in the file %QUOP_STANDIN_CONFIG% (when
// set), then as "--key=value" arguments, later ones winning:
//   service=NAME             DDE service name (default Quop)
//   VERSION=, EXENAME=, INIFILE=, CONNECTED=, SERVERPORT=   the replies
//   refuse=TOPIC             no reply to a request on TOPIC
//   noconversation=TOPIC     no conversation on TOPIC at all
//   delay=TOPIC:MS           reply to TOPIC only after MS milliseconds
//   sleep=TOPIC:MS           sleep MS milliseconds in the transaction on TOPIC
//                            (a hung client: it serves nothing meanwhile)
//   rejectpokes=1            refuse every poke
//   log=PATH                 the log (default %QUOP_STANDIN_LOG%)
// The log gets one line each: "args" and the arguments as the C runtime
// split the command line, "cwd" and the folder it was started in, "ready" once the DDE service is registered, and
// "poke" with the topic and text of every poke received, after "pokedata"
// with its size and the bytes after its text in hex; fields are separated
// by tabs.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

std::map<std::string, std::string> g_replies = {
    {"VERSION", "5.61"}, {"EXENAME", ""}, {"INIFILE", ""}, {"CONNECTED", "not connected"}, {"SERVERPORT", ""},
};
std::string g_service = "Quop";
std::set<std::string> g_refused;
std::set<std::string> g_closedTopics;
std::map<std::string, DWORD> g_delays, g_sleeps;
bool g_rejectPokes = false;
std::string g_log;
DWORD g_instance = 0;
// Requests held back by a delay, released by a timer: the stand-in stays
// responsive meanwhile, as a slow client would.
std::set<HCONV> g_released;

void CALLBACK ReleaseHeld(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  DdeEnableCallback(g_instance, nullptr, EC_ENABLEALL);
}

void Log(const std::string& line) {
  if (g_log.empty()) return;
  HANDLE file = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void Apply(const std::string& setting) {
  const size_t equals = setting.find('=');
  if (equals == std::string::npos) return;
  const std::string key = setting.substr(0, equals), value = setting.substr(equals + 1);
  if (key == "service") {
    g_service = value;
  } else if (key == "refuse") {
    g_refused.insert(value);
  } else if (key == "noconversation") {
    g_closedTopics.insert(value);
  } else if (key == "delay" || key == "sleep") {
    const size_t colon = value.find(':');
    if (colon != std::string::npos) {
      (key == "delay" ? g_delays : g_sleeps)[value.substr(0, colon)] = std::atoi(value.c_str() + colon + 1);
    }
  } else if (key == "rejectpokes") {
    g_rejectPokes = value == "1";
  } else if (key == "log") {
    g_log = value;
  } else if (g_replies.count(key)) {
    g_replies[key] = value;
  }
}

void ReadSettings() {
  char value[MAX_PATH] = "";
  if (GetEnvironmentVariableA("QUOP_STANDIN_LOG", value, sizeof value)) g_log = value;
  if (GetEnvironmentVariableA("QUOP_STANDIN_CONFIG", value, sizeof value)) {
    std::ifstream config(value);
    std::string line;
    while (std::getline(config, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Apply(line);
    }
  }
  for (int i = 1; i < __argc; ++i) {
    if (std::strncmp(__argv[i], "--", 2) == 0) Apply(__argv[i] + 2);
  }
}

std::string TextOf(HSZ handle) {
  char text[256] = "";
  DdeQueryStringA(g_instance, handle, text, sizeof text, CP_WINANSI);
  return text;
}

HDDEDATA CALLBACK Serve(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item, HDDEDATA data, ULONG_PTR,
                        ULONG_PTR) {
  if ((type == XTYP_REQUEST || type == XTYP_POKE) && g_sleeps.count(TextOf(topic))) Sleep(g_sleeps[TextOf(topic)]);
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(g_closedTopics.count(TextOf(topic)) ? FALSE : TRUE);
    case XTYP_REQUEST: {
      const std::string name = TextOf(topic);
      if (format != CF_TEXT || g_refused.count(name) || !g_replies.count(name)) return nullptr;
      if (g_delays.count(name) && !g_released.count(conversation)) {
        g_released.insert(conversation);
        SetTimer(nullptr, 0, g_delays[name], ReleaseHeld);
        return CBR_BLOCK;
      }
      const std::string& reply = g_replies[name];
      return DdeCreateDataHandle(g_instance, reinterpret_cast<LPBYTE>(const_cast<char*>(reply.c_str())),
                                 static_cast<DWORD>(reply.size() + 1), 0, item, CF_TEXT, 0);
    }
    case XTYP_POKE: {
      DWORD length = 0;
      const BYTE* bytes = DdeAccessData(data, &length);
      std::string text;
      for (DWORD i = 0; bytes && i < length && bytes[i]; ++i) text += static_cast<char>(bytes[i]);
      // The size of the data and the bytes after the text, in hex: logged
      // first, so that it is there once the poke line is.
      std::string tail;
      for (DWORD i = static_cast<DWORD>(text.size()); bytes && i < length; ++i) {
        static const char kHex[] = "0123456789abcdef";
        tail += kHex[bytes[i] >> 4];
        tail += kHex[bytes[i] & 15];
      }
      Log("pokedata\t" + std::to_string(length) + "\t" + tail);
      Log("poke\t" + TextOf(topic) + "\t" + text);
      if (bytes) DdeUnaccessData(data);
      return reinterpret_cast<HDDEDATA>(g_rejectPokes ? DDE_FNOTPROCESSED : DDE_FACK);
    }
    default:
      return nullptr;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ReadSettings();
  std::string args = "args";
  for (int i = 1; i < __argc; ++i) args += std::string("\t") + __argv[i];
  Log(args);
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  Log(std::string("cwd\t") + folder);

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "QuopStandIn";
  RegisterClassA(&windowClass);
  CreateWindowA("QuopStandIn", "Quop stand-in", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);

  if (DdeInitializeA(&g_instance, Serve, APPCLASS_STANDARD | CBF_FAIL_EXECUTES | CBF_FAIL_ADVISES, 0) ==
      DMLERR_NO_ERROR) {
    HSZ service = DdeCreateStringHandleA(g_instance, g_service.c_str(), CP_WINANSI);
    DdeNameService(g_instance, service, nullptr, DNS_REGISTER);
    Log("ready\t" + g_service);
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  if (g_instance) DdeUninitialize(g_instance);
  return 0;
}
