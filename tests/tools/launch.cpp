// launch.exe PROGRAM TAIL_HEX [--argv0-hex HEX]
// Starts PROGRAM with the exact command line "\"PROGRAM\" " + TAIL (the tail
// given as hex, so no quoting of Wine's or a shell's touches it), waits for
// it and returns its exit code. With --argv0-hex the program's own name part
// of the command line is replaced too (the whole line is then ARGV0 + " " + TAIL,
// or ARGV0 alone for an empty tail). Exit code 255 means the start failed.
#include <windows.h>

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

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: launch PROGRAM TAIL_HEX [--argv0-hex HEX]\n");
    return 255;
  }
  std::string program = argv[1];
  std::string tail = FromHex(argv[2]);
  std::string commandLine = "\"" + program + "\"";
  if (argc >= 5 && std::strcmp(argv[3], "--argv0-hex") == 0) commandLine = FromHex(argv[4]);
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
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 255;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
