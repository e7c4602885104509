#pragma once
// Fatal stops of the process. FatalMessage formats its text into a
// 4096-byte buffer, runs the registered fatal handlers once (last registered
// first) and hands the text to the fatal callback, which ends the process.
// A second call ends the process at once with exit code 1.
#include <cstdarg>
#include <string>

namespace tl {

using FatalHandler = void (*)();
using FatalCallback = void (*)(const char* text);
using ProcessExit = void (*)(int exitCode);

constexpr int kFatalTextBuffer = 4096;
constexpr int kMaxFatalHandlers = 100;

void SetApplicationName(const std::string& name);
const std::string& ApplicationName();

// Returns false when the 100 places are taken.
bool RegisterFatalHandler(FatalHandler handler);
void SetFatalCallback(FatalCallback callback);
// How the process ends when the callback returns or on a nested call.
void SetProcessExit(ProcessExit exit);

[[noreturn]] void FatalMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void FatalMessageV(const char* format, va_list args);

// printf-style formatting limited the way the fatal buffer limits it
// (at most 4095 characters kept).
std::string FormatFatalText(const char* format, va_list args);

// The library's own internal faults.
[[noreturn]] void FatalIndexOutOfRange(const char* elementType, int index, int maxIndex);
[[noreturn]] void FatalDamagedString(int code, int usedLength, int allocatedLength);
[[noreturn]] void FatalInternalError(const char* module, int line);
[[noreturn]] void FatalOutOfMemory(unsigned requestedSize);

// The caption of the library's own fatal box, "FATAL ERROR - <application>".
std::string LibraryFatalCaption();

// Tests only: forget that a fatal stop happened and drop every handler.
void ResetFatalStateForTesting();

}  // namespace tl

#define TL_CHECK(condition) \
  do {                       \
    if (!(condition)) ::tl::FatalInternalError(__FILE__, __LINE__); \
  } while (0)
