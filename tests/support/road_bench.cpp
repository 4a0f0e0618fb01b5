// Times the link helper's roads under the platform, against the start of a
// do-nothing program, as medians of several runs in milliseconds:
//   join:  from starting urlhop32.exe until the running client logs the poke
//          (the helper asks VERSION, EXENAME, INIFILE, CONNECTED and
//          SERVERPORT, then pokes the join order);
//   address: the same road from an irc:// address, whose confirmation the
//          bench answers as soon as it shows;
//   floor: the same for the least program that makes those transactions;
//   start: from starting urlhop32.exe until the client it starts logs its arguments.
//   road_bench BUILD_FOLDER [RUNS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "uidriver.h"

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t Count(const std::string& path, const std::string& kind) {
  const std::string text = Read(path);
  size_t n = 0;
  for (size_t pos = 0; (pos = text.find(kind + "\t", pos)) != std::string::npos; ++pos) {
    if (pos == 0 || text[pos - 1] == '\n') ++n;
  }
  return n;
}

// Starts `exe` and times it until `done` holds (or until it ends, without one).
template <typename Done>
double TimeRun(const std::string& exe, const std::string& args, Done done) {
  const double start = ui::NowMs();
  ui::Process process(exe, args);
  if (!ui::WaitUntil([&] { return done(process); }, [] { return "not done"; }, 20000)) {
    std::fprintf(stderr, "road_bench: a run did not end\n");
  }
  const double elapsed = ui::NowMs() - start;
  if (!process.WaitExit(5000)) std::fprintf(stderr, "road_bench: the helper did not end\n");
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string build = argv[1];
  const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string dir = std::string(temp) + "quop-road-bench\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string log = dir + "client.log";
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("QUOP_STANDIN_LOG", log.c_str());
  CopyFileA((build + "\\linkhelper\\urlhop32.exe").c_str(), (dir + "urlhop32.exe").c_str(), FALSE);
  CopyFileA((build + "\\tests\\support\\standin\\quop32_us.exe").c_str(), (dir + "quop32.exe").c_str(), FALSE);

  const std::string request = dir + "request.txt";
  std::ofstream(request) << "server irc.example.cat\nchannel catala\n";
  const std::string helper = dir + "urlhop32.exe";
  const std::string nothing = build + "\\tests\\support\\donothing.exe";

  std::vector<double> baseline, join, address, floorRoad, start;
  for (int i = 0; i < runs; ++i) {
    baseline.push_back(TimeRun(nothing, "", [](ui::Process& p) { return !p.Running(); }));
  }
  {
    ui::Process client(dir + "quop32.exe", "--CONNECTED=not --SERVERPORT=irc.example.cat:6667");
    if (!ui::WaitUntil([&] { return Count(log, "ready") > 0; }, [] { return "the client not ready"; })) {
      std::fprintf(stderr, "road_bench: the client did not get ready\n");
    }
    for (int i = 0; i < runs; ++i) {
      // No program path yet: the helper asks the client for it, as the floor does.
      std::ofstream(dir + "quop.ini") << "[quoplink]\r\n";
      const size_t before = Count(log, "poke");
      join.push_back(TimeRun(helper, request, [&](ui::Process&) { return Count(log, "poke") > before; }));
      std::ofstream(dir + "quop.ini") << "[quoplink]\r\n";
      const size_t addressBefore = Count(log, "poke");
      address.push_back(TimeRun(helper, "irc://irc.example.cat/catala", [&](ui::Process& p) {
        if (HWND link = ui::FindTopWindow({p.id(), "QuopLink Connexi\xF3", "#32770"})) ui::Click(link, IDOK);
        return Count(log, "poke") > addressBefore;
      }));
      const size_t floorBefore = Count(log, "poke");
      floorRoad.push_back(TimeRun(build + "\\tests\\support\\floor_road.exe", "",
                                  [&](ui::Process&) { return Count(log, "poke") > floorBefore; }));
    }
  }
  std::ofstream(dir + "quop.ini") << "[quoplink]\r\nexe=quop32.exe\r\n";
  for (int i = 0; i < runs; ++i) {
    const size_t before = Count(log, "args");
    start.push_back(TimeRun(helper, request, [&](ui::Process&) { return Count(log, "args") > before; }));
  }
  std::printf("baseline %.1f\njoin %.1f\naddress %.1f\nfloor %.1f\nstart %.1f\n", ui::Median(baseline),
              ui::Median(join), ui::Median(address), ui::Median(floorRoad), ui::Median(start));
  return 0;
}
