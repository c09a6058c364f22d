#include "engine/base/parse_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace velmo {
namespace {

struct Case {
  const char* text;
  std::int32_t value;
};

void ExpectValues(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) EXPECT_EQ(ParseNumber(c->text), c->value) << '"' << c->text << '"';
}

TEST(ParseNumber, HexadecimalNeedsOnlyHexDigits) {
  const Case cases[] = {
      {"0x1F", 31},
      {"0X1f", 31},
      {"0xaBc", 2748},
      {"0x1G", 0},
      {"0x", 0},
      {"0x 1", 0},
      {"0xFFFFFFFF", -1},
      {"0x7FFFFFFF", std::numeric_limits<std::int32_t>::max()},
      {"0x80000000", std::numeric_limits<std::int32_t>::min()},
      {"0x123456789", 0x23456789},
  };
  ExpectValues(std::begin(cases), std::end(cases));
}

TEST(ParseNumber, BinaryNeedsOnlyBinaryDigits) {
  const Case cases[] = {{"0b101", 5}, {"0B11", 3}, {"0b102", 0}, {"0b2", 0}, {"0b", 0}, {"0b0", 0}};
  ExpectValues(std::begin(cases), std::end(cases));
}

TEST(ParseNumber, TrueAndFalseInAnyCase) {
  const Case cases[] = {{"TRUE", 1}, {"true", 1}, {"True", 1}, {"FALSE", 0}, {"false", 0}, {"TRUEx", 0}};
  ExpectValues(std::begin(cases), std::end(cases));
}

TEST(ParseNumber, DecimalReadsDigitsAfterBlanksAndSign) {
  const Case cases[] = {
      {"500", 500}, {"-7", -7}, {"+5", 5}, {"  42", 42}, {"\t-3", -3}, {"12abc", 12}, {"1 2", 1},  {"010", 10},
      {"0", 0},     {"-0", 0},  {"", 0},   {"abc", 0},   {"-", 0},     {"- 5", 0},    {"１２", 0}, // full-width digits
                                                                                                   // are not digits
  };
  ExpectValues(std::begin(cases), std::end(cases));
}

TEST(ParseNumber, DecimalOverflowWrapsIn32Bits) {
  const Case cases[] = {
      {"2147483647", std::numeric_limits<std::int32_t>::max()},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"2147483648", std::numeric_limits<std::int32_t>::min()},
      {"4294967295", -1},
      {"4294967297", 1},
      {"-4294967297", -1},
      {"99999999999", 1215752191},
  };
  ExpectValues(std::begin(cases), std::end(cases));
}

TEST(ParseNumber, ReadsOnlyTheGivenLength) {
  const char text[] = "0x1F99";
  EXPECT_EQ(ParseNumber(std::string_view(text, 4)), 31);
  EXPECT_EQ(ParseNumber(std::string_view("1234", 2)), 12);
}

} // namespace
} // namespace velmo
