// uidriver.exe: drives the windows of another program as a person would.
//
//   uidriver wait   [match] [--timeout S]          waits for a window, prints it
//   uidriver answer [match] --id N [--timeout S]   waits, prints, clicks control N
//   uidriver click  [match] --id N                 clicks control N of the window
//   uidriver type   [match] --id N --text T        sets the text of an edit box
//   uidriver select [match] --id N --index I       selects entry I of list box N, as a click would
//   uidriver check  [match] --id N                 checks check box N
//   uidriver state  [match] --id N                 prints "enabled E visible V checked C position P" of
//                                                  control N (P: a progress bar's position, else 0)
//   uidriver reached [match] --id N --position P --click M [--timeout S]
//                                                  waits until the position of bar N is P or more, clicks
//                                                  control M at once, prints "position X" (the one it saw)
//   uidriver send   [match] --message M            sends message M (wParam and lParam 0), prints "result R"
//   uidriver watch  [match] --id N [--timeout S]   waits for a window, then until it closes prints each
//                                                  new text of control N as "text T" and each new
//                                                  position of its progress bar as "position P"
//   uidriver pixel  [match] --x X --y Y            prints "pixel RRGGBB", the colour the window shows at
//                                                  X, Y of its client area
//   uidriver close  [match]                        posts WM_CLOSE to the window
//   uidriver closed [match] [--timeout S]          waits until no such window is left
//   uidriver list                                  prints every visible top-level window
//
// match: --class NAME (exact), --title TEXT (exact caption), --title-prefix TEXT,
//        --pid N (windows of that process only), --with-id N (windows with a control N).
// A printed window reads:
//   window <handle> class=<class> pid=<pid>
//   caption <text>
//   rect <left> <top> <right> <bottom>
//   control <id> <class> <text>
// with \r \n \t and \\ escaped, so one control is one line.
// Exit codes: 0 done, 1 time-out or no such window/control, 2 usage error.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Match {
  std::string className;
  std::string title;
  std::string titlePrefix;
  DWORD pid = 0;
  int withId = -1;
};

struct Options {
  std::string command;
  Match match;
  int id = -1;
  int index = -1;
  int position = -1;
  int click = -1;
  int message = -1;
  int x = -1, y = -1;
  std::string text;
  double timeoutSeconds = 20;
};

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool Matches(HWND window, const Match& m) {
  if (!IsWindowVisible(window)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (m.pid && pid != m.pid) return false;
  if (!m.className.empty() && ClassOf(window) != m.className) return false;
  if (m.withId >= 0 && !GetDlgItem(window, m.withId)) return false;
  if (!m.title.empty() || !m.titlePrefix.empty()) {
    std::string caption = WindowText(window);
    if (!m.title.empty() && caption != m.title) return false;
    if (!m.titlePrefix.empty() && caption.compare(0, m.titlePrefix.size(), m.titlePrefix) != 0)
      return false;
  }
  return true;
}

struct FindState {
  const Match* match;
  HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<FindState*>(param);
  if (Matches(window, *state->match)) {
    state->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindMatching(const Match& match) {
  FindState state{&match, nullptr};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

HWND WaitFor(const Match& match, double timeoutSeconds) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindMatching(match)) return window;
    if (GetTickCount() - start > timeoutSeconds * 1000) return nullptr;
    Sleep(100);
  }
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  std::printf("control %d %s %s\n", GetDlgCtrlID(child), ClassOf(child).c_str(),
              Escape(WindowText(child)).c_str());
  return TRUE;
}

void Print(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::printf("window %p class=%s pid=%lu\n", static_cast<void*>(window), ClassOf(window).c_str(), pid);
  std::printf("caption %s\n", Escape(WindowText(window)).c_str());
  RECT r = {};
  GetWindowRect(window, &r);
  std::printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  EnumChildWindows(window, PrintChild, 0);
  std::fflush(stdout);
}

bool Click(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  if (!control) return false;
  // A WM_COMMAND from the button is what a click makes the dialog see.
  return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

bool Type(HWND window, int id, const std::string& text) {
  HWND control = GetDlgItem(window, id);
  if (!control) return false;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
}

bool Select(HWND window, int id, int index) {
  HWND list = GetDlgItem(window, id);
  if (!list) return false;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(list, LB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  // The list tells its dialog, as it does when the user clicks an entry.
  return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool Check(HWND window, int id) {
  HWND box = GetDlgItem(window, id);
  if (!box) return false;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(box, BM_SETCHECK, BST_CHECKED, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
}

// The position of a progress bar; -1 when it does not answer in time.
int Position(HWND bar) {
  DWORD_PTR position = 0;
  if (!SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position)) return -1;
  return static_cast<int>(position);
}

bool PrintState(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  if (!control) return false;
  DWORD_PTR checked = 0;
  SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
  const int position = lstrcmpiA(ClassOf(control).c_str(), PROGRESS_CLASSA) == 0 ? Position(control) : 0;
  std::printf("enabled %d visible %d checked %d position %d\n", IsWindowEnabled(control) ? 1 : 0,
              IsWindowVisible(control) ? 1 : 0, checked == BST_CHECKED ? 1 : 0, position);
  std::fflush(stdout);
  return true;
}

// Polls every 5 ms, so that the click follows the position as closely as
// another process can.
bool ClickWhenReached(HWND window, const Options& o) {
  HWND bar = GetDlgItem(window, o.id);
  if (!bar || !GetDlgItem(window, o.click)) return false;
  DWORD start = GetTickCount();
  for (;;) {
    int position = Position(bar);
    if (position >= o.position) {
      bool clicked = Click(window, o.click);
      std::printf("position %d\n", position);
      std::fflush(stdout);
      return clicked;
    }
    if (!IsWindow(window) || GetTickCount() - start > o.timeoutSeconds * 1000) return false;
    Sleep(5);
  }
}

bool PrintResult(HWND window, int message) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) return false;
  std::printf("result %lld\n", static_cast<long long>(result));
  std::fflush(stdout);
  return true;
}

// One WM_GETTEXT: a length asked first could belong to an earlier text.
// False when the control does not answer (it is being destroyed).
bool CurrentText(HWND control, std::string& text) {
  char buffer[4096] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                           2000, &copied))
    return false;
  text.assign(buffer, copied);
  return true;
}

