// The least that does the link helper's join road, the yardstick of its
// time: no run-time start-up, DDE taken up, then the road's transactions
// with the client under "Quop", one conversation each (VERSION, EXENAME,
// INIFILE, CONNECTED and SERVERPORT asked, the join order poked), and out.
#include <windows.h>
#include <ddeml.h>

#include <initializer_list>

namespace {

HDDEDATA CALLBACK Callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

void Transact(DWORD instance, const char* topic, UINT type, const char* text) {
  HSZ service = DdeCreateStringHandleA(instance, "Quop", CP_WINANSI);
  HSZ item = DdeCreateStringHandleA(instance, topic, CP_WINANSI);
  if (HCONV conversation = DdeConnect(instance, service, item, nullptr)) {
    HDDEDATA data = text ? DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(const_cast<char*>(text)),
                                               static_cast<DWORD>(lstrlenA(text) + 1), 0, item, CF_TEXT, 0)
                         : nullptr;
    HDDEDATA reply = DdeClientTransaction(reinterpret_cast<LPBYTE>(data), data ? static_cast<DWORD>(-1) : 0,
                                          conversation, item, CF_TEXT, type, 2000, nullptr);
    if (reply && type == XTYP_REQUEST) DdeFreeDataHandle(reply);
    DdeDisconnect(conversation);
  }
  DdeFreeStringHandle(instance, item);
  DdeFreeStringHandle(instance, service);
}

}  // namespace

extern "C" void WinMainCRTStartup() {
  DWORD instance = 0;
  DdeInitializeA(&instance, Callback, 0, 0);
  for (const char* topic : {"VERSION", "EXENAME", "INIFILE", "CONNECTED", "SERVERPORT"}) {
    Transact(instance, topic, XTYP_REQUEST, nullptr);
  }
  Transact(instance, "CONNECT", XTYP_POKE, "#catala,1");
  DdeUninitialize(instance);
  ExitProcess(0);
}
