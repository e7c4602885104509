#include "tl_core/number_words.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tl {
namespace {

struct WordsCase {
  int64_t number;
  const char* cardinal;
  const char* ordinal;
};

TEST(NumberWords, CardinalAndOrdinal) {
  const WordsCase cases[] = {
      {0, "Zero", "Zeroth"},
      {1, "One", "First"},
      {5, "Five", "Fifth"},
      {8, "Eight", "Eighth"},
      {9, "Nine", "Ninth"},
      {12, "Twelve", "Twelfth"},
      {13, "Thirteen", "Thirteenth"},
      {19, "Nineteen", "Nineteenth"},
      {20, "Twenty", "Twentieth"},
      {23, "Twenty-Three", "Twenty-Third"},
      {40, "Forty", "Fortieth"},
      {99, "Ninety-Nine", "Ninety-Ninth"},
      {100, "One Hundred", "One Hundredth"},
      {101, "One Hundred One", "One Hundred First"},
      {1000, "One Thousand", "One Thousandth"},
      {2005, "Two Thousand Five", "Two Thousand Fifth"},
      {2026, "Two Thousand Twenty-Six", "Two Thousand Twenty-Sixth"},
      {1999, "One Thousand Nine Hundred Ninety-Nine", "One Thousand Nine Hundred Ninety-Ninth"},
      {1000000, "One Million", "One Millionth"},
      {1002003, "One Million Two Thousand Three", "One Million Two Thousand Third"},
      {-42, "Minus Forty-Two", "Minus Forty-Second"},
  };
  for (const WordsCase& c : cases) {
    EXPECT_EQ(NumberInWords(c.number), c.cardinal) << c.number;
    EXPECT_EQ(OrdinalInWords(c.number), c.ordinal) << c.number;
  }
}

TEST(NumberWords, ExtremesOfTheRange) {
  EXPECT_EQ(NumberInWords(std::numeric_limits<int64_t>::max()),
            "Nine Quintillion Two Hundred Twenty-Three Quadrillion Three Hundred Seventy-Two Trillion "
            "Thirty-Six Billion Eight Hundred Fifty-Four Million Seven Hundred Seventy-Five Thousand "
            "Eight Hundred Seven");
  EXPECT_EQ(NumberInWords(std::numeric_limits<int64_t>::min()),
            "Minus Nine Quintillion Two Hundred Twenty-Three Quadrillion Three Hundred Seventy-Two "
            "Trillion Thirty-Six Billion Eight Hundred Fifty-Four Million Seven Hundred Seventy-Five "
            "Thousand Eight Hundred Eight");
}

}  // namespace
}  // namespace tl
