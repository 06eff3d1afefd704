// The state of one run, held in one place for the whole run.

#ifndef GLYPHCULL_RUN_STATE_H_
#define GLYPHCULL_RUN_STATE_H_

#include <string>

namespace glyphcull {

/// The named variables of a run. Start-up sets `SourcePath` and `DestDir`
/// once; the reader fills `CurrentLine`; font capture owns the rest.
struct RunState {
  /// The source path, argument 1 as the argument rules give it.
  std::string SourcePath;
  /// The destination folder, argument 2 or "fonts"; used unchanged.
  std::string DestDir;
  /// The line last read inside a font resource.
  std::string CurrentLine;
  /// Replaced by every "/FontName" line; carries over from font to font.
  std::string FontName;
  /// The font program being collected, then the font file's text.
  std::string FontText;
  /// Set when a capture starts; cleared by a font of type 0.
  bool KeepFont = false;
  /// The path of the font file being written.
  std::string OutPath;
};

}  // namespace glyphcull

#endif  // GLYPHCULL_RUN_STATE_H_
