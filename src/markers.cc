#include "markers.h"

#include <algorithm>
#include <cstring>

namespace glyphcull {

size_t FindMarker(std::string_view text, std::string_view marker) {
  if (marker.empty() || text.size() < marker.size()) {
    return marker.empty() ? 0 : std::string_view::npos;
  }
  // The search runs on the marker's first byte that is no hexadecimal digit
  // and no blank: such a byte is rare in a font program, where a search on
  // the 'c' of "cleartomark" would stop on nearly every line.
  size_t anchor = 0;
  for (size_t i = 0; i < marker.size(); ++i) {
    const auto c = static_cast<unsigned char>(marker[i]);
    if (!IsHexDigit(c) && c != ' ') {
      anchor = i;
      break;
    }
  }
  const char* const begin = text.data();
  const char* const last_start = begin + (text.size() - marker.size());
  const char* at = begin + anchor;  // where the anchor byte may stand
  while (at <= last_start + anchor) {
    const void* hit =
        std::memchr(at, marker[anchor], (last_start + anchor) - at + 1);
    if (hit == nullptr) return std::string_view::npos;
    const char* start = static_cast<const char*>(hit) - anchor;
    if (std::memcmp(start, marker.data(), marker.size()) == 0) {
      return static_cast<size_t>(start - begin);
    }
    at = static_cast<const char*>(hit) + 1;
  }
  return std::string_view::npos;
}

void MarkerStream::Feed(std::string_view piece) {
  if (found_) return;
  while (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
  if (piece.find('\r') != std::string_view::npos) {
    scratch_.clear();
    AppendWithoutCr(&scratch_, piece);
    piece = scratch_;
  }
  const size_t keep = marker_.size() - 1;
  if (!tail_.empty()) {
    joint_.assign(tail_);
    joint_.append(piece.substr(0, keep));
    if (Holds(joint_, marker_)) {
      found_ = true;
      return;
    }
  }
  if (Holds(piece, marker_)) {
    found_ = true;
    return;
  }
  if (piece.size() >= keep) {
    tail_.assign(piece.substr(piece.size() - keep));
  } else {
    tail_.append(piece);
    tail_.erase(0, tail_.size() - std::min(tail_.size(), keep));
  }
}

}  // namespace glyphcull
