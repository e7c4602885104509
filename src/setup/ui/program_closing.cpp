#include "setup/ui/program_closing.h"

namespace setup {
namespace {

bool PatternMatches(std::string_view pattern, std::string_view text) {
  if (!pattern.empty() && pattern.front() == '*') return text.find(pattern.substr(1)) != std::string_view::npos;
  return pattern == text;
}

}  // namespace

bool CloseRecordMatches(const CloseRecord& record, std::string_view windowClass, std::string_view windowTitle) {
  if (record.classPattern.empty() && record.titlePattern.empty()) return false;
  if (!record.classPattern.empty() && !PatternMatches(record.classPattern, windowClass)) return false;
  if (!record.titlePattern.empty() && !PatternMatches(record.titlePattern, windowTitle)) return false;
  return true;
}

}  // namespace setup
