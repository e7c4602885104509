#include "progress_display.h"

namespace pack {

void ProgressDisplay::Update(const std::string& phase, uint64_t done, uint64_t total) {
  if (!enabled_) return;
  std::string line = phase + ": ";
  if (total > 0)
    line += std::to_string(done * 100 / total) + "% (" + std::to_string(done >> 10) + " of " + std::to_string(total >> 10) +
            " KiB)";
  else
    line += std::to_string(done) + " files";
  if (line == last_) return;
  // Pad over a longer previous line.
  std::string shown = line;
  if (shown.size() < last_.size()) shown.append(last_.size() - shown.size(), ' ');
  std::fprintf(out_, "\r%s", shown.c_str());
  std::fflush(out_);
  last_ = line;
  drawn_ = true;
}

void ProgressDisplay::Finish() {
  if (!drawn_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
  drawn_ = false;
  last_.clear();
}

}  // namespace pack
