// The DDE conversation with the running client: one conversation per
// transaction, texts in CF_TEXT, the same text as topic and item.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include "text_core.h"

enum class DdeKind { kRequest, kPoke };

constexpr DWORD kDdeTimeoutMs = 2000;
// What the transactions of one link flow should take in all, counted over
// their own waits (not the conversations' openings and endings): a slow
// client is asked only what the link itself needs once less than two
// transactions' worth is left. Each transaction still has its full limit.
constexpr DWORD kDdeWorkMs = 5000;

// Starts the DDE work of a link flow afresh.
void StartDdeWork();
// What is left of it, in milliseconds; 0 once it is spent.
DWORD DdeTimeLeft();
// True once a transaction has failed by running out of time (DdeGetLastError
// says so): the client is hung. Its conversation is left as it is, not
// ended: ending it would wait for a partner that does not answer.
bool DdeClientHung();

void InitDde();
void ShutDownDde();
// Frees the handles that the last transaction left held.
void ReleaseDdeHandles();
// Exported under its own name, undecorated.
extern "C" __declspec(dllexport) HDDEDATA CALLBACK
    DDECallback(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2, HDDEDATA data, ULONG_PTR data1,
                ULONG_PTR data2);

// A request puts the client's reply into `buffer` (kPathSize bytes, a longer
// reply is cut); a poke sends the buffer's text. False when no conversation
// could be opened, the service name being empty or the client hung among the
// reasons (buffer unchanged), the outgoing data could not be made
// (unchanged), a request got no reply (buffer emptied), or a poke ran out of
// time. A poke that the client refuses still succeeds.
bool DdeTransact(const char* service, const char* topic, const char* item, char* buffer, DdeKind kind, DWORD timeoutMs);
