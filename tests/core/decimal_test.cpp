// The portable decimal writer and reader against the standard library's own, where
// this compiler's library has them: the same text, the same values, the same errors.
#include "game/decimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tilerush {
namespace {

std::string ours(double value) {
  char buffer[kShortestChars];
  auto result = writeShortest(buffer, buffer + sizeof buffer, value);
  EXPECT_EQ(result.ec, std::errc());
  return std::string(buffer, result.ptr);
}

std::string standard(double value) {
  char buffer[kShortestChars];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Doubles where shortest texts go wrong: powers of two and ten and their neighbours,
// the ends of the range, the edges between fixed and scientific, the game's floats.
std::vector<double> edgeDoubles() {
  std::vector<double> values = {0.0,
                                -0.0,
                                0.1,
                                0.2,
                                0.3,
                                1.0 / 3,
                                2.0 / 3,
                                5e-324,
                                1e-323,
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::epsilon(),
                                9007199254740991.0,
                                9007199254740992.0,
                                9007199254740993.0,
                                123e5,
                                1234567890123456700000.0,
                                226.1999969482422,
                                6649.60009765625,
                                static_cast<double>(226.2f),
                                static_cast<double>(0.1f),
                                414.75,
                                -182.49};
  for (int e = -1074; e <= 1023; ++e) {
    const double p = std::ldexp(1.0, e);
    values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, INFINITY)});
  }
  for (int e = -325; e <= 308; ++e) {
    const double p = std::pow(10.0, e);
    values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, INFINITY), 9 * p, 1.5 * p});
  }
  return values;
}

TEST(Decimal, WritesExactlyWhatTheStandardToCharsWrites) {
  for (double value : edgeDoubles()) {
    ASSERT_EQ(ours(value), standard(value)) << "edge value " << value;
    ASSERT_EQ(ours(-value), standard(-value)) << "edge value " << -value;
  }
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<int> digits(1, 17);
  std::uniform_int_distribution<int> exponents(-30, 30);
  for (int i = 0; i < 100000; ++i) {
    // Any bit pattern, then a short decimal near the game's scale, then a float widened.
    const double any = std::bit_cast<double>(random());
    if (std::isfinite(any)) {
      ASSERT_EQ(ours(any), standard(any)) << std::hexfloat << any;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.*e", digits(random) - 1,
                  std::ldexp(static_cast<double>(random() >> 11), -53) * std::pow(10.0, exponents(random)));
    const double shortish = std::strtod(text, nullptr);
    ASSERT_EQ(ours(shortish), standard(shortish)) << text;
    const double widened = static_cast<float>(std::bit_cast<double>(random()) / 1e300 * 1e290);
    if (std::isfinite(widened)) {
      ASSERT_EQ(ours(widened), standard(widened)) << widened;
    }
  }
  EXPECT_EQ(ours(INFINITY), "inf");
  EXPECT_EQ(ours(-INFINITY), "-inf");
  EXPECT_EQ(ours(std::nan("")), "nan");
  EXPECT_EQ(ours(1e20), "1e+20");
  EXPECT_EQ(ours(1e-7), "1e-07");
  char tiny[3];
  EXPECT_EQ(writeShortest(tiny, tiny + sizeof tiny, 1234.5).ec, std::errc::value_too_large);
}

void expectSameRead(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  double mine = 42;
  double theirs = 42;
  const auto a = readDecimal(first, last, mine);
  const auto b = std::from_chars(first, last, theirs);
  ASSERT_EQ(a.ec, b.ec) << "'" << text << "'";
  ASSERT_EQ(a.ptr - first, b.ptr - first) << "'" << text << "'";
  ASSERT_EQ(std::bit_cast<std::uint64_t>(mine), std::bit_cast<std::uint64_t>(theirs)) << "'" << text << "'";
}

TEST(Decimal, ReadsWhatTheStandardFromCharsReadsAndRefusesTheSame) {
  for (const char* text : {"",
                           "-",
                           ".",
                           "-.",
                           "+1",
                           " 1",
                           "1 ",
                           ".5",
                           "5.",
                           "-.5e",
                           "1e",
                           "1e+",
                           "1e-x",
                           "1E5",
                           "00012",
                           "-0",
                           "0e999999",
                           "0.000e-999999999999",
                           "1e-400",
                           "2.4e-324",
                           "2.5e-324",
                           "4.9e-324",
                           "1e-310",
                           "1e309",
                           "1.7976931348623157e308",
                           "1.7976931348623158e308",
                           "1.7976931348623159e308",
                           "1e99999999999999999999",
                           "1e-5000000000000000000000",
                           "0x10",
                           "12abc",
                           "1..2",
                           "1.2.3",
                           "--1",
                           "0.99999999",
                           "4000.5",
                           "226.1999969482422",
                           "12.5x",
                           "1e5000x",
                           "9"
                           "99999999999999999999999"}) {
    expectSameRead(text);
  }
  // Infinities and NaN are no decimal numbers: the reader leaves them out on purpose.
  for (double value : edgeDoubles()) {
    if (std::isfinite(value)) expectSameRead(standard(value));
  }
  std::mt19937_64 random(77);
  const std::string alphabet = "0123456789.-eE+x ";
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    expectSameRead(text);
    char number[48];
    std::snprintf(number, sizeof number, "%.*g", static_cast<int>(random() % 20) + 1,
                  std::bit_cast<double>(random()));
    if (std::isfinite(std::strtod(number, nullptr))) expectSameRead(number);
  }
}

}  // namespace
}  // namespace tilerush
