#include "scanner.h"

#include "font_capture.h"
#include "markers.h"
#include "run_state.h"
#include "source_reader.h"

namespace glyphcull {

void Scan(SourceReader& reader, FontCapture& capture, RunState& state) {
  ScanState scan = ScanState::Searching;
  for (;;) {
    switch (scan) {
      case ScanState::Searching:
        // The end-of-file test comes before each line; the scan ends with it.
        if (!reader.SkipToLineHolding(kBeginFontMarker)) return;
        scan = ScanState::InResource;
        break;
      case ScanState::InResource:
        // The data may end inside a font resource: the scan ends with it.
        if (!reader.ReadLine(&state.CurrentLine)) return;
        if (Holds(state.CurrentLine, kEndResourceMarker)) {
          scan = ScanState::Searching;
        } else if (Holds(state.CurrentLine, kDictBeginMarker)) {
          scan = ScanState::Capturing;
        }
        break;
      case ScanState::Capturing:
        switch (capture.Capture()) {
          case CaptureEnd::kFontEnded:
            scan = ScanState::InResource;
            break;
          case CaptureEnd::kResourceEnded:
            scan = ScanState::Searching;
            break;
          case CaptureEnd::kDataEnded:
            return;
        }
        break;
    }
  }
}

}  // namespace glyphcull
