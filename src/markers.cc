#include "markers.h"

#include <algorithm>

namespace glyphcull {

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
