#pragma once
// The wizard's pages, each shown modally over the background window. A page
// returns what the user chose; what a cancel means is the caller's.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "setup/run/finish_choices.h"
#include "setup/run/run_state.h"
#include "setup/ui/page_rules.h"

namespace setup {

// The layout a page's style setting (WizardBlock) picks.
PageLayout PageLayoutOf(const RunState& run, int wizardBlockIndex);

// Lists the languages, preselects the user's and switches the page's texts
// with the selection. Sets the string table's current language; false on
// cancel.
bool ShowLanguagePage(const RunState& run);

// The greeting (string 1) as a page; false on cancel.
bool ShowGreetingPage(const RunState& run, PageLayout layout);

// A license or readme text in its own page; false when declined.
enum class DocumentKind { kLicense, kReadme };
bool ShowDocumentPage(const RunState& run, DocumentKind kind, std::span<const uint8_t> text);

// Asks until the typed text matches the password; false on cancel.
bool ShowPasswordPage(const RunState& run, const std::string& password);

// "Uninstall" (true) or cancel (false).
bool ShowMustUninstallPage(const RunState& run);

// The folder page. `spaceLines` gives the required and the free space line
// for a typed folder; `accept` runs the folder's tests (showing their
// messages) and is true when the page may end with that folder.
struct FolderPageHooks {
  std::function<std::pair<std::string, std::string>(const std::string& folder)> spaceLines;
  std::function<bool(const std::string& folder)> accept;
};
// The accepted folder, or nothing on cancel.
std::optional<std::string> ShowFolderPage(const RunState& run, const std::string& folder,
                                          const FolderPageHooks& hooks);

// The start menu page; the chosen folder, or nothing on cancel.
std::optional<std::string> ShowStartMenuPage(const RunState& run, const std::string& folder);

// Which finish actions the summary page offers.
struct FinishOffers {
  bool openFinishFile1 = false;
  bool launchFinishApp = false;
  bool showInstallLog = false;
  bool openFinishFile2 = false;
};
// The checked boxes; closing the page clears them all.
FinishChoices ShowSummaryPage(const RunState& run, const FinishOffers& offers);

}  // namespace setup
