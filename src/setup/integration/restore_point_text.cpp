#include "setup/integration/restore_point_text.h"

#include "tl_core/text.h"

namespace setup {

std::string RestorePointDescription(std::string_view productName, std::string_view version) {
  std::string description(productName);
  if (!version.empty()) {
    description += ' ';
    description += version;
  }
  return description;
}

std::u16string FitRestorePointDescription(std::u16string_view description) {
  if (description.size() <= kMaxRestorePointDescription) return std::u16string(description);
  size_t length = kMaxRestorePointDescription;
  const char16_t last = description[length - 1];
  if (last >= 0xD800 && last <= 0xDBFF) --length;  // a high surrogate without its partner
  return std::u16string(description.substr(0, length));
}

std::string RestorePointErrorText(RestorePointFailure failure, uint32_t status, std::string_view systemText) {
  switch (failure) {
    case RestorePointFailure::kLibraryMissing:
      return "System Restore is not present.";
    case RestorePointFailure::kFunctionMissing:
      return "SRSetRestorePointW is not present.";
    case RestorePointFailure::kCallFailed:
      break;
  }
  if (status == kRestoreStatusServiceDisabled) return "System Restore is turned off.";
  return tl::Format("Failed, code %u: %.*s", status, static_cast<int>(systemText.size()), systemText.data());
}

std::string RestorePointOutcomeLine(std::string_view errorText) {
  if (errorText.empty()) return "OK\r\n";
  return "FAILED\r\n" + std::string(errorText) + "\r\n\r\n";
}

}  // namespace setup
