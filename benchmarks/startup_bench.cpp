// Start-up benchmark: for the editor, a bare one-window program (the floor), the same main
// window written by hand with plain Win32 calls (the limit of what that window can cost)
// and the Wine prefix's Notepad, the milliseconds from process creation to the first
// activation of the program's window, and the process's peak working set. Prints medians
// and the ratios.
// Usage: startup_bench.exe <Quorvel.exe> <floor_window.exe> [runs] [handwritten] [notepad]

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
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
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
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
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
    std::printf(
        "usage: startup_bench <Quorvel.exe> <floor_window.exe> [runs] [handwritten_window.exe]"
        " [notepad.exe]\n");
    return 2;
  }
  int runs = argc > 3 ? std::atoi(argv[3]) : 15;
  struct Program {
    const char* name;
    std::string exe;
    std::vector<double> ms{}, peak{};  // filled by the runs
  };
  std::vector<Program> programs{{.name = "editor", .exe = argv[1]},
                                {.name = "floor", .exe = argv[2]}};
  if (argc > 4) programs.push_back({.name = "by hand", .exe = argv[4]});
  if (argc > 5) programs.push_back({.name = "notepad", .exe = argv[5]});
  for (Program& program : programs) Measure(program.exe);  // warm the file cache once each
  // Interleaved, so that a slow spell of the machine touches every program alike.
  for (int run = 0; run < runs; ++run)
    for (Program& program : programs) {
      Sample sample = Measure(program.exe);
      program.ms.push_back(sample.milliseconds);
      program.peak.push_back(sample.peakMiB);
    }
  std::printf("start-up to first activation, median of %d runs\n", runs);
  for (Program& program : programs)
    std::printf("  %-8s %8.1f ms   peak working set %6.1f MiB (largest %6.1f)\n", program.name,
                Median(program.ms), Median(program.peak),
                *std::max_element(program.peak.begin(), program.peak.end()));
  double editor = Median(programs[0].ms), floor = Median(programs[1].ms);
  std::printf("  ratio    %8.2f (editor / floor)\n", floor > 0 ? editor / floor : -1.0);
  if (programs.size() > 2) {
    double hand = Median(programs[2].ms);
    std::printf("  ratio    %8.2f (by hand / floor)\n", floor > 0 ? hand / floor : -1.0);
    std::printf("  ratio    %8.2f (editor / by hand; target at most 1.15)\n",
                hand > 0 ? editor / hand : -1.0);
    std::printf("  peak     %+8.1f MiB (editor - by hand; target at most +2.0)\n",
                Median(programs[0].peak) - Median(programs[2].peak));
  }
  if (programs.size() > 3)
    std::printf("  ratio    %8.2f (editor / notepad; target at most 1.00)\n",
                editor / Median(programs[3].ms));
  return 0;
}
