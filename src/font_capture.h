// Font capture: one font program, from its "dict begin" line to its end, and
// the font file written from it.

#ifndef GLYPHCULL_FONT_CAPTURE_H_
#define GLYPHCULL_FONT_CAPTURE_H_

namespace glyphcull {

class Platform;
class SourceReader;
struct RunState;

/// How a capture ended, and so where the scan goes on.
enum class CaptureEnd {
  /// At "cleartomark" (font written unless type 0) or at a type 0 line: the
  /// font resource goes on.
  kFontEnded,
  /// At a line that holds "%%EndResource" before any "cleartomark": nothing
  /// written, and that line ends the font resource too.
  kResourceEnded,
  /// The data ended before the font program did: nothing written.
  kDataEnded,
};

/// Collects font programs from the source into font files in `DestDir`.
class FontCapture {
 public:
  FontCapture(Platform& platform, SourceReader& reader, RunState& state)
      : platform_(platform), reader_(reader), state_(state) {}

  /// Runs one capture, starting with the "dict begin" line in `CurrentLine`,
  /// and leaves in `CurrentLine` the last line it examined. Prints each font
  /// name it meets. Returns only when the font file, if any, is closed.
  CaptureEnd Capture();

 private:
  /// Writes `FontText` as the font file named after `FontName`.
  void WriteFontFile();

  Platform& platform_;
  SourceReader& reader_;
  RunState& state_;
};

}  // namespace glyphcull

#endif  // GLYPHCULL_FONT_CAPTURE_H_
