#include <shlobj.h>

#include "setup/payload/settings_stream.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/ui/page_ids.h"
#include "setup/ui/wizard_page_win.h"
#include "setup/ui/wizard_pages_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

constexpr int kFolderTextLimit = 259;

// An item list of the shell, freed with the task allocator.
struct ShellItemList {
  ShellItemList() = default;
  ShellItemList(const ShellItemList&) = delete;
  ShellItemList& operator=(const ShellItemList&) = delete;
  ~ShellItemList() {
    if (items) ::CoTaskMemFree(items);
  }
  LPITEMIDLIST items = nullptr;
};

std::wstring PathOf(LPCITEMIDLIST items) {
  wchar_t path[MAX_PATH] = {};
  return items && ::SHGetPathFromIDListW(items, path) ? std::wstring(path) : std::wstring();
}

int CALLBACK SelectStartFolder(HWND picker, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start) ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

// The system's folder picker below `root` (the whole namespace when none),
// starting at `start`; the chosen folder, or empty.
std::wstring PickFolder(HWND page, const std::string& title, LPCITEMIDLIST root, const std::wstring& start) {
  BROWSEINFOW browse = {};
  browse.hwndOwner = page;
  browse.pidlRoot = root;
  const std::wstring wideTitle = tl::ToWide(title);
  browse.lpszTitle = wideTitle.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = &SelectStartFolder;
  browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  ShellItemList chosen;
  chosen.items = ::SHBrowseForFolderW(&browse);
  return PathOf(chosen.items);
}

void SetEditText(HWND page, const std::string& text) {
  ::SetWindowTextW(::GetDlgItem(page, IDC_FOLDER_EDIT), tl::ToWide(text).c_str());
}

class FolderPage : public PageHandler {
 public:
  FolderPage(const std::string& folder, const FolderPageHooks& hooks) : folder_(folder), hooks_(hooks) {}

  void Init(HWND page) override {
    HWND edit = ::GetDlgItem(page, IDC_FOLDER_EDIT);
    ::SendMessageW(edit, EM_LIMITTEXT, kFolderTextLimit, 0);
    SetEditText(page, folder_);
    RefreshSpaceLines(page);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
  }

  bool Next(HWND page) override {
    std::string typed = ControlText(page, IDC_FOLDER_EDIT);
    if (!hooks_.accept(typed)) {
      ::SetFocus(::GetDlgItem(page, IDC_FOLDER_EDIT));
      return false;
    }
    folder_ = typed;
    return true;
  }

  void Command(HWND page, int id, int notification) override {
    if (id == IDC_FOLDER_EDIT && notification == EN_CHANGE) RefreshSpaceLines(page);
    if (id == IDC_BROWSE && notification == BN_CLICKED) Browse(page);
  }

  const std::string& folder() const { return folder_; }

 private:
  void RefreshSpaceLines(HWND page) {
    auto [required, free] = hooks_.spaceLines(ControlText(page, IDC_FOLDER_EDIT));
    ::SetDlgItemTextA(page, IDC_REQUIRED_SPACE, required.c_str());
    ::SetDlgItemTextA(page, IDC_FREE_SPACE, free.c_str());
  }

  void Browse(HWND page) {
    std::wstring chosen =
        PickFolder(page, LocalizedString(kStringFolderPageText), nullptr, tl::ToWide(ControlText(page, IDC_FOLDER_EDIT)));
    if (!chosen.empty()) ::SetWindowTextW(::GetDlgItem(page, IDC_FOLDER_EDIT), chosen.c_str());
  }

  std::string folder_;
  const FolderPageHooks& hooks_;
};

class StartMenuPage : public PageHandler {
 public:
  StartMenuPage(const std::string& folder, bool allUsers) : folder_(folder), allUsers_(allUsers) {}

  void Init(HWND page) override {
    HWND edit = ::GetDlgItem(page, IDC_FOLDER_EDIT);
    ::SendMessageW(edit, EM_LIMITTEXT, kFolderTextLimit, 0);
    SetEditText(page, folder_);
    EnableNext(page);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
  }

  bool Next(HWND page) override {
    folder_ = ControlText(page, IDC_FOLDER_EDIT);
    return IsAcceptableStartMenuText(folder_);
  }

  void Command(HWND page, int id, int notification) override {
    if (id == IDC_FOLDER_EDIT && notification == EN_CHANGE) EnableNext(page);
    if (id == IDC_BROWSE && notification == BN_CLICKED) Browse(page);
  }

  const std::string& folder() const { return folder_; }

 private:
  static void EnableNext(HWND page) {
    ::EnableWindow(::GetDlgItem(page, IDC_NEXT), IsAcceptableStartMenuText(ControlText(page, IDC_FOLDER_EDIT)));
  }

  // A folder below the Start Menu's programs folder, taken relative to it.
  void Browse(HWND page) {
    ShellItemList root;
    if (FAILED(::SHGetSpecialFolderLocation(page, allUsers_ ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, &root.items)))
      return;
    const std::wstring base = PathOf(root.items);
    std::wstring chosen = PickFolder(page, LocalizedString(kStringStartMenuPageText), root.items, {});
    if (chosen.empty() || base.empty()) return;
    if (chosen.size() < base.size() || ::CompareStringOrdinal(chosen.c_str(), static_cast<int>(base.size()),
                                                              base.c_str(), static_cast<int>(base.size()),
                                                              TRUE) != CSTR_EQUAL)
      return;
    std::wstring relative = chosen.substr(base.size());
    while (!relative.empty() && relative.front() == L'\\') relative.erase(0, 1);
    ::SetWindowTextW(::GetDlgItem(page, IDC_FOLDER_EDIT), relative.c_str());
  }

  std::string folder_;
  bool allUsers_;
};

}  // namespace

std::optional<std::string> ShowFolderPage(const RunState& run, const std::string& folder,
                                          const FolderPageHooks& hooks) {
  const PageLayout layout = PageLayoutOf(run, kWizardFolderStyle);
  PageTexts texts;
  texts.headerTitle = kStringFolderPageTitle;
  texts.mainText = kStringFolderPageText;
  // Next leads on to the start menu page, or installs.
  texts.next = run.product.Flag(kFlagStartMenuPage) ? kStringNextButton : kStringInstallButton;
  texts.cancel = kStringCancelButton;
  texts.browse = kStringBrowseButton;
  FolderPage handler(folder, hooks);
  if (RunPage(PageTemplateName(WizardPage::kFolder, layout), PageLookOf(run, layout), texts, handler) != IDC_NEXT)
    return std::nullopt;
  return handler.folder();
}

std::optional<std::string> ShowStartMenuPage(const RunState& run, const std::string& folder) {
  const PageLayout layout = PageLayoutOf(run, kWizardStartMenuStyle);
  PageTexts texts;
  texts.headerTitle = kStringStartMenuTitle;
  texts.mainText = kStringStartMenuPageText;
  texts.next = kStringInstallButton;
  texts.cancel = kStringCancelButton;
  texts.browse = kStringBrowseButton;
  StartMenuPage handler(folder, run.product.stream.ShortcutMode == kShortcutsForAllUsers);
  if (RunPage(PageTemplateName(WizardPage::kStartMenu, layout), PageLookOf(run, layout), texts, handler) !=
      IDC_NEXT)
    return std::nullopt;
  return handler.folder();
}

}  // namespace setup
