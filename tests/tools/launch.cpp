// launch.exe PROGRAM TAIL_HEX [--argv0-hex HEX] [--peak-memory]
// Starts PROGRAM with the exact command line "\"PROGRAM\" " + TAIL (the tail
// given as hex, so no quoting of Wine's or a shell's touches it), waits for
// it and returns its exit code. With --argv0-hex the program's own name part
// of the command line is replaced too (the whole line is then ARGV0 + " " + TAIL,
// or ARGV0 alone for an empty tail). With --peak-memory it prints
// "peak_working_set <bytes>" after the program ends. Exit code 255 means the
// start failed.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>

static std::string FromHex(const char* hex) {
  std::string out;
  for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
    unsigned value = 0;
    std::sscanf(hex + i, "%2x", &value);
    out += static_cast<char>(value);
  }
  return out;
}

// The largest peak working set the system reports for `process`, sampled
// while it runs and once more after it ended. Windows keeps the counters of
// an ended process, Wine answers only while the process lives: the samples
// serve both. 0 when no call succeeded.
class PeakMemory {
 public:
  void Sample(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (K32GetProcessMemoryInfo(process, &counters, sizeof counters)) {
      if (counters.PeakWorkingSetSize > peak_) peak_ = counters.PeakWorkingSetSize;
    } else {
      lastError_ = GetLastError();
    }
  }
  void Print() const {
    if (peak_ == 0) std::fprintf(stderr, "launch: no memory counters for the program (error %lu)\n", lastError_);
    std::printf("peak_working_set %llu\n", static_cast<unsigned long long>(peak_));
    std::fflush(stdout);
  }

 private:
  SIZE_T peak_ = 0;
  DWORD lastError_ = 0;
};

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: launch PROGRAM TAIL_HEX [--argv0-hex HEX] [--peak-memory]\n");
    return 255;
  }
  std::string program = argv[1];
  std::string tail = FromHex(argv[2]);
  std::string commandLine = "\"" + program + "\"";
  bool peakMemory = false;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--argv0-hex") == 0 && i + 1 < argc) {
      commandLine = FromHex(argv[++i]);
    } else if (std::strcmp(argv[i], "--peak-memory") == 0) {
      peakMemory = true;
    } else {
      std::fprintf(stderr, "launch: ignoring the unknown argument %s\n", argv[i]);
    }
  }
  if (!tail.empty()) commandLine += " " + tail;

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::fprintf(stderr, "launch: CreateProcess failed with %lu\n", GetLastError());
    return 255;
  }
  std::printf("pid %lu\n", process.dwProcessId);
  std::fflush(stdout);
  PeakMemory peak;
  if (peakMemory) {
    do peak.Sample(process.hProcess);
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT);
    peak.Sample(process.hProcess);
  } else {
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  DWORD code = 255;
  GetExitCodeProcess(process.hProcess, &code);
  if (peakMemory) peak.Print();
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
