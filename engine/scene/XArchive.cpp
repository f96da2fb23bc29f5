// Tagged value encoding of stored item collections.
#include "engine/scene/XArchive.h"

#include <cstdio>
#include <cstring>

namespace ukh {
namespace {

constexpr char32_t cReplacement = 0xFFFD;

// Decodes one code point of UTF-8 at s[i], advancing i. A malformed sequence yields U+FFFD
// for its first byte, so every input has a defined UTF-16 form.
char32_t DecodeUtf8(const std::string& s, size_t& i) {
  const auto b0 = uint8_t(s[i]);
  if (b0 < 0x80) return ++i, b0;
  int len = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
  if (len == 0 || i + len > s.size()) return ++i, cReplacement;
  char32_t cp = b0 & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    const auto b = uint8_t(s[i + k]);
    if ((b & 0xC0) != 0x80) return ++i, cReplacement;
    cp = (cp << 6) | (b & 0x3F);
  }
  const char32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return ++i, cReplacement;
  i += len;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

std::vector<char16_t> ToUtf16(const std::string& s) {
  std::vector<char16_t> units;
  for (size_t i = 0; i < s.size();) {
    const char32_t cp = DecodeUtf8(s, i);
    if (cp >= 0x10000) {
      units.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
      units.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      units.push_back(char16_t(cp));
    }
  }
  return units;
}

}  // namespace

// ---- writer -------------------------------------------------------------------------------

void TXArchiveWriter::PutLE(uint32_t value, int size) {
  for (int k = 0; k < size; ++k) FBytes.push_back(uint8_t(value >> (8 * k)));
}

void TXArchiveWriter::WriteInteger(int32_t value) {
  if (value >= -128 && value <= 127) {
    PutTag(TValueType::vaInt8);
    PutLE(uint32_t(value), 1);
  } else if (value >= -32768 && value <= 32767) {
    PutTag(TValueType::vaInt16);
    PutLE(uint32_t(value), 2);
  } else {
    WriteInteger32(value);
  }
}

void TXArchiveWriter::WriteInteger32(int32_t value) {
  PutTag(TValueType::vaInt32);
  PutLE(uint32_t(value), 4);
}

void TXArchiveWriter::WriteString(const std::string& value) {
  const std::vector<char16_t> units = ToUtf16(value);
  if (value.size() < 2 * units.size()) {
    bool ascii = true;
    for (char c : value) ascii = ascii && uint8_t(c) < 0x80;
    if (!ascii) {
      PutTag(TValueType::vaUTF8String);
      PutLE(uint32_t(value.size()), 4);
    } else if (value.size() <= 255) {
      PutTag(TValueType::vaString);
      PutLE(uint32_t(value.size()), 1);
    } else {
      PutTag(TValueType::vaLString);
      PutLE(uint32_t(value.size()), 4);
    }
    FBytes.insert(FBytes.end(), value.begin(), value.end());
    return;
  }
  PutTag(TValueType::vaWString);
  PutLE(uint32_t(units.size()), 4);
  for (char16_t u : units) PutLE(u, 2);
}

// ---- reader -------------------------------------------------------------------------------

void TXArchiveReader::Need(size_t count, const char* what) const {
  if (count <= FSize - FPos) return;
  char text[160];
  std::snprintf(text, sizeof text,
                "Behaviour archive ends early: %s needs %zu bytes at byte %zu, %zu left", what,
                count, FPos, FSize - FPos);
  throw EXArchiveError(text);
}

void TXArchiveReader::BadTag(const char* expected) const {
  char text[120];
  std::snprintf(text, sizeof text, "Behaviour archive: value tag 0x%02X at byte %zu is not %s",
                unsigned(FData[FPos]), FPos, expected);
  throw EXArchiveError(text);
}

uint32_t TXArchiveReader::GetLE(int size) {
  uint32_t v = 0;
  for (int k = 0; k < size; ++k) v |= uint32_t(FData[FPos + k]) << (8 * k);
  FPos += size;
  return v;
}

TValueType TXArchiveReader::NextValue() const {
  Need(1, "a value tag");
  return TValueType(FData[FPos]);
}

bool TXArchiveReader::NextIsInteger() const {
  if (AtEnd()) return false;
  const auto t = TValueType(FData[FPos]);
  return t == TValueType::vaInt8 || t == TValueType::vaInt16 || t == TValueType::vaInt32;
}

int32_t TXArchiveReader::ReadInteger() {
  int size;
  switch (NextValue()) {
    case TValueType::vaInt8:
      size = 1;
      break;
    case TValueType::vaInt16:
      size = 2;
      break;
    case TValueType::vaInt32:
      size = 4;
      break;
    default:
      BadTag("an integer");
  }
  Need(1 + size_t(size), "an integer");
  ++FPos;
  const uint32_t raw = GetLE(size);
  if (size == 1) return int8_t(raw);
  if (size == 2) return int16_t(raw);
  return int32_t(raw);
}

std::string TXArchiveReader::ReadString() {
  const TValueType tag = NextValue();
  size_t lengthSize;
  switch (tag) {
    case TValueType::vaString:
      lengthSize = 1;
      break;
    case TValueType::vaLString:
    case TValueType::vaWString:
    case TValueType::vaUTF8String:
      lengthSize = 4;
      break;
    default:
      BadTag("a text");
  }
  Need(1 + lengthSize, "a text length");
  ++FPos;
  const size_t count = GetLE(int(lengthSize));
  if (tag != TValueType::vaWString) {
    // The length is checked against what is left before anything is allocated.
    Need(count, "a text");
    std::string s(reinterpret_cast<const char*>(FData + FPos), count);
    FPos += count;
    return s;
  }
  if (count > (FSize - FPos) / 2) Need(2 * count, "a UTF-16 text");
  std::string s;
  for (size_t k = 0; k < count; ++k) {
    const char16_t u = char16_t(GetLE(2));
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < count) {
      const char16_t low = char16_t(FData[FPos] | (FData[FPos + 1] << 8));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        FPos += 2;
        ++k;
        AppendUtf8(s, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    AppendUtf8(s, u >= 0xD800 && u <= 0xDFFF ? cReplacement : char32_t(u));
  }
  return s;
}

void TXArchiveReader::ReadRaw(uint8_t* out, size_t count) {
  Need(count, "raw data");
  std::memcpy(out, FData + FPos, count);
  FPos += count;
}

}  // namespace ukh
