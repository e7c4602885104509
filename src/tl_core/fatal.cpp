#include "tl_core/fatal.h"

#include <cstdio>
#include <cstdlib>

namespace tl {
namespace {

struct FatalState {
  std::string applicationName;
  FatalHandler handlers[kMaxFatalHandlers] = {};
  int handlerCount = 0;
  FatalCallback callback = nullptr;
  ProcessExit exit = nullptr;
  bool entered = false;
};

FatalState& State() {
  static FatalState state;
  return state;
}

[[noreturn]] void EndProcess(int code) {
  if (State().exit) State().exit(code);
  std::_Exit(code);
}

}  // namespace

void SetApplicationName(const std::string& name) { State().applicationName = name; }
const std::string& ApplicationName() { return State().applicationName; }

bool RegisterFatalHandler(FatalHandler handler) {
  FatalState& s = State();
  if (s.handlerCount >= kMaxFatalHandlers) return false;
  s.handlers[s.handlerCount++] = handler;
  return true;
}

void SetFatalCallback(FatalCallback callback) { State().callback = callback; }
void SetProcessExit(ProcessExit exit) { State().exit = exit; }

std::string FormatFatalText(const char* format, va_list args) {
  char buffer[kFatalTextBuffer];
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (n < 0) return {};
  return std::string(buffer, n < kFatalTextBuffer ? n : kFatalTextBuffer - 1);
}

void FatalMessageV(const char* format, va_list args) {
  FatalState& s = State();
  if (s.entered) EndProcess(1);
  s.entered = true;
  std::string text = FormatFatalText(format, args);
  for (int i = s.handlerCount - 1; i >= 0; --i) s.handlers[i]();
  if (s.callback) {
    s.callback(text.c_str());
  } else {
    std::fprintf(stderr, "%s\n%s\n", LibraryFatalCaption().c_str(), text.c_str());
  }
  EndProcess(1);
}

void FatalMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FatalMessageV(format, args);
}

void FatalIndexOutOfRange(const char* elementType, int index, int maxIndex) {
  FatalMessage("Vector<%s>[%d]\r\nmax_index = %d", elementType, index, maxIndex);
}

void FatalDamagedString(int code, int usedLength, int allocatedLength) {
  FatalMessage("Damaged String (%d):\r\nused length=%d\r\nallocated length=%d", code, usedLength,
               allocatedLength);
}

void FatalInternalError(const char* module, int line) {
  FatalMessage("Internal Fatal Error\r\nModule: %s\r\nLine: %d", module, line);
}

void FatalOutOfMemory(unsigned requestedSize) {
  FatalMessage("%s.\r\nAdvice: %s\r\nRequested size = %u (0x%08X)\r\n\r\nStack contents:",
               "Out Of Memory", "Make sure the hard drive is not full.", requestedSize,
               requestedSize);
}

std::string LibraryFatalCaption() { return "FATAL ERROR - " + ApplicationName(); }

void ResetFatalStateForTesting() { State() = FatalState(); }

}  // namespace tl
