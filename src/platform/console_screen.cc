#include "console_screen.h"

#include <algorithm>

namespace glyphcull {
namespace {

/// The cursor in a buffer, with the run of cells that waits to be drawn in
/// its row, so that a line goes out in as few draws as it has rows.
class ScreenCursor {
 public:
  ScreenCursor(ScreenBuffer& screen, int columns, int rows, ScreenPosition at,
               std::string_view bytes, uint8_t attribute)
      : screen_(screen),
        columns_(std::max(columns, 1)),
        rows_(std::max(rows, 1)),
        at_{std::clamp(at.row, 0, rows_ - 1),
            std::clamp(at.column, 0, columns_ - 1)},
        bytes_(bytes),
        attribute_(attribute) {}

  ScreenPosition Run() {
    for (size_t i = 0; i < bytes_.size(); ++i) {
      switch (bytes_[i]) {
        case '\r':
          Flush(i);
          at_.column = 0;
          break;
        case '\n':
          Flush(i);
          NextRow();
          break;
        case '\a':
          Flush(i);
          screen_.Beep();
          break;
        case '\b':
          Flush(i);
          if (at_.column > 0) --at_.column;
          break;
        default:
          if (!in_run_) {
            in_run_ = true;
            run_start_ = i;
            run_at_ = at_;
          }
          if (++at_.column == columns_) {
            Flush(i + 1);
            at_.column = 0;
            NextRow();
          }
      }
    }
    Flush(bytes_.size());
    screen_.SetCursor(at_);
    return at_;
  }

 private:
  /// Draws the waiting run of cells, which ends before byte `end`.
  void Flush(size_t end) {
    if (!in_run_) return;
    screen_.DrawCells(run_at_, bytes_.substr(run_start_, end - run_start_),
                      attribute_);
    in_run_ = false;
  }

  void NextRow() {
    if (at_.row + 1 < rows_) {
      ++at_.row;
    } else {
      screen_.ScrollUp(attribute_);
    }
  }

  ScreenBuffer& screen_;
  const int columns_;
  const int rows_;
  ScreenPosition at_;
  std::string_view bytes_;
  const uint8_t attribute_;
  bool in_run_ = false;  // cells wait from byte `run_start_`, at `run_at_`
  size_t run_start_ = 0;
  ScreenPosition run_at_;
};

}  // namespace

ScreenPosition WriteToScreen(ScreenBuffer& screen, int columns, int rows,
                             ScreenPosition cursor, std::string_view bytes,
                             uint8_t attribute) {
  return ScreenCursor(screen, columns, rows, cursor, bytes, attribute).Run();
}

}  // namespace glyphcull
