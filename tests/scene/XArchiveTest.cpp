// The tagged value encoding: smallest integer tags, the four text forms and when each is
// chosen, and a reader that refuses to run past its bytes.
#include "engine/scene/XArchive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ukh {
namespace {

using TBytes = std::vector<uint8_t>;

TEST(XArchiveTest, IntegersTakeTheSmallestTag) {
  const struct {
    int32_t value;
    TBytes bytes;
  } cases[] = {
      {0, {0x02, 0x00}},
      {127, {0x02, 0x7F}},
      {-128, {0x02, 0x80}},
      {128, {0x03, 0x80, 0x00}},
      {-129, {0x03, 0x7F, 0xFF}},
      {32767, {0x03, 0xFF, 0x7F}},
      {-32768, {0x03, 0x00, 0x80}},
      {32768, {0x04, 0x00, 0x80, 0x00, 0x00}},
      {-32769, {0x04, 0xFF, 0x7F, 0xFF, 0xFF}},
      {INT32_MIN, {0x04, 0x00, 0x00, 0x00, 0x80}},
  };
  for (const auto& c : cases) {
    TXArchiveWriter w;
    w.WriteInteger(c.value);
    EXPECT_EQ(w.Bytes(), c.bytes) << c.value;
    TXArchiveReader r(w.Bytes());
    EXPECT_EQ(r.ReadInteger(), c.value);
    EXPECT_TRUE(r.AtEnd());
  }
  TXArchiveWriter w;
  w.WriteInteger32(1);
  EXPECT_EQ(w.Bytes(), (TBytes{0x04, 0x01, 0x00, 0x00, 0x00}));
}

TEST(XArchiveTest, TextsTakeTheFormTheirLengthsCallFor) {
  const std::string ascii256(256, 'a');
  TBytes long8(5 + 256, 'a');  // tag 0x0C, length 256, the text
  long8[0] = 0x0C;
  long8[1] = 0x00;
  long8[2] = 0x01;
  long8[3] = long8[4] = 0x00;
  const struct {
    const char* name;
    std::string text;
    TBytes bytes;
  } cases[] = {
      {"ASCII", "Car", {0x06, 0x03, 'C', 'a', 'r'}},
      {"empty", "", {0x12, 0x00, 0x00, 0x00, 0x00}},
      {"ASCII past 255 bytes", ascii256, long8},
      // two bytes per code unit is not shorter than UTF-16
      {"Cyrillic", "\xD0\xA3\xD1\x85", {0x12, 0x02, 0x00, 0x00, 0x00, 0x23, 0x04, 0x45, 0x04}},
      // mixed: 3 UTF-8 bytes against 2 code units
      {"mixed", "a\xD0\xA3", {0x14, 0x03, 0x00, 0x00, 0x00, 'a', 0xD0, 0xA3}},
      // outside the BMP: 4 bytes against a surrogate pair
      {"emoji", "\xF0\x9F\x98\x80", {0x12, 0x02, 0x00, 0x00, 0x00, 0x3D, 0xD8, 0x00, 0xDE}},
  };
  for (const auto& c : cases) {
    TXArchiveWriter w;
    w.WriteString(c.text);
    EXPECT_EQ(w.Bytes(), c.bytes) << c.name;
    TXArchiveReader r(w.Bytes());
    EXPECT_EQ(r.ReadString(), c.text) << c.name;
    EXPECT_TRUE(r.AtEnd()) << c.name;
  }
}

TEST(XArchiveTest, ReaderDecodesEveryTextTagAndMendsBrokenUtf16) {
  const struct {
    const char* name;
    TBytes bytes;
    std::string text;
  } cases[] = {
      {"short", {0x06, 0x01, 'x'}, "x"},
      {"long", {0x0C, 0x02, 0x00, 0x00, 0x00, 'h', 'i'}, "hi"},
      {"UTF-8", {0x14, 0x02, 0x00, 0x00, 0x00, 0xD0, 0xA3}, "\xD0\xA3"},
      {"lone high surrogate",
       {0x12, 0x02, 0x00, 0x00, 0x00, 0x00, 0xD8, 'A', 0x00},
       "\xEF\xBF\xBD"
       "A"},
      {"lone low surrogate", {0x12, 0x01, 0x00, 0x00, 0x00, 0x00, 0xDC}, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    TXArchiveReader r(c.bytes);
    EXPECT_EQ(r.ReadString(), c.text) << c.name;
  }
}

TEST(XArchiveTest, ReaderStopsAtTheEndAndAtWrongTags) {
  const struct {
    const char* name;
    TBytes bytes;
    bool text;  // read a text, else an integer
    std::string error;
  } cases[] = {
      {"nothing",
       {},
       false,
       "Behaviour archive ends early: a value tag needs 1 bytes at byte 0, 0 left"},
      {"cut integer",
       {0x03, 0x01},
       false,
       "Behaviour archive ends early: an integer needs 3 bytes at byte 0, 2 left"},
      {"cut length",
       {0x0C, 0x01, 0x00},
       true,
       "Behaviour archive ends early: a text length needs 5 bytes at byte 0, 3 left"},
      {"huge length",
       {0x14, 0xFF, 0xFF, 0xFF, 0xFF, 'a'},
       true,
       "Behaviour archive ends early: a text needs 4294967295 bytes at byte 5, 1 left"},
      {"huge UTF-16 count",
       {0x12, 0x00, 0x00, 0x00, 0x80, 'a', 0x00},
       true,
       "Behaviour archive ends early: a UTF-16 text needs 4294967296 bytes at byte 5, 2 left"},
      {"text for an integer",
       {0x06, 0x00},
       false,
       "Behaviour archive: value tag 0x06 at byte 0 is not an integer"},
      {"integer for a text",
       {0x02, 0x00},
       true,
       "Behaviour archive: value tag 0x02 at byte 0 is not a text"},
      {"unknown tag", {0x07}, true, "Behaviour archive: value tag 0x07 at byte 0 is not a text"},
  };
  for (const auto& c : cases) {
    TXArchiveReader r(c.bytes);
    try {
      if (c.text)
        r.ReadString();
      else
        r.ReadInteger();
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EXArchiveError& e) {
      EXPECT_EQ(std::string(e.what()), c.error) << c.name;
    }
  }
  uint8_t raw[4];
  TXArchiveReader r(TBytes{1, 2, 3});
  EXPECT_THROW(r.ReadRaw(raw, 4), EXArchiveError);
  EXPECT_EQ(r.Position(), 0u);
}

}  // namespace
}  // namespace ukh
