#include "setup/wizard/wizard_win.h"

#include <windows.h>

#include <span>

#include "setup/folders/install_folder_win.h"
#include "setup/folders/start_checks_win.h"
#include "setup/payload/product_flags.h"
#include "setup/run/run_control_win.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/ui/background_look.h"
#include "setup/ui/background_window_win.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/program_closing_win.h"
#include "setup/ui/wizard_pages_win.h"
#include "tl_core/process_win.h"

namespace setup {
namespace {

constexpr DWORD kClosingPumpMs = 333;

void ChooseLanguage(const RunState& run) {
  if (RunStrings().languageCount() <= 1 || run.automaticMode) return;
  if (!ShowLanguagePage(run)) ExitInstaller(1);
}

void Greet(const RunState& run) {
  if (run.automaticMode || run.product.Flag(kFlagNoGreeting)) return;
  const uint32_t style = run.product.stream.WizardBlock[kWizardGreetingStyle];
  const bool accepted = style == kStylePlain
                            ? AskOkCancel(LocalizedString(kStringGreeting), LocalizedString(kStringWizardCaption))
                            : ShowGreetingPage(run, LayoutOfStyle(style));
  if (!accepted) ExitInstaller(1);
}

// A password guards every run, an automatic one too: the switch /a must not
// be a way round it.
void AskPassword(const RunState& run) {
  const std::string& password = run.product.stream.InstallPassword;
  if (password.empty()) return;
  if (!ShowPasswordPage(run, password)) ExitInstaller(1);
}

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// The author's documents, then the further text of the string table.
void ShowDocuments(const RunState& run, DocumentKind kind) {
  if (run.automaticMode) return;
  const bool license = kind == DocumentKind::kLicense;
  const auto& documents = license ? run.product.stream.LicenseTexts : run.product.stream.ReadmeTexts;
  for (const std::vector<uint8_t>& text : documents) {
    if (!text.empty() && !ShowDocumentPage(run, kind, text)) CancelInstallation();
  }
  const std::string& further = LocalizedString(license ? kStringExtraLicense : kStringExtraReadme);
  if (!further.empty() && !ShowDocumentPage(run, kind, Bytes(further))) CancelInstallation();
}

void CloseRunningPrograms(const RunState& run) {
  std::vector<CloseRecord> atInstallation;
  for (const CloseRecord& record : run.product.stream.CloseList)
    if (record.phaseMask & kCloseAtInstallation) atInstallation.push_back(record);
  if (atInstallation.empty()) return;
  ClosePrograms(atInstallation, kStringWizardCaption);
  // The programs get a moment to go.
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < kClosingPumpMs) {
    tl::PumpWindowMessages();
    ::Sleep(10);
  }
  if (HWND background = BackgroundWindow()) ::SetForegroundWindow(background);
}

void ChooseStartMenuFolder(RunState& run) {
  if (run.earlier.found && !run.earlier.startMenuFolder.empty()) {
    run.folders.startMenuFolder = run.earlier.startMenuFolder;
    return;
  }
  if (run.automaticMode || !run.product.Flag(kFlagStartMenuPage)) return;
  std::optional<std::string> chosen = ShowStartMenuPage(run, run.folders.startMenuFolder);
  if (!chosen) CancelInstallation();
  run.folders.startMenuFolder = *chosen;
}

}  // namespace

void RunWizard(RunState& run) {
  ChooseLanguage(run);
  // The background shows the title of the chosen language (string 0) when
  // the product has no title of its own.
  SetBackgroundLook(BackgroundLookOf(run.product, LocalizedString(kStringSetupTitle)));
  RunStartChecks(run);
  ResolveConfiguredFolders(run);
  run.earlier = FindEarlierInstallation(run);
  Greet(run);
  AskPassword(run);
  ShowDocuments(run, DocumentKind::kLicense);
  ShowDocuments(run, DocumentKind::kReadme);
  CloseRunningPrograms(run);
  SettleInstallFolder(run);
  ChooseStartMenuFolder(run);
}

}  // namespace setup