bool Watch(HWND window, const Options& o) {
  HWND control = GetDlgItem(window, o.id);
  if (!control) return false;
  HWND bar = FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr);
  std::string lastText, text;
  bool printed = false;
  int lastPosition = -1;
  DWORD start = GetTickCount();
  while (IsWindow(window)) {
    if (CurrentText(control, text) && (!printed || text != lastText)) {
      std::printf("text %s\n", Escape(text).c_str());
      lastText = text;
      printed = true;
    }
    int position = bar ? Position(bar) : -1;
    if (position >= 0 && position != lastPosition) {
      std::printf("position %d\n", position);
      lastPosition = position;
    }
    std::fflush(stdout);
    if (GetTickCount() - start > o.timeoutSeconds * 1000) return false;
    Sleep(3);
  }
  return true;
}

bool PrintPixel(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  if (!dc) return false;
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  if (color == CLR_INVALID) return false;
  std::printf("pixel %02X%02X%02X\n", GetRValue(color), GetGValue(color), GetBValue(color));
  std::fflush(stdout);
  return true;
}

BOOL CALLBACK ListProc(HWND window, LPARAM) {
  if (IsWindowVisible(window)) Print(window);
  return TRUE;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  if (argc < 2) return false;
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) return false;
    const char* v = argv[++i];
    if (a == "--class") o.match.className = v;
    else if (a == "--title") o.match.title = v;
    else if (a == "--title-prefix") o.match.titlePrefix = v;
    else if (a == "--pid") o.match.pid = std::strtoul(v, nullptr, 10);
    else if (a == "--with-id") o.match.withId = std::atoi(v);
    else if (a == "--id") o.id = std::atoi(v);
    else if (a == "--text") o.text = v;
    else if (a == "--index") o.index = std::atoi(v);
    else if (a == "--position") o.position = std::atoi(v);
    else if (a == "--click") o.click = std::atoi(v);
    else if (a == "--message") o.message = std::atoi(v);
    else if (a == "--x") o.x = std::atoi(v);
    else if (a == "--y") o.y = std::atoi(v);
    else if (a == "--timeout") o.timeoutSeconds = std::atof(v);
    else return false;
  }
  return true;
}

int Fail(const char* what) {
  std::fprintf(stderr, "uidriver: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr, "usage: uidriver wait|answer|click|type|select|check|state|reached|send|watch|pixel|close|closed|list "
                         "[options]\n");
    return 2;
  }
  if (o.command == "list") {
    EnumWindows(ListProc, 0);
    return 0;
  }
  if (o.command == "closed") {
    DWORD start = GetTickCount();
    while (FindMatching(o.match)) {
      if (GetTickCount() - start > o.timeoutSeconds * 1000) return Fail("window still open");
      Sleep(100);
    }
    return 0;
  }
  const bool waits = o.command == "wait" || o.command == "answer" || o.command == "reached" || o.command == "watch";
  HWND window = WaitFor(o.match, waits ? o.timeoutSeconds : 0);
  if (!window) return Fail("no matching window");
  if (o.command == "wait") {
    Print(window);
    return 0;
  }
  if (o.command == "answer") {
    Print(window);
    return Click(window, o.id) ? 0 : Fail("no such control");
  }
  if (o.command == "click") return Click(window, o.id) ? 0 : Fail("no such control");
  if (o.command == "type") return Type(window, o.id, o.text) ? 0 : Fail("no such control");
  if (o.command == "select") return Select(window, o.id, o.index) ? 0 : Fail("no such control");
  if (o.command == "close") return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : Fail("cannot post");
  if (o.command == "check") return Check(window, o.id) ? 0 : Fail("no such control");
  if (o.command == "state") return PrintState(window, o.id) ? 0 : Fail("no such control");
  if (o.command == "reached")
    return ClickWhenReached(window, o) ? 0 : Fail("position not reached, or no such control");
  if (o.command == "send") return PrintResult(window, o.message) ? 0 : Fail("no answer");
  if (o.command == "pixel") return PrintPixel(window, o.x, o.y) ? 0 : Fail("no such pixel");
  if (o.command == "watch") return Watch(window, o) ? 0 : Fail("window still open, or no such control");
  return Fail("unknown command");
}
