#include "font_rules.h"

#include "markers.h"

namespace glyphcull {
namespace {

/// Bytes from position `first` (from 1) to position L - 4 of `line`.
std::string_view Columns(std::string_view line, size_t first) {
  const size_t after_last = line.size() >= 4 ? line.size() - 3 : 0;
  if (after_last <= first) return {};
  return line.substr(first - 1, after_last - first);
}

}  // namespace

std::string_view FontNameOf(std::string_view line) {
  const bool subset = line.find('+') != std::string_view::npos;
  return Columns(line, subset ? 19 : 12);
}

bool IsType0(std::string_view line) {
  return line.size() >= 11 && line[10] == '0';
}

void MakeFontFileText(std::string_view font_name, std::string* text) {
  std::string head;
  head.reserve(kFontFileHeader.size() + font_name.size() + 1);
  head.append(kFontFileHeader).append(font_name).push_back('\n');
  text->insert(0, head);
  text->append(kClearToMarkMarker);
}

std::string FontFilePath(std::string_view dest_dir, char separator,
                         std::string_view font_name) {
  std::string path;
  path.reserve(dest_dir.size() + 1 + font_name.size() + 4);
  path.append(dest_dir).append(1, separator).append(font_name).append(".pfa");
  return path;
}

}  // namespace glyphcull
