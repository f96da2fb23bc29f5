// Number text: halves-to-even rounding, fixed-point text with the locale's separator.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/NumberText.h"

namespace ukh::platform {
namespace {

const TFormatSettings kDot{"."};
const TFormatSettings kComma{","};

TEST(NumberText, RoundGoesHalvesToEven) {
  struct {
    double Value;
    int64_t Expected;
  } cases[] = {{60.5, 60},
               {61.5, 62},
               {0.5, 0},
               {1.5, 2},
               {-0.5, 0},
               {-1.5, -2},
               {-2.5, -2},
               {60.49999999999999, 60},
               {60.50000000000001, 61},
               {89.9, 90},
               {-0.2, 0},
               {1e300, INT64_MAX},
               {-1e300, INT64_MIN}};
  for (const auto& c : cases) EXPECT_EQ(Round(c.Value), c.Expected) << c.Value;
}

TEST(NumberText, SpeedReadOutIsTheRoundedInteger) {
  EXPECT_EQ(IntToStr(Round(60.5)), "60");
  EXPECT_EQ(IntToStr(Round(61.5)), "62");
  EXPECT_EQ(IntToStr(Round(100.2)), "100");
  EXPECT_EQ(IntToStr(-7), "-7");
}

TEST(NumberText, FixedPointWithPrecisionFourAndTwoDigits) {
  struct {
    double Value;
    const char* Expected;
  } cases[] = {
      {2.0, "2.00"},       {3.0, "3.00"},     {1.99999, "2.00"},      {0.0, "0.00"},
      {1.2345, "1.23"},    {0.125, "0.12"},   {0.375, "0.38"},        {99.996, "100.00"},
      {123.456, "123.50"},  // four significant digits, then padded
      {9999.4, "9999.00"}, {9999.6, "1E+04"}, {12346.0, "1.235E+04"}, {12345.0, "1.234E+04"},
      {0.001234, "0.00"},  {-1.005, "-1.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FloatToStrF(c.Value, TFloatFormat::ffFixed, 4, 2, kDot), c.Expected) << c.Value;
}

TEST(NumberText, NegativeValueRoundingToZeroReadsAsPrintfWritesIt) {
  char printed[32];
  std::snprintf(printed, sizeof printed, "%.2f", -0.001);
  EXPECT_EQ(FloatToStrF(-0.001, TFloatFormat::ffFixed, 4, 2, kDot), printed);
  EXPECT_EQ(std::string(printed), "-0.00");
}

TEST(NumberText, CommaSeparator) {
  EXPECT_EQ(FloatToStrF(2.0, TFloatFormat::ffFixed, 4, 2, kComma), "2,00");
  EXPECT_EQ(FloatToStrF(12346.0, TFloatFormat::ffFixed, 4, 2, kComma), "1,235E+04");
}

TEST(NumberText, NotANumberAndInfinities) {
  EXPECT_EQ(
      FloatToStrF(std::numeric_limits<double>::quiet_NaN(), TFloatFormat::ffFixed, 4, 2, kDot),
      "NAN");
  EXPECT_EQ(FloatToStrF(std::numeric_limits<double>::infinity(), TFloatFormat::ffFixed, 4, 2, kDot),
            "INF");
  EXPECT_EQ(
      FloatToStrF(-std::numeric_limits<double>::infinity(), TFloatFormat::ffFixed, 4, 2, kDot),
      "-INF");
}

// Restores an environment variable on scope exit.
class TEnvGuard {
 public:
  explicit TEnvGuard(const char* name) : FName(name) {
    if (const char* v = std::getenv(name)) FOld = v, FHad = true;
  }
  ~TEnvGuard() {
    if (FHad)
      setenv(FName, FOld.c_str(), 1);
    else
      unsetenv(FName);
  }

 private:
  const char* FName;
  std::string FOld;
  bool FHad = false;
};

TEST(NumberText, UserLocaleWithACommaSeparator) {
  const char* names[] = {"de_DE.UTF-8", "ru_RU.UTF-8"};
  const char* found = nullptr;
  for (const char* n : names)
    if (LocaleFormatSettings(n)) {
      found = n;
      break;
    }
  if (!found)
    GTEST_SKIP() << "no comma locale installed (scripts/deps.sh --test generates de_DE.UTF-8)";
  EXPECT_EQ(LocaleFormatSettings(found)->DecimalSeparator, ",");

  TEnvGuard all("LC_ALL");
  setenv("LC_ALL", found, 1);
  EXPECT_EQ(FloatToStrF(2.0, TFloatFormat::ffFixed, 4, 2), "2,00");
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(FloatToStrF(2.0, TFloatFormat::ffFixed, 4, 2), "2.00");
}

TEST(NumberText, UnknownLocaleHasNoSettings) {
  EXPECT_FALSE(LocaleFormatSettings("xx_NOWHERE.UTF-8").has_value());
}

}  // namespace
}  // namespace ukh::platform
