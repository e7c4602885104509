#pragma once
// The progress line of long builds on stderr: one line rewritten in place,
// shown only when asked for (a terminal, or --progress).
#include <cstdint>
#include <cstdio>
#include <string>

namespace pack {

class ProgressDisplay {
 public:
  ProgressDisplay(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}
  ~ProgressDisplay() { Finish(); }

  // A phase with done and total units; a total of 0 counts without a percentage.
  void Update(const std::string& phase, uint64_t done, uint64_t total);
  // Ends the line, if one was drawn.
  void Finish();

 private:
  std::FILE* out_;
  bool enabled_;
  bool drawn_ = false;
  std::string last_;
};

}  // namespace pack
