// Start-up benchmark: for the editor and for a bare one-window program (the floor), the
// milliseconds from process creation to the first activation of the program's window,
// and the process's peak working set. Prints medians and the ratio to the floor.
// Usage: startup_bench.exe <Quorvel.exe> <floor_window.exe> [runs]

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
  double milliseconds = -1;
  double peakMiB = -1;
};

ULONGLONG Ticks100ns(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Starts the program, waits until a window of its own is the foreground window, reads its
// start-to-activation time and peak working set, then closes it.
Sample Measure(const std::string& exe) {
  Sample sample;
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION process{};
  std::string command = "\"" + exe + "\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return sample;
  HWND window = nullptr;
  FILETIME activated{};
  ULONGLONG deadline = GetTickCount64() + 20000;
  while (GetTickCount64() < deadline) {
    HWND foreground = GetForegroundWindow();
    DWORD pid = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &pid);
    if (pid == process.dwProcessId) {
      GetSystemTimePreciseAsFileTime(&activated);
      window = foreground;
      break;
    }
    Sleep(0);
  }
  if (window) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user);
    sample.milliseconds = (Ticks100ns(activated) - Ticks100ns(created)) / 10000.0;
    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
      sample.peakMiB = memory.PeakWorkingSetSize / (1024.0 * 1024.0);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return sample;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: startup_bench <Quorvel.exe> <floor_window.exe> [runs]\n");
    return 2;
  }
  int runs = argc > 3 ? std::atoi(argv[3]) : 15;
  Measure(argv[1]);  // warm the file cache and the wine server once for each
  Measure(argv[2]);
  std::vector<double> editorMs, floorMs, editorPeak, floorPeak;
  for (int run = 0; run < runs; ++run) {
    Sample editor = Measure(argv[1]);
    Sample floor = Measure(argv[2]);
    editorMs.push_back(editor.milliseconds);
    floorMs.push_back(floor.milliseconds);
    editorPeak.push_back(editor.peakMiB);
    floorPeak.push_back(floor.peakMiB);
  }
  double editor = Median(editorMs), floor = Median(floorMs);
  std::printf("start-up to first activation, median of %d runs\n", runs);
  std::printf("  editor  %8.1f ms   peak working set %6.1f MiB (largest %6.1f)\n", editor,
              Median(editorPeak), *std::max_element(editorPeak.begin(), editorPeak.end()));
  std::printf("  floor   %8.1f ms   peak working set %6.1f MiB\n", floor, Median(floorPeak));
  std::printf("  ratio   %8.2f (editor / floor)\n", floor > 0 ? editor / floor : -1.0);
  return 0;
}
