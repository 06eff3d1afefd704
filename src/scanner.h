// The scan: follows the font resources of the source and hands every font
// program in them to font capture.

#ifndef GLYPHCULL_SCANNER_H_
#define GLYPHCULL_SCANNER_H_

namespace glyphcull {

class FontCapture;
class SourceReader;
struct RunState;

/// Where the scan stands.
enum class ScanState {
  /// Outside any font resource: each line is only tested for
  /// "%%BeginResource: font", and the end-of-file test comes before it.
  Searching,
  /// Inside a font resource, outside a font program.
  InResource,
  /// Font capture is reading a font program.
  Capturing,
};

/// Reads the open source to its end: to the end of the data, or to a line
/// that starts with 0x1A outside a font resource.
void Scan(SourceReader& reader, FontCapture& capture, RunState& state);

}  // namespace glyphcull

#endif  // GLYPHCULL_SCANNER_H_
