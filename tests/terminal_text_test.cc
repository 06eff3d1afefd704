#include "platform/terminal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace glyphcull {
namespace {

std::string Cells(std::string_view text, bool utf8) {
  std::string out;
  AppendVisibleCells(text, utf8, &out);
  return out;
}

TEST(VisibleCellsTest, NoByteActsAsAControl) {
  struct Case {
    std::string text;
    const char* utf8;
    const char* plain;
  };
  const Case cases[] = {
      {"Serif-Bold 1.0", "Serif-Bold 1.0", "Serif-Bold 1.0"},
      {"\r\n\a\b", "\r\n\a\b", "\r\n\a\b"},
      {"\x1b]0;title\a", "\u2190]0;title\a", "?]0;title\a"},
      {"\x1b[2J", "\u2190[2J", "?[2J"},
      {std::string("\0\t\x01\x7f", 4), " \u25CB\u263A\u2302", "????"},
      {"\x80\xe9\xff\x9b", "\u00C7\u0398\u00A0\u00A2", "????"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cells(c.text, true), c.utf8) << c.text;
    EXPECT_EQ(Cells(c.text, false), c.plain) << c.text;
  }
}

TEST(VisibleCellsTest, EveryOtherByteIsOneGlyph) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string cell =
        Cells(std::string(1, static_cast<char>(byte)), true);
    const bool passes = byte == '\r' || byte == '\n' || byte == '\a' ||
                        byte == '\b' || (byte >= 0x20 && byte < 0x7F);
    if (passes) {
      EXPECT_EQ(cell, std::string(1, static_cast<char>(byte)));
    } else {
      ASSERT_FALSE(cell.empty()) << byte;
      // One code point, none of them a C0 or C1 control or ESC.
      const auto lead = static_cast<unsigned char>(cell[0]);
      EXPECT_TRUE(lead == 0x20 || lead >= 0xC2) << byte;
      EXPECT_NE(cell, "\xc2\x9b") << byte;
    }
  }
}

TEST(ColourSequenceTest, WindowsAttributeToSgr) {
  struct Case {
    uint8_t attribute;
    uint8_t start;
    const char* sequence;
  };
  const Case cases[] = {
      {0x0E, 0x07, "\x1b[93m"},      // bright yellow
      {0x07, 0x07, "\x1b[37m"},      // light grey
      {0x01, 0x07, "\x1b[34m"},      // blue
      {0x04, 0x07, "\x1b[31m"},      // red
      {0x0B, 0x07, "\x1b[96m"},      // bright cyan
      {0x1E, 0x07, "\x1b[93;44m"},   // on blue
      {0xCE, 0x07, "\x1b[93;101m"},  // on bright red
      {0x1E, 0x17, "\x1b[93m"},      // the background as at the start
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColourSequence(c.attribute, c.start), c.sequence)
        << int(c.attribute);
  }
}

}  // namespace
}  // namespace glyphcull
