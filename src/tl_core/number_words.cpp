#include "tl_core/number_words.h"

#include <string_view>

namespace tl {
namespace {

constexpr std::string_view kBelowTwenty[] = {
    "Zero",    "One",     "Two",       "Three",    "Four",     "Five",    "Six",
    "Seven",   "Eight",   "Nine",      "Ten",      "Eleven",   "Twelve",  "Thirteen",
    "Fourteen", "Fifteen", "Sixteen",  "Seventeen", "Eighteen", "Nineteen"};
constexpr std::string_view kTens[] = {"",      "",      "Twenty",  "Thirty", "Forty",
                                      "Fifty", "Sixty", "Seventy", "Eighty", "Ninety"};

struct Scale {
  uint64_t value;
  std::string_view name;
};
constexpr Scale kScales[] = {{1000000000000000000ull, "Quintillion"},
                             {1000000000000000ull, "Quadrillion"},
                             {1000000000000ull, "Trillion"},
                             {1000000000ull, "Billion"},
                             {1000000ull, "Million"},
                             {1000ull, "Thousand"}};

void AppendWord(std::string& out, std::string_view word) {
  if (!out.empty()) out += ' ';
  out += word;
}

// 1 to 999.
void AppendBelowThousand(std::string& out, unsigned n) {
  if (n >= 100) {
    AppendWord(out, kBelowTwenty[n / 100]);
    AppendWord(out, "Hundred");
    n %= 100;
  }
  if (n == 0) return;
  if (n < 20) {
    AppendWord(out, kBelowTwenty[n]);
    return;
  }
  AppendWord(out, kTens[n / 10]);
  if (n % 10 != 0) {
    out += '-';
    out += kBelowTwenty[n % 10];
  }
}

std::string PositiveInWords(uint64_t n) {
  std::string out;
  for (const Scale& scale : kScales) {
    if (n < scale.value) continue;
    AppendBelowThousand(out, static_cast<unsigned>(n / scale.value));
    AppendWord(out, scale.name);
    n %= scale.value;
  }
  if (n != 0) AppendBelowThousand(out, static_cast<unsigned>(n));
  return out;
}

struct OrdinalForm {
  std::string_view cardinal;
  std::string_view ordinal;
};
constexpr OrdinalForm kIrregularOrdinals[] = {{"One", "First"},  {"Two", "Second"},  {"Three", "Third"},
                                              {"Five", "Fifth"}, {"Eight", "Eighth"}, {"Nine", "Ninth"},
                                              {"Twelve", "Twelfth"}};

// The ordinal of the last word, after a blank or a hyphen.
std::string OrdinalOfLastWord(std::string words) {
  const size_t start = words.find_last_of(" -") + 1;  // npos + 1 == 0
  const std::string_view last = std::string_view(words).substr(start);
  for (const OrdinalForm& form : kIrregularOrdinals) {
    if (last == form.cardinal) return words.replace(start, std::string::npos, form.ordinal);
  }
  if (last.back() == 'y') return words.replace(words.size() - 1, 1, "ieth");
  return words + "th";
}

}  // namespace

std::string NumberInWords(int64_t number) {
  if (number == 0) return std::string(kBelowTwenty[0]);
  // The magnitude of INT64_MIN does not fit an int64_t; it does fit uint64_t.
  const uint64_t magnitude = number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
  std::string words = PositiveInWords(magnitude);
  return number < 0 ? "Minus " + words : words;
}

std::string OrdinalInWords(int64_t number) { return OrdinalOfLastWord(NumberInWords(number)); }

}  // namespace tl
