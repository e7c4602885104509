#pragma once
// One wizard page from start to end: the dialog template of its layout,
// the common set-up (icons, system menu, interface font, centring, texts
// from the string table, button pictures, side picture or header band) and
// the modal loop. What is particular to a page is its PageHandler.
#include <windows.h>

#include <string>

#include "setup/run/run_state.h"
#include "setup/ui/page_rules.h"

namespace setup {

// How the run's pages look; the same for every page but the layout.
struct PageLook {
  HINSTANCE instance = nullptr;
  HICON smallIcon = nullptr;
  HICON largeIcon = nullptr;
  PageLayout layout = PageLayout::kSidePicture;
  bool interfaceFont = false;      // ProductFlags bit 52
  bool buttonPictures = false;     // ProductFlags2 bit 10
  uint8_t sidePictureBorder = 0;   // 1 sunken, 2 thin
  std::string headerFirstLine;     // DialogCaption, placeholders replaced
};
PageLook PageLookOf(const RunState& run, PageLayout layout);

// The string numbers of a page's texts; kNoText leaves a control as it is.
inline constexpr int kNoText = -1;
struct PageTexts {
  int headerTitle = kNoText;  // the header's second line, or the caption
  int mainText = kNoText;
  int next = kNoText;
  int cancel = kNoText;
  int browse = kNoText;
  // The caption in the header layout (string 65 unless a page says otherwise).
  int headerLayoutCaption = kNoText;
  std::string mainTextPrefix;  // put before the main text ("\r\n\r\n" for the greeting's header)
  // A fixed next label instead of a string ("OK" of the password page).
  std::string fixedNext;
};

class PageHandler {
 public:
  virtual ~PageHandler() = default;
  // After the common set-up.
  virtual void Init(HWND page) { static_cast<void>(page); }
  // Next (or Enter): true ends the page with IDC_NEXT.
  virtual bool Next(HWND page) {
    static_cast<void>(page);
    return true;
  }
  // Cancel, Esc or the close box: true ends the page with IDC_CANCEL_PAGE.
  virtual bool Cancel(HWND page) {
    static_cast<void>(page);
    return true;
  }
  // Whether the page refuses to let the session end (log off, shut down).
  virtual bool RefusesEndSession() const { return false; }
  // Any other command of a control.
  virtual void Command(HWND page, int id, int notification) {
    static_cast<void>(page);
    static_cast<void>(id);
    static_cast<void>(notification);
  }
};

// Shows the page modally over PageOwner(); returns IDC_NEXT, or
// IDC_CANCEL_PAGE for cancel, Esc and the close box. The caller decides what
// a cancel means.
int RunPage(const std::string& templateName, const PageLook& look, const PageTexts& texts, PageHandler& handler);

// Creates the page modeless over PageOwner(), set up as RunPage does, and
// shows it; nullptr when it cannot be created. The look, texts and handler
// must outlive the window. Destroy it with DestroyWindow.
HWND OpenModelessPage(const std::string& templateName, const PageLook& look, const PageTexts& texts,
                      PageHandler& handler);

// Sets the page's texts again in the current language.
void ApplyPageTexts(HWND page);

// The window that owns the pages: the background window, while there is one.
HWND PageOwner();

// The text of a control as the user typed it.
std::string ControlText(HWND page, int id);

}  // namespace setup
