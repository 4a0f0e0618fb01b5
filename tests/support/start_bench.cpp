// Times a program's start until its window with the given title is visible,
// beside the start of a do-nothing program, as medians of several runs in
// milliseconds.   start_bench PROGRAM TITLE [RUNS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "uidriver.h"

namespace {}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 9;
  char own[MAX_PATH];
  GetModuleFileNameA(nullptr, own, sizeof own);
  std::string nothing = own;
  nothing = nothing.substr(0, nothing.find_last_of('\\') + 1) + "donothing.exe";
  std::vector<double> baseline, window;
  for (int i = 0; i < runs; ++i) {
    const double start = ui::NowMs();
    ui::Process process(nothing);
    if (!process.WaitExit()) std::fprintf(stderr, "start_bench: the yardstick did not end\n");
    baseline.push_back(ui::NowMs() - start);
  }
  for (int i = 0; i < runs; ++i) {
    const double start = ui::NowMs();
    ui::Process process(argv[1]);
    ui::WindowQuery query;
    query.processId = process.id();
    query.title = argv[2];
    HWND shown = nullptr;
    if (!ui::WaitForWindow(query, shown, 20000)) std::fprintf(stderr, "start_bench: no window\n");
    window.push_back(ui::NowMs() - start);
  }
  std::printf("baseline %.1f\nwindow %.1f\n", ui::Median(baseline), ui::Median(window));
  return 0;
}
