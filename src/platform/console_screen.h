// The console stream's byte rules, drawn into a console's screen buffer.

#ifndef GLYPHCULL_PLATFORM_CONSOLE_SCREEN_H_
#define GLYPHCULL_PLATFORM_CONSOLE_SCREEN_H_

#include <cstdint>
#include <string_view>

namespace glyphcull {

/// A position in a screen buffer, counted from 0 at the top left.
struct ScreenPosition {
  int row = 0;
  int column = 0;
  bool operator==(const ScreenPosition&) const = default;
};

/// What the console stream needs of a screen buffer of character cells.
class ScreenBuffer {
 public:
  virtual ~ScreenBuffer() = default;
  /// Draws one cell per byte of `cells`, all in one row from `at` rightwards
  /// and within the buffer, each in `attribute`.
  virtual void DrawCells(ScreenPosition at, std::string_view cells,
                         uint8_t attribute) = 0;
  /// Moves the whole buffer up one row; the new last row is blank in
  /// `attribute`.
  virtual void ScrollUp(uint8_t attribute) = 0;
  /// Sounds the console's beep (3000 Hz, 100 ms).
  virtual void Beep() = 0;
  /// Puts the console's own cursor at `at`.
  virtual void SetCursor(ScreenPosition at) = 0;
};

/// Writes `bytes` into a buffer of `columns` x `rows` cells, starting at
/// `cursor`: CR goes to column 0, LF one row down, BEL beeps, BS goes one
/// column left unless in column 0; every other byte is a cell in `attribute`
/// and moves one column right, to column 0 of the next row after the last
/// column. Going below the last row scrolls the buffer up one row. The
/// console's cursor is put where the text ended, which is returned.
ScreenPosition WriteToScreen(ScreenBuffer& screen, int columns, int rows,
                             ScreenPosition cursor, std::string_view bytes,
                             uint8_t attribute);

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_CONSOLE_SCREEN_H_
