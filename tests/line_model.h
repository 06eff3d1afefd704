// A plain line-by-line model of the scan and capture rules, written apart
// from the tool's own code: the whole source is cut into lines first, and
// each line is tested for each marker with std::string_view::find. The
// fuzzer and the unit tests hold the tool's runs against it.

#ifndef GLYPHCULL_TESTS_LINE_MODEL_H_
#define GLYPHCULL_TESTS_LINE_MODEL_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake_platform.h"

namespace glyphcull::line_model {

inline bool Has(std::string_view line, std::string_view marker) {
  return line.find(marker) != std::string_view::npos;
}

/// What the rules give for `source`, run as `glyphcull in.ps out`.
struct Model {
  std::map<std::string, std::string> files;
  std::vector<std::string> console;
  int status = 0;
};

inline Model Expected(std::string_view source) {
  std::vector<std::string> lines;  // LF ends a line, CR bytes are dropped
  std::vector<bool> starts_with_eof_mark;
  for (size_t at = 0; at < source.size();) {
    size_t lf = source.find('\n', at);
    if (lf == std::string_view::npos) lf = source.size();
    std::string line;
    for (char c : source.substr(at, lf - at)) {
      if (c != '\r') line.push_back(c);
    }
    starts_with_eof_mark.push_back(source[at] == '\x1A');
    lines.push_back(line);
    at = lf + 1;
  }
  Model model;
  std::string font_name;
  size_t next = 0;
  auto more = [&] { return next < lines.size(); };
  while (more() && !starts_with_eof_mark[next]) {  // Searching
    if (!Has(lines[next++], "%%BeginResource: font")) continue;
    while (more()) {  // InResource
      const std::string& line = lines[next++];
      if (Has(line, "%%EndResource")) break;
      if (!Has(line, "dict begin")) continue;
      std::string text;
      bool keep = true;
      bool ended = false;
      for (size_t at = next - 1;; ++at) {      // Capturing
        if (at == lines.size()) return model;  // an unfinished font: no file
        const std::string& l = lines[at];
        next = at + 1;
        if (Has(l, "cleartomark")) {
          ended = true;
          break;
        }
        if (Has(l, "%%EndResource")) break;  // no font: back to Searching
        text += l + "\n";
        if (Has(l, "/FontName")) {
          const bool plus = Has(l, "+");
          const size_t skip = plus ? 18 : 11;
          const size_t size = plus ? 22 : 15;
          font_name = l.size() > size ? l.substr(skip, l.size() - size) : "";
          model.console.push_back(font_name);
        }
        if (Has(l, "/FontType") && l.size() >= 11 && l[10] == '0') {
          keep = false;
          ended = true;
          break;
        }
      }
      if (!ended) break;
      if (!keep) continue;
      if (font_name.find_first_of(std::string_view("/\0", 2)) !=
          std::string::npos) {
        model.status = FakePlatform::kBadName;
        return model;
      }
      model.files["out/" + font_name + ".pfa"] =
          "%!PS-AdobeFont-1.0: " + font_name + "\n" + text + "cleartomark\r\n";
    }
  }
  return model;
}

}  // namespace glyphcull::line_model

#endif  // GLYPHCULL_TESTS_LINE_MODEL_H_
