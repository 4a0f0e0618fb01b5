// The DDE conversation with the running client: one conversation per
// transaction, texts in CF_TEXT, the same text as topic and item.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include "text_core.h"

enum class DdeKind { kRequest, kPoke };

constexpr DWORD kDdeTimeoutMs = 2000;
// What the DDE work of one link flow may take in all: once it is spent, or a
// transaction has timed out (the client is hung), no further transaction is
// made, and the client counts as not answering. A hung client costs seconds.
constexpr DWORD kDdeWorkMs = 5000;

// Starts the DDE work of a link flow afresh.
void StartDdeWork();
// What is left of it, in milliseconds; 0 once it is over.
DWORD DdeTimeLeft();

void InitDde();
void ShutDownDde();
// Frees the handles that the last transaction left held.
void ReleaseDdeHandles();
// Exported under its own name, undecorated.
extern "C" __declspec(dllexport) HDDEDATA CALLBACK
    DDECallback(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2, HDDEDATA data, ULONG_PTR data1,
                ULONG_PTR data2);

// A request puts the client's reply into `buffer` (kPathSize bytes, a longer
// reply is cut); a poke sends the buffer's text. Each waits no longer than
// what is left of the DDE work. False when no conversation
// could be opened, the service name being empty or the DDE work being over
// among the reasons (buffer unchanged), the outgoing data could not be made
// (unchanged), or a request got no reply (buffer emptied). A poke that the
// client refuses still succeeds.
bool DdeTransact(const char* service, const char* topic, const char* item, char* buffer, DdeKind kind, DWORD timeoutMs);
