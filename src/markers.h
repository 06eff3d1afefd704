// The byte strings that decide the scan and the capture, and how a line is
// tested for them.

#ifndef GLYPHCULL_MARKERS_H_
#define GLYPHCULL_MARKERS_H_

#include <string>
#include <string_view>

namespace glyphcull {

inline constexpr std::string_view kBeginFontMarker = "%%BeginResource: font";
inline constexpr std::string_view kEndResourceMarker = "%%EndResource";
inline constexpr std::string_view kDictBeginMarker = "dict begin";
inline constexpr std::string_view kClearToMarkMarker = "cleartomark";
inline constexpr std::string_view kFontNameMarker = "/FontName";
inline constexpr std::string_view kFontTypeMarker = "/FontType";

/// True for the bytes 0-9, a-f and A-F. No branch, so that loops over many
/// bytes can be vectorised.
constexpr bool IsHexDigit(unsigned char c) {
  return (static_cast<unsigned char>(c - '0') < 10) |
         (static_cast<unsigned char>((c | 0x20) - 'a') < 6);
}

/// Where the marker's bytes first stand in `text` as one unbroken run, byte
/// for byte with case counted, or npos. Same result as `text.find(marker)`
/// for a non-empty marker; faster on font programs, whose encrypted part is
/// hexadecimal digits.
size_t FindMarker(std::string_view text, std::string_view marker);

/// True when the marker's bytes stand in `line` as one unbroken run, anywhere;
/// byte for byte, case counts. An empty line holds no marker.
inline bool Holds(std::string_view line, std::string_view marker) {
  return FindMarker(line, marker) != std::string_view::npos;
}

/// Appends `piece` to `line` without its CR bytes: a line never holds a CR.
inline void AppendWithoutCr(std::string* line, std::string_view piece) {
  for (size_t cr = piece.find('\r'); cr != std::string_view::npos;
       cr = piece.find('\r')) {
    line->append(piece.substr(0, cr));
    piece.remove_prefix(cr + 1);
  }
  line->append(piece);
}

/// Tests one line for a marker while the line arrives in pieces, without
/// holding the line: only the last few bytes of it are kept. CR bytes in the
/// pieces are dropped first, as they are from every line, so a marker that a
/// CR splits is found.
class MarkerStream {
 public:
  /// Starts a new line, to be tested for `marker`.
  void Reset(std::string_view marker) {
    marker_ = marker;
    tail_.clear();
    found_ = false;
  }
  /// Takes the next piece of the line (no LF in it).
  void Feed(std::string_view piece);
  /// True once the line so far holds the marker.
  bool found() const { return found_; }

 private:
  std::string_view marker_;
  std::string tail_;     // the line's last marker-length - 1 bytes, CR-free
  std::string scratch_;  // a piece with its CR bytes dropped
  std::string joint_;    // the tail with the start of the next piece
  bool found_ = false;
};

}  // namespace glyphcull

#endif  // GLYPHCULL_MARKERS_H_
