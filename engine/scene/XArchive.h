// The component-stream value encoding that item collections are stored in: tagged integers
// and texts, little-endian. TXArchiveWriter appends values to a byte buffer; TXArchiveReader
// reads them back from untrusted bytes and throws EXArchiveError rather than read past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/Exception.h"

namespace ukh {

// The tags of the values this encoding uses.
enum class TValueType : uint8_t {
  vaInt8 = 0x02,
  vaInt16 = 0x03,
  vaInt32 = 0x04,
  vaString = 0x06,   // 1-byte length, then the bytes
  vaLString = 0x0C,  // 4-byte length, then the bytes
  vaWString = 0x12,  // 4-byte count of UTF-16 code units, then UTF-16LE
  vaUTF8String = 0x14,
};

// A value that cannot be read: the data ends early or holds a value of the wrong kind.
class EXArchiveError : public Exception {
 public:
  using Exception::Exception;
};

class TXArchiveWriter {
 public:
  // The smallest integer tag that holds the value.
  void WriteInteger(int32_t value);
  // Always tag 0x04, whatever the value.
  void WriteInteger32(int32_t value);
  // `value` is UTF-8. Written as 0x06/0x0C when all ASCII, 0x14 when the UTF-8 form is shorter
  // than its UTF-16 form, else (the empty text included) as UTF-16LE with 0x12.
  void WriteString(const std::string& value);

  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  std::vector<uint8_t> TakeBytes() { return std::move(FBytes); }

 private:
  void PutTag(TValueType tag) { FBytes.push_back(uint8_t(tag)); }
  void PutLE(uint32_t value, int size);
  std::vector<uint8_t> FBytes;
};

// Reads from a borrowed buffer, which must outlive the reader.
class TXArchiveReader {
 public:
  TXArchiveReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  explicit TXArchiveReader(const std::vector<uint8_t>& bytes)
      : TXArchiveReader(bytes.data(), bytes.size()) {}

  // The tag of the next value, not consumed.
  TValueType NextValue() const;
  bool NextIsInteger() const;
  int32_t ReadInteger();
  // Accepts the four text tags; the result is UTF-8 (unpaired surrogates become U+FFFD).
  std::string ReadString();
  // `count` bytes taken as they are, without a tag.
  void ReadRaw(uint8_t* out, size_t count);

  size_t Position() const { return FPos; }
  size_t Size() const { return FSize; }
  bool AtEnd() const { return FPos >= FSize; }

 private:
  void Need(size_t count, const char* what) const;
  uint32_t GetLE(int size);
  [[noreturn]] void BadTag(const char* expected) const;

  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};

}  // namespace ukh
