#include "font_capture.h"

#include "failure.h"
#include "font_rules.h"
#include "markers.h"
#include "platform/platform.h"
#include "run_state.h"
#include "source_reader.h"

namespace glyphcull {

CaptureEnd FontCapture::Capture() {
  RunState& s = state_;
  s.FontText.clear();
  s.KeepFont = true;
  while (!Holds(s.CurrentLine, kClearToMarkMarker)) {
    // A font program that has not ended in "cleartomark" by the end of its
    // font resource never will: it is not a font file.
    if (Holds(s.CurrentLine, kEndResourceMarker)) {
      return CaptureEnd::kResourceEnded;
    }
    s.FontText.append(s.CurrentLine).push_back('\n');
    if (Holds(s.CurrentLine, kFontNameMarker)) {
      s.FontName = FontNameOf(s.CurrentLine);
      platform_.PrintLine(s.FontName);
    }
    if (Holds(s.CurrentLine, kFontTypeMarker) && IsType0(s.CurrentLine)) {
      s.KeepFont = false;
      break;
    }
    // Lines of hexadecimal digits only hold no marker: they are copied as
    // they stand, without a test for each.
    reader_.AppendHexDigitLines(&s.FontText);
    if (!reader_.ReadLine(&s.CurrentLine)) return CaptureEnd::kDataEnded;
  }
  if (s.KeepFont) WriteFontFile();
  return CaptureEnd::kFontEnded;
}

void FontCapture::WriteFontFile() {
  RunState& s = state_;
  MakeFontFileText(s.FontName, &s.FontText);
  s.OutPath = FontFilePath(s.DestDir, platform_.PathSeparator(), s.FontName);
  // A name the file system cannot take as one file name (a separator, a NUL)
  // would put the file elsewhere: it fails the create step instead.
  FailureCheck(platform_, platform_.CheckFileName(s.FontName),
               Step::kCreateFontFile);
  FailureCheck(platform_, platform_.CreateFontFile(s.OutPath),
               Step::kCreateFontFile);
  // One write for the whole file: the text with its final line end, which
  // is taken off again, since FontText holds all but that line end.
  s.FontText.append(kFontFileLineEnd);
  const int written = platform_.WriteFontFile(s.FontText);
  s.FontText.resize(s.FontText.size() - kFontFileLineEnd.size());
  FailureCheck(platform_, written, Step::kWriteFontFile);
  FailureCheck(platform_, platform_.CloseFontFile(), Step::kCloseFontFile);
}

}  // namespace glyphcull
