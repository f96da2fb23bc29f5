// Number text. Conversions go through std::to_chars, which never looks at the process's C
// locale, so the separator comes only from the format settings.
#include "platform/NumberText.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace ukh::platform {

namespace {

std::optional<TFormatSettings> SettingsOf(const char* localeName) {
  locale_t loc = newlocale(LC_NUMERIC_MASK, localeName, locale_t(0));
  if (loc == locale_t(0)) return std::nullopt;
  TFormatSettings settings;
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  if (radix && *radix) settings.DecimalSeparator = radix;
  freelocale(loc);
  return settings;
}

std::string ToChars(double value, std::chars_format format, int precision) {
  char buffer[400];  // the longest fixed text of a double with our precisions fits
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return std::string(buffer, result.ptr);
}

// Decimal exponent of |value| once rounded to `precision` significant digits (1234 → 3).
int RoundedExponent(double value, int precision) {
  std::string e = ToChars(value, std::chars_format::scientific, precision - 1);
  return std::atoi(e.c_str() + e.find('e') + 1);
}

std::string ExponentForm(double value, int precision, const TFormatSettings& settings) {
  std::string e = ToChars(value, std::chars_format::scientific, precision - 1);
  size_t ePos = e.find('e');
  std::string mantissa = e.substr(0, ePos);
  if (mantissa.find('.') != std::string::npos) {
    mantissa.erase(mantissa.find_last_not_of('0') + 1);
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  int exponent = std::atoi(e.c_str() + ePos + 1);
  std::string expText = std::to_string(std::abs(exponent));
  if (expText.size() < 2) expText.insert(0, "0");
  size_t dot = mantissa.find('.');
  if (dot != std::string::npos) mantissa.replace(dot, 1, settings.DecimalSeparator);
  return mantissa + (exponent < 0 ? "E-" : "E+") + expText;
}

}  // namespace

TFormatSettings UserFormatSettings() {
  if (auto settings = SettingsOf("")) return *settings;
  return TFormatSettings{};
}

std::optional<TFormatSettings> LocaleFormatSettings(const std::string& localeName) {
  return SettingsOf(localeName.c_str());
}

std::string IntToStr(int64_t value) {
  return std::to_string(value);
}

int64_t Round(double value) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (std::isnan(value)) return std::numeric_limits<int64_t>::min();
  if (value >= kLimit) return std::numeric_limits<int64_t>::max();
  if (value < -kLimit) return std::numeric_limits<int64_t>::min();
  // Halves to even: the remainder of an exact half decides by the parity of the floor.
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) floor += 1.0;
  if (floor >= kLimit) return std::numeric_limits<int64_t>::max();
  return int64_t(floor);
}

std::string FloatToStrF(double value, TFloatFormat, int precision, int digits,
                        const TFormatSettings& settings) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  precision = std::clamp(precision, 1, 18);
  digits = std::clamp(digits, 0, 18);

  int exponent = value == 0 ? 0 : RoundedExponent(value, precision);
  if (exponent + 1 > precision) return ExponentForm(value, precision, settings);

  // Decimals that still carry significant digits; the rest are written as zeros.
  int kept = std::min(digits, precision - (exponent + 1));
  std::string text = ToChars(value, std::chars_format::fixed, kept);
  // Rounding to fewer decimals can add an integer digit (9999.6 → 10000).
  size_t intDigits = text.find('.') == std::string::npos ? text.size() : text.find('.');
  if (text[0] == '-') --intDigits;
  if (int(intDigits) > precision) return ExponentForm(value, precision, settings);

  if (digits > 0) {
    if (kept == 0) text += '.';
    text.append(size_t(digits - kept), '0');
    text.replace(text.find('.'), 1, settings.DecimalSeparator);
  }
  return text;
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, UserFormatSettings());
}

}  // namespace ukh::platform
