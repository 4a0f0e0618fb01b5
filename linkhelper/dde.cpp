#include "dde_client.h"

namespace {

DWORD g_ddeInstance = 0;
// The handles of the last transaction, held until the next one or shut-down.
HSZ g_service = nullptr;
HSZ g_topic = nullptr;
HSZ g_item = nullptr;
HDDEDATA g_outgoing = nullptr;
HDDEDATA g_reply = nullptr;

DWORD g_ddeSpent = 0;
bool g_hung = false;

// The transaction itself, its own wait counted; a time-out marks the client
// hung. Its result, as DdeClientTransaction's.
HDDEDATA TimedTransaction(LPBYTE data, DWORD size, HCONV conversation, UINT type, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  HDDEDATA result = DdeClientTransaction(data, size, conversation, g_item, CF_TEXT, type, timeoutMs, nullptr);
  g_ddeSpent += GetTickCount() - start;
  if (!result) {
    const UINT error = DdeGetLastError(g_ddeInstance);
    g_hung = error == DMLERR_DATAACKTIMEOUT || error == DMLERR_POKEACKTIMEOUT;
  }
  return result;
}

}  // namespace

void StartDdeWork() { g_ddeSpent = 0; }

DWORD DdeTimeLeft() { return g_ddeSpent >= kDdeWorkMs ? 0 : kDdeWorkMs - g_ddeSpent; }

bool DdeClientHung() { return g_hung; }

bool DdeTransact(const char* service, const char* topic, const char* item, char* buffer, DdeKind kind,
                 DWORD timeoutMs) {
  ReleaseDdeHandles();
  // Without a service name DDE would ask any program that serves the topic:
  // no name, or one the system cannot hold, means that no client answers.
  if (!g_ddeInstance || !service[0] || g_hung) return false;
  g_service = DdeCreateStringHandleA(g_ddeInstance, service, CP_WINANSI);
  g_topic = DdeCreateStringHandleA(g_ddeInstance, topic, CP_WINANSI);
  if (!g_service || !g_topic) return false;
  HCONV conversation = DdeConnect(g_ddeInstance, g_service, g_topic, nullptr);
  if (!conversation) return false;

  g_item = DdeCreateStringHandleA(g_ddeInstance, item, CP_WINANSI);
  // The text, its terminator and four zero bytes that carry nothing, taken
  // from a copy: the caller's buffer may end right after the terminator.
  BYTE outgoing[kPathSize + 4] = {};
  const size_t textLength = TextLength(buffer, kPathSize - 1);
  for (size_t i = 0; i < textLength; ++i) outgoing[i] = static_cast<BYTE>(buffer[i]);
  g_outgoing = DdeCreateDataHandle(g_ddeInstance, outgoing, static_cast<DWORD>(textLength + 5), 0, g_item, CF_TEXT, 0);
  if (!g_outgoing) {
    DdeDisconnect(conversation);
    return false;
  }

  if (kind == DdeKind::kPoke) {
    TimedTransaction(reinterpret_cast<LPBYTE>(g_outgoing), static_cast<DWORD>(-1), conversation, XTYP_POKE, timeoutMs);
    g_outgoing = nullptr;  // handed over: it belongs to the system now
    if (g_hung) return false;
    DdeDisconnect(conversation);
    return true;  // a refused poke is not a failure
  }

  // A request carries no data of its own; the outgoing handle stays ours.
  g_reply = TimedTransaction(nullptr, 0, conversation, XTYP_REQUEST, timeoutMs);
  if (!g_reply) {
    buffer[0] = '\0';
    if (!g_hung) DdeDisconnect(conversation);
    return false;
  }
  DWORD length = 0;
  const BYTE* data = DdeAccessData(g_reply, &length);
  if (data) {
    // Up to the first zero byte, cut to the buffer.
    size_t i = 0;
    for (; i + 1 < kPathSize && i < length && data[i]; ++i) buffer[i] = static_cast<char>(data[i]);
    buffer[i] = '\0';
  } else {
    buffer[0] = '\0';
  }
  DdeUnaccessData(g_reply);
  DdeDisconnect(conversation);
  return true;
}

HDDEDATA CALLBACK DDECallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;  // the helper serves nothing
}

void InitDde() { DdeInitializeA(&g_ddeInstance, DDECallback, 0, 0); }

void ReleaseDdeHandles() {
  for (HDDEDATA* data : {&g_reply, &g_outgoing}) {
    if (*data) DdeFreeDataHandle(*data);
    *data = nullptr;
  }
  for (HSZ* text : {&g_item, &g_topic, &g_service}) {
    if (*text) DdeFreeStringHandle(g_ddeInstance, *text);
    *text = nullptr;
  }
}

void ShutDownDde() {
  ReleaseDdeHandles();
  // Uninitialising ends every conversation, and waits for each partner to
  // acknowledge: a hung client's is left to the system, which ends it with
  // the helper's process.
  if (g_ddeInstance && !g_hung) DdeUninitialize(g_ddeInstance);
  g_ddeInstance = 0;
}
