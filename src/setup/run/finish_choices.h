#pragma once
// The finish actions the user chose on the summary page.
namespace setup {

struct FinishChoices {
  bool openFinishFile1 = false;
  bool launchFinishApp = false;
  bool showInstallLog = false;
  bool openFinishFile2 = false;
  bool operator==(const FinishChoices&) const = default;
};

}  // namespace setup
