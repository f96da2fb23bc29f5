// Number text of the run-time library: integers as decimal text, rounding halves to even, and
// floats in fixed-point notation with the decimal separator of the user's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ukh::platform {

struct TFormatSettings {
  std::string DecimalSeparator = ".";
};

// The settings of the user's locale as the environment names it (LC_ALL, LC_NUMERIC, LANG);
// the C locale's when the named locale is not installed. Read afresh on every call.
TFormatSettings UserFormatSettings();
// The settings of an installed locale, e.g. "de_DE.UTF-8"; nothing when it is not installed.
std::optional<TFormatSettings> LocaleFormatSettings(const std::string& localeName);

std::string IntToStr(int64_t value);

// Rounds to the nearest integer, an exact half to the even neighbour (60.5 → 60, 61.5 → 62).
// Values beyond the 64-bit range saturate; NaN gives the most negative value, as the desktop
// conversion does.
int64_t Round(double value);

enum class TFloatFormat { ffFixed };

// Fixed-point text with `digits` decimals after rounding to `precision` significant digits
// (2.0 with precision 4 and 2 digits → "2.00", or "2,00" with a comma separator). A value with
// more integer digits than `precision` is written in exponent form ("1.235E+04"). Decimal
// rounding is exact on the binary value, ties to even; a negative value that rounds to zero
// keeps its sign ("-0.00"). NaN and infinities read "NAN", "INF", "-INF".
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);

}  // namespace ukh::platform
