#include "ansi_text.h"

#include <cstdint>

namespace pack {
namespace {

// Code points of bytes 0x80 to 0x9F in Windows-1252; 0 where the byte is unused.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The next code point of `text` at `i`, or -1 for a malformed sequence.
int32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  uint8_t lead = byte(i);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) return -1;
  int32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return -1;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr int32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
  i += length;
  return code;
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    int32_t code = NextCodePoint(utf8, i);
    if (code < 0) return std::nullopt;
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      out += static_cast<char>(code);
      continue;
    }
    int found = -1;
    for (int k = 0; k < 32; ++k)
      if (kHighControls[k] != 0 && kHighControls[k] == code) found = k;
    if (found < 0) return std::nullopt;
    out += static_cast<char>(0x80 + found);
  }
  return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  for (char c : text) {
    auto byte = static_cast<uint8_t>(c);
    if (byte >= 0x80 && byte < 0xA0)
      AppendUtf8(out, kHighControls[byte - 0x80] ? kHighControls[byte - 0x80] : 0xFFFD);
    else
      AppendUtf8(out, byte);
  }
  return out;
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<uint8_t>(c) >= 0x80) return false;
  return true;
}

std::string RecordPath(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string path = "|";
  path.append(utf8);
  return path;
}

std::string PathToUtf8(std::string_view stored) {
  if (!stored.empty() && stored[0] == '|') return std::string(stored.substr(1));
  return Windows1252ToUtf8(stored);
}

}  // namespace pack
