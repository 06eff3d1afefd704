#include "source_reader.h"

#include <cstring>

#include "platform/platform.h"

namespace glyphcull {
namespace {

/// Appends `piece` to `line` without its CR bytes.
void AppendWithoutCr(std::string* line, std::string_view piece) {
  for (;;) {
    const size_t cr = piece.find('\r');
    if (cr == std::string_view::npos) {
      line->append(piece);
      return;
    }
    line->append(piece.substr(0, cr));
    piece.remove_prefix(cr + 1);
  }
}

}  // namespace

SourceReader::SourceReader(Platform& platform, size_t block_size)
    : platform_(platform), buffer_(block_size) {}

void SourceReader::Open(const std::string& path) {
  FailureCheck(platform_, platform_.OpenSource(path), Step::kOpenSource);
}

void SourceReader::Close() {
  FailureCheck(platform_, platform_.CloseSource(), Step::kCloseSource);
}

bool SourceReader::Refill(Step step) {
  if (next_ < end_) return true;
  if (data_ended_) return false;
  size_t delivered = 0;
  FailureCheck(platform_,
               platform_.ReadSource(buffer_.data(), buffer_.size(), &delivered),
               step);
  next_ = 0;
  end_ = delivered;
  data_ended_ = delivered == 0;
  return !data_ended_;
}

std::string_view SourceReader::NextPiece(bool* ends_line) {
  const char* start = buffer_.data() + next_;
  const size_t available = end_ - next_;
  const void* lf = std::memchr(start, '\n', available);
  *ends_line = lf != nullptr;
  const size_t length =
      lf ? static_cast<size_t>(static_cast<const char*>(lf) - start)
         : available;
  next_ += *ends_line ? length + 1 : length;
  return std::string_view(start, length);
}

bool SourceReader::AtEnd() {
  if (!Refill(Step::kEndOfFileTest)) return true;
  return buffer_[next_] == '\x1A';
}

bool SourceReader::ReadLine(std::string* line) {
  line->clear();
  if (!Refill(Step::kReadLine)) return false;
  bool ends_line = false;
  do {
    AppendWithoutCr(line, NextPiece(&ends_line));
  } while (!ends_line && Refill(Step::kReadLine));
  return true;
}

size_t SourceReader::PlainLinesEnd() const {
  const std::string_view unread(buffer_.data() + next_, end_ - next_);
  const size_t last_lf = unread.rfind('\n');
  if (last_lf == std::string_view::npos) return next_;
  std::string_view lines = unread.substr(0, last_lf + 1);
  // A line that starts with 0x1A.
  for (size_t at = lines.find('\x1A'); at != std::string_view::npos;
       at = lines.find('\x1A', at + 1)) {
    if (at == 0 || lines[at - 1] == '\n') {
      lines = lines.substr(0, at);
      break;
    }
  }
  // A CR that is not part of the line end: its line and the rest go slowly.
  for (size_t at = lines.find('\r'); at != std::string_view::npos;
       at = lines.find('\r', at)) {
    if (lines[at + 1] == '\n') {  // the usual CR LF
      at += 2;
      continue;
    }
    const size_t after = lines.find_first_not_of('\r', at);
    if (lines[after] != '\n') {
      const size_t line_start = lines.rfind('\n', at);
      lines = lines.substr(
          0, line_start == std::string_view::npos ? 0 : line_start + 1);
      break;
    }
    at = after;
  }
  return next_ + lines.size();
}

bool SourceReader::SkipToLineHolding(std::string_view marker) {
  while (!AtEnd()) {
    const size_t plain_end = PlainLinesEnd();
    if (plain_end == next_) {
      // The next line needs the careful way: it may run past the block,
      // start with 0x1A or hold a CR inside.
      if (SkipLineHolding(marker)) return true;
      continue;
    }
    const std::string_view lines(buffer_.data() + next_, plain_end - next_);
    const size_t hit = lines.find(marker);
    if (hit == std::string_view::npos) {
      next_ = plain_end;
      continue;
    }
    // The marker stands within one line: move past that line's LF.
    next_ += lines.find('\n', hit) + 1;
    return true;
  }
  return false;
}

bool SourceReader::SkipLineHolding(std::string_view marker) {
  if (!Refill(Step::kReadLine)) return false;
  marker_stream_.Reset(marker);
  bool ends_line = false;
  do {
    marker_stream_.Feed(NextPiece(&ends_line));
  } while (!ends_line && Refill(Step::kReadLine));
  return marker_stream_.found();
}

}  // namespace glyphcull
