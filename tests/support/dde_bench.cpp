// Times the helper's DDE exchange against the stand-in client: one request,
// and one full VERSION + CONNECTED + SERVERPORT + poke sequence, as medians
// of many runs in milliseconds.   dde_bench STAND_IN_EXE [RUNS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dde_client.h"
#include "uidriver.h"

namespace {

template <typename Work>
double MedianMs(int runs, Work work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = ui::NowMs();
    work();
    times.push_back(ui::NowMs() - start);
  }
  return ui::Median(times);
}

// Each request the work of a link flow of its own.
bool Request(const char* topic, char (&buffer)[kPathSize]) {
  StartDdeWork();
  return DdeTransact("Quop", topic, topic, buffer, DdeKind::kRequest, kDdeTimeoutMs);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 200;
  ui::Process client(argv[1], "--CONNECTED=irc.example.cat --SERVERPORT=irc.example.cat:6667");
  InitDde();
  char buffer[kPathSize];
  if (!ui::WaitUntil([&] { return Request("VERSION", buffer); }, [] { return "no answer to VERSION"; })) return 1;

  const double request = MedianMs(runs, [&] { Request("VERSION", buffer); });
  const double sequence = MedianMs(runs, [&] {
    Request("VERSION", buffer);
    Request("CONNECTED", buffer);
    Request("SERVERPORT", buffer);
    CopyText(buffer, sizeof buffer, "#catala,1");
    DdeTransact("Quop", "CONNECT", "CONNECT", buffer, DdeKind::kPoke, kDdeTimeoutMs);
  });
  std::printf("request %.2f\nsequence %.2f\n", request, sequence);
  ShutDownDde();
  return 0;
}
