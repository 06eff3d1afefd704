#include "platform/console_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glyphcull {
namespace {

/// A screen buffer of cells held in memory; a cell is its byte and attribute.
class GridScreen : public ScreenBuffer {
 public:
  GridScreen(int columns, int rows)
      : columns_(columns),
        rows_(rows, std::string(columns, '.')),
        attributes_(rows, std::vector<uint8_t>(columns, 0x07)) {}

  void DrawCells(ScreenPosition at, std::string_view cells,
                 uint8_t attribute) override {
    ASSERT_GE(at.row, 0);
    ASSERT_LT(at.row, static_cast<int>(rows_.size()));
    ASSERT_GE(at.column, 0);
    ASSERT_LE(at.column + static_cast<int>(cells.size()), columns_);
    ++draws;
    for (size_t i = 0; i < cells.size(); ++i) {
      rows_[at.row][at.column + i] = cells[i];
      attributes_[at.row][at.column + i] = attribute;
    }
  }
  void ScrollUp(uint8_t attribute) override {
    rows_.erase(rows_.begin());
    rows_.push_back(std::string(columns_, ' '));
    attributes_.erase(attributes_.begin());
    attributes_.push_back(std::vector<uint8_t>(columns_, attribute));
    ++scrolls;
  }
  void Beep() override { ++beeps; }
  void SetCursor(ScreenPosition at) override { cursor = at; }

  std::string Text() const {
    std::string text;
    for (const std::string& row : rows_) text += row + "|";
    return text;
  }
  uint8_t AttributeAt(int row, int column) const {
    return attributes_[row][column];
  }

  int draws = 0;
  int scrolls = 0;
  int beeps = 0;
  ScreenPosition cursor{-1, -1};

 private:
  int columns_;
  std::vector<std::string> rows_;
  std::vector<std::vector<uint8_t>> attributes_;
};

TEST(ConsoleScreenTest, ByteRulesWrapAndScroll) {
  struct Case {
    const char* what;
    ScreenPosition start;
    std::string bytes;
    std::string screen;  // 4 columns x 3 rows, '.' where nothing was drawn
    ScreenPosition end;
    int scrolls;
  };
  const Case cases[] = {
      {"a line ends in column 0 below it",
       {0, 0},
       "ab\r\n",
       "ab..|....|....|",
       {1, 0},
       0},
      {"text starts at the cursor", {1, 2}, "ab", "....|..ab|....|", {2, 0}, 0},
      {"LF keeps the column", {0, 0}, "a\nb", "a...|.b..|....|", {1, 2}, 0},
      {"CR alone rewrites the row",
       {0, 0},
       "abc\rX",
       "Xbc.|....|....|",
       {0, 1},
       0},
      {"BS steps back without erasing",
       {0, 0},
       "ab\bX",
       "aX..|....|....|",
       {0, 2},
       0},
      {"BS stops at column 0", {0, 0}, "\b\bX", "X...|....|....|", {0, 1}, 0},
      {"BEL draws nothing", {0, 0}, "a\ab", "ab..|....|....|", {0, 2}, 0},
      {"NUL and tab are cells",
       {0, 0},
       std::string("\0\tz", 3),
       std::string("\0\tz.|....|....|", 15),
       {0, 3},
       0},
      {"wrap after the last column",
       {0, 2},
       "abcd",
       "..ab|cd..|....|",
       {1, 2},
       0},
      {"a full row and its line end leave a blank row",
       {0, 0},
       "abcd\r\n",
       "abcd|....|....|",
       {2, 0},
       0},
      {"LF on the last row scrolls",
       {2, 0},
       "ab\r\n",
       "....|ab..|    |",
       {2, 0},
       1},
      {"wrap on the last row scrolls",
       {2, 1},
       "abcd",
       "....|.abc|d   |",
       {2, 1},
       1},
      {"a long text scrolls as often as it needs",
       {2, 0},
       "0123456789\r\n",
       "4567|89  |    |",
       {2, 0},
       3},
      {"a cursor outside the buffer is brought inside",
       {7, 1},
       "a",
       "....|....|.a..|",
       {2, 2},
       0},
  };
  for (const Case& c : cases) {
    GridScreen screen(4, 3);
    const ScreenPosition end =
        WriteToScreen(screen, 4, 3, c.start, c.bytes, 0x0E);
    EXPECT_EQ(screen.Text(), c.screen) << c.what;
    EXPECT_EQ(end, c.end) << c.what;
    EXPECT_EQ(screen.cursor, c.end) << c.what;
    EXPECT_EQ(screen.scrolls, c.scrolls) << c.what;
  }
}

TEST(ConsoleScreenTest, CellsAndTheScrolledRowTakeTheAttribute) {
  GridScreen screen(4, 2);
  WriteToScreen(screen, 4, 2, {1, 0}, "ab\r\n", 0x1E);
  EXPECT_EQ(screen.AttributeAt(0, 0), 0x1E);
  EXPECT_EQ(screen.AttributeAt(0, 2), 0x07);  // not drawn
  EXPECT_EQ(screen.AttributeAt(1, 3), 0x1E);  // the blank row
}

TEST(ConsoleScreenTest, BeepsAndDrawsPerRow) {
  GridScreen screen(8, 4);
  WriteToScreen(screen, 8, 4, {0, 0}, "\a\aname\a\r\n", 0x07);
  EXPECT_EQ(screen.beeps, 3);
  EXPECT_EQ(screen.draws, 1);
  GridScreen wrapped(8, 4);
  WriteToScreen(wrapped, 8, 4, {0, 0}, std::string(20, 'x'), 0x07);
  EXPECT_EQ(wrapped.draws, 3);
}

}  // namespace
}  // namespace glyphcull
