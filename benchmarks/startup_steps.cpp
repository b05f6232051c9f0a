// Where the editor's start-up goes: the steps of the program entry run in-process, each
// timed, from the process's creation to the main window's first activation. Median of
// several runs in fresh processes (this program starts itself again for each run).
// Usage: startup_steps.exe [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/u_main.h"
#include "toolkit/Application.h"
#include "trackartists/u_trackartists.h"

namespace {

double NowMs() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

// Milliseconds since this process was created, on the same clock as NowMs.
double SinceCreationMs() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  auto ticks = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return (ticks(now) - ticks(created)) / 10000.0;
}

const char* const kSteps[] = {"process start to main",
                              "common controls",
                              "main window object",
                              "main window and its controls made",
                              "creation step (lists, settings, map)",
                              "track-artist dialog, hidden",
                              "windows shown",
                              "first activation"};
constexpr int kStepCount = 8;

// One run: prints the step times on one line.
int RunOnce() {
  double at[kStepCount + 1];
  at[0] = NowMs() - SinceCreationMs();
  at[1] = NowMs();
  tk::Application& app = tk::Application::Instance();
  app.Initialize();
  app.SetTitle("Quorvel");
  at[2] = NowMs();
  Main_Form = new TMain_Form();
  at[3] = NowMs();
  Main_Form->Handle();
  at[4] = NowMs();
  Main_Form->DoCreate();
  at[5] = NowMs();
  app.CreateForm(TrackArtist_Form);
  at[6] = NowMs();
  Main_Form->Show();
  at[7] = NowMs();
  while (GetForegroundWindow() != Main_Form->Handle() || !Main_Form->KyAlbum.Focused())
    app.ProcessMessages();
  at[8] = NowMs();
  for (int i = 0; i < kStepCount; ++i) std::printf("%.2f ", at[i + 1] - at[i]);
  std::printf("\n");
  delete TrackArtist_Form;
  delete Main_Form;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--once") return RunOnce();
  int runs = argc > 1 ? std::atoi(argv[1]) : 11;
  std::vector<std::vector<double>> steps(kStepCount);
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  for (int run = 0; run <= runs; ++run) {
    std::string command = std::string("\"") + exe + "\" --once";
    FILE* child = _popen(command.c_str(), "r");
    if (!child) return 1;
    double value[kStepCount] = {};
    for (double& v : value)
      if (std::fscanf(child, "%lf", &v) != 1) v = -1;
    _pclose(child);
    if (run == 0) continue;  // the first run warms the file cache
    for (int i = 0; i < kStepCount; ++i) steps[i].push_back(value[i]);
  }
  std::printf("editor start-up by step, median of %d runs\n", runs);
  double total = 0;
  for (int i = 0; i < kStepCount; ++i) {
    std::sort(steps[i].begin(), steps[i].end());
    double median = steps[i][steps[i].size() / 2];
    total += median;
    std::printf("  %-38s %8.1f ms\n", kSteps[i], median);
  }
  std::printf("  %-38s %8.1f ms\n", "sum of the medians", total);
  return 0;
}
