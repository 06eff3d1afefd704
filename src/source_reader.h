// The source reader: the PostScript file, opened once, read from start to end
// as text lines.

#ifndef GLYPHCULL_SOURCE_READER_H_
#define GLYPHCULL_SOURCE_READER_H_

#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "failure.h"
#include "markers.h"

namespace glyphcull {

class Platform;

/// Reads the source in large blocks and cuts it into lines: a line ends at LF,
/// which is not part of it; every CR is dropped wherever it stands; every
/// other byte, 0x00 and 0x1A included, belongs to the line; a last line
/// without LF is a line too. Every failed operation ends the run through the
/// failure stop, so each call returns only on success.
class SourceReader {
 public:
  static constexpr size_t kBlockSize = 256 * 1024;

  explicit SourceReader(Platform& platform, size_t block_size = kBlockSize);

  void Open(const std::string& path);
  void Close();

  /// The end-of-file test, made between lines: true when no byte is left or
  /// the next line starts with 0x1A. Consumes nothing.
  bool AtEnd();

  /// Puts the next line into `*line`. False, with `*line` empty, when the data
  /// has ended and no line is left.
  bool ReadLine(std::string* line);

  /// Appends to `*text` the lines from the read position on, each without
  /// its CR bytes and with its LF, while they hold hexadecimal digits only
  /// (the bulk of a font program; VT and FF may stand among them too), and
  /// moves past them. Such a line holds none of the markers that end a font
  /// program or name it. It takes only lines that stand whole in the block
  /// at hand: ReadLine takes the rest.
  void AppendHexDigitLines(std::string* text);

  /// Moves past lines, each after an end-of-file test, up to and including
  /// the first line that holds `marker`: true when it found one, false when
  /// the end-of-file test came true first. No line is held, so a line of any
  /// length costs no memory, and whole blocks of lines are searched at once.
  bool SkipToLineHolding(std::string_view marker);

 private:
  /// Moves past the next line and tells whether it holds `marker`, without
  /// holding the line. False also when no line is left.
  bool SkipLineHolding(std::string_view marker);
  /// The end of the run of whole lines from the read position that can be
  /// searched for a marker as one block: it stops before the last, unended
  /// line, before a line that starts with 0x1A and before a line in which a
  /// CR stands inside the line (dropping it could join a marker). The answer
  /// is kept and given again while the read position stays before it, so
  /// that a block with many fonts is looked through once, not once a font.
  size_t PlainLinesEnd();
  size_t ComputePlainLinesEnd() const;
  /// Makes at least one unread byte available; false at the end of the data.
  /// A failed read is the failure stop for `step`.
  bool Refill(Step step);
  /// The unread bytes up to the next LF, and whether an LF ends them.
  std::string_view NextPiece(bool* ends_line);

  Platform& platform_;
  /// The kernel copies a read into a page-aligned buffer fastest.
  static constexpr size_t kBufferAlignment = 4096;
  struct AlignedDelete {
    void operator()(char* bytes) const {
      ::operator delete[](bytes, std::align_val_t{kBufferAlignment});
    }
  };
  std::unique_ptr<char[], AlignedDelete> buffer_;
  size_t block_size_;
  size_t next_ = 0;  // first unread byte in buffer_
  size_t end_ = 0;   // end of the bytes delivered into buffer_
  bool data_ended_ = false;
  size_t plain_end_ = 0;  // PlainLinesEnd() of this block, while next_ < it
  MarkerStream marker_stream_;
};

}  // namespace glyphcull

#endif  // GLYPHCULL_SOURCE_READER_H_
