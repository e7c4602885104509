#include "tl_core/wide_text_win.h"

#include <windows.h>

namespace tl {
namespace {

std::wstring Convert(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0) ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string ConvertBack(UINT codePage, std::wstring_view text, BOOL* lossy) {
  if (text.empty()) return {};
  BOOL* flag = codePage == CP_UTF8 ? nullptr : lossy;
  // Without best-fit mapping a character the code page lacks is reported as
  // lost instead of turning silently into a look-alike (another path).
  const DWORD options = flag ? WC_NO_BEST_FIT_CHARS : 0;
  int n = ::WideCharToMultiByte(codePage, options, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, flag);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0)
    ::WideCharToMultiByte(codePage, options, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, flag);
  return out;
}

}  // namespace

std::wstring ToWide(std::string_view text) {
  if (!text.empty() && text.front() == '|') return Convert(CP_UTF8, text.substr(1));
  return Convert(CP_ACP, text);
}

std::string FromWide(std::wstring_view text) { return ConvertBack(CP_ACP, text, nullptr); }

std::string FromWideKeepingUnicode(std::wstring_view text) {
  BOOL lossy = FALSE;
  std::string ansi = ConvertBack(CP_ACP, text, &lossy);
  if (!lossy) return ansi;
  return "|" + ConvertBack(CP_UTF8, text, nullptr);
}

}  // namespace tl
