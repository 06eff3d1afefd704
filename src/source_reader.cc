#include "source_reader.h"

#include <cstring>

#include "platform/platform.h"

namespace glyphcull {

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
  // Every byte looked at here is consumed soon after, by the block search or
  // by the careful way, so no byte is looked at again and again.
  std::string_view lines(buffer_.data() + next_, end_ - next_);
  // The first CR that is not part of a line end (CR LF, or CR CR LF): its
  // line goes the careful way, since dropping the CR joins what stands
  // around it. A CR at the end of the block counts too.
  size_t stop = lines.size();
  for (size_t at = lines.find('\r'); at != std::string_view::npos;
       at = lines.find('\r', at)) {
    while (at < lines.size() && lines[at] == '\r') ++at;
    if (at == lines.size() || lines[at] != '\n') {
      stop = at;
      break;
    }
  }
  // Whole lines only: the last, unended one goes the careful way.
  const size_t last_lf = lines.substr(0, stop).rfind('\n');
  if (last_lf == std::string_view::npos) return next_;
  lines = lines.substr(0, last_lf + 1);
  // A line that starts with 0x1A ends the block: the end-of-file test is
  // true there.
  for (size_t at = lines.find('\x1A'); at != std::string_view::npos;
       at = lines.find('\x1A', at + 1)) {
    if (at == 0 || lines[at - 1] == '\n') return next_ + at;
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
