#include "source_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace glyphcull {

SourceReader::SourceReader(Platform& platform, size_t block_size)
    : platform_(platform),
      buffer_(new (std::align_val_t{kBufferAlignment}) char[block_size]),
      block_size_(block_size) {}

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
               platform_.ReadSource(buffer_.get(), block_size_, &delivered),
               step);
  next_ = 0;
  end_ = delivered;
  plain_end_ = 0;
  data_ended_ = delivered == 0;
  return !data_ended_;
}

std::string_view SourceReader::NextPiece(bool* ends_line) {
  const char* start = buffer_.get() + next_;
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

namespace {

/// The offset of the first CR in `bytes` that is followed by neither LF nor
/// another CR, or that ends `bytes`; the size of `bytes` when there is none.
/// A CR LF line end, or CR CR LF, drops its CRs without joining anything.
size_t FirstJoiningCr(std::string_view bytes) {
  const size_t first = bytes.find('\r');  // most files have none at all
  if (first == std::string_view::npos) return bytes.size();
  const size_t size = bytes.size();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  auto joins = [p](size_t i) {
    return (p[i] == '\r') & (p[i + 1] != '\n') & (p[i + 1] != '\r');
  };
  // Chunks without a branch per byte, so that the compiler can vectorise the
  // common case of CR LF files; the exact place is sought in a chunk that has
  // one.
  constexpr size_t kChunk = 4096;
  for (size_t start = first; start + 1 < size; start += kChunk) {
    const size_t end = std::min(start + kChunk, size - 1);
    unsigned any = 0;
    for (size_t i = start; i < end; ++i) any |= joins(i);
    if (any == 0) continue;
    for (size_t i = start; i < end; ++i) {
      if (joins(i)) return i;
    }
  }
  return p[size - 1] == '\r' ? size - 1 : size;
}

/// True for the bytes of the lines that the capture copies in bulk:
/// hexadecimal digits, and 0x0A to 0x0D (LF, VT, FF, CR), one range so that
/// loops over them are vectorised.
constexpr bool InHexDigitLines(unsigned char c) {
  return IsHexDigit(c) | (static_cast<unsigned char>(c - '\n') < 4);
}

/// True when `marker` has a byte that no such line holds.
constexpr bool CannotStandInHexDigitLines(std::string_view marker) {
  for (const char c : marker) {
    if (!InHexDigitLines(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

// So a line made of those bytes, its CR bytes dropped, holds no marker.
static_assert(CannotStandInHexDigitLines(kEndResourceMarker) &&
              CannotStandInHexDigitLines(kClearToMarkMarker) &&
              CannotStandInHexDigitLines(kFontNameMarker) &&
              CannotStandInHexDigitLines(kFontTypeMarker));

/// The length of the run of such bytes at the start of `bytes`.
size_t HexDigitRunLength(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  // Chunks without a branch per byte, as the run goes on for many chunks;
  // the exact end is sought in the chunk that has it.
  constexpr size_t kChunk = 64;
  size_t end = 0;
  for (; end + kChunk <= size; end += kChunk) {
    const unsigned char* chunk = p + end;
    unsigned char out = 0;
    for (size_t i = 0; i < kChunk; ++i) {
      out |= static_cast<unsigned char>(!InHexDigitLines(chunk[i]));
    }
    if (out != 0) break;
  }
  while (end < size && InHexDigitLines(p[end])) ++end;
  return end;
}

}  // namespace

void SourceReader::AppendHexDigitLines(std::string* text) {
  const std::string_view rest(buffer_.get() + next_, end_ - next_);
  // Whole lines only: the one the run stops in goes to ReadLine.
  const size_t last_lf = rest.substr(0, HexDigitRunLength(rest)).rfind('\n');
  if (last_lf == std::string_view::npos) return;
  const std::string_view lines = rest.substr(0, last_lf + 1);
  AppendWithoutCr(text, lines);
  next_ += lines.size();
}

size_t SourceReader::PlainLinesEnd() {
  // The answer holds for any read position up to it: between the two there
  // is no CR inside a line, no line that starts with 0x1A, and the last LF
  // before the first such CR stays where it is.
  if (next_ < plain_end_) return plain_end_;
  plain_end_ = ComputePlainLinesEnd();
  return plain_end_;
}

size_t SourceReader::ComputePlainLinesEnd() const {
  std::string_view lines(buffer_.get() + next_, end_ - next_);
  // The line of the first CR that is not part of a line end goes the careful
  // way, since dropping that CR joins what stands around it.
  const size_t stop = FirstJoiningCr(lines);
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
    const std::string_view lines(buffer_.get() + next_, plain_end - next_);
    const size_t hit = FindMarker(lines, marker);
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
