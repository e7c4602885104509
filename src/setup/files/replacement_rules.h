#pragma once
// Whether a file record may be written over what is on disk, and the log
// line that says why it was skipped or replaced. Decides only; the facts of
// the existing file are gathered by the caller.
#include <cstdint>
#include <optional>
#include <string>

#include "tl_core/date_time.h"

namespace setup {

enum class ReplaceMode : uint32_t {
  kAlways = 0,
  kNever = 1,
  kOnlyIfExists = 2,
  kOnlyIfMissing = 3,
  kNotOverNewer = 4,
};

struct ExistingFileFacts {
  bool exists = false;
  std::optional<tl::DateTime> stamp;  // last-write time (UTC); empty when unreadable
  std::string version;                // "FileVersion" of its version resource, or empty
};

struct ReplacementInput {
  std::string target;
  uint32_t kind = 0;
  uint32_t flags = 0;  // FileFlags: ReplaceMode in bits 2-4, permanent bit 5
  tl::DateTime stamp;  // the record's
  std::string version;  // the record's text field (kinds 6-9)
};

struct ReplacementDecision {
  bool write = false;
  // Whether a file counts as in place before the run: only the kinds that
  // compare with it. A locked file may be replaced at restart only then.
  bool existedBefore = false;
  // A skipped file the uninstaller must still remove.
  bool recordForUninstall = false;
  std::string logLine;  // empty: nothing is logged
};

ReplaceMode ReplaceModeOf(uint32_t flags);
// Kinds whose files the uninstaller removes: 0, 5, 9, 10, 11, 12.
bool IsPrivateKind(uint32_t kind);

ReplacementDecision DecideReplacement(const ReplacementInput& input, const ExistingFileFacts& existing);

}  // namespace setup
