// An in-memory platform for the tests: files and folders in maps, the console
// and standard output captured, any operation made to fail on demand.

#ifndef GLYPHCULL_PLATFORM_FAKE_PLATFORM_H_
#define GLYPHCULL_PLATFORM_FAKE_PLATFORM_H_

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform.h"

namespace glyphcull {

/// Thrown by `FakePlatform::Exit`: the end of the process, seen by a test.
struct FakeExit {
  int status;
};

/// The operations of `FakePlatform` that a test can make fail.
enum class FakeOperation {
  kOpenSource,
  kReadSource,
  kCloseSource,
  kCreateFontFile,
  kWriteFontFile,
  kCloseFontFile,
};

/// A platform held in memory. Paths use '/'; a file's folder must exist for it
/// to be created. The source is the file at the path given to `OpenSource`.
class FakePlatform : public Platform {
 public:
  /// One line as the console stream received it.
  struct ConsoleLine {
    uint8_t attribute;
    std::string text;
    bool operator==(const ConsoleLine&) const = default;
  };

  FakePlatform() { folders.insert("."); }

  // What a test sets up.
  std::vector<std::string> arguments;
  uint8_t console_attribute = 0x07;
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  /// The most bytes one read of the source delivers.
  size_t read_size = 1 << 20;
  /// The bytes a font file may take before writes fail with kDiskFull.
  size_t disk_space = static_cast<size_t>(-1);

  /// Makes the `occurrence`-th call (from 1) of `operation` fail with `code`.
  void FailAt(FakeOperation operation, int occurrence, int code) {
    failures_[{operation, occurrence}] = code;
  }
  /// How many times `operation` has been called so far.
  int Calls(FakeOperation operation) const {
    const auto count = calls_.find(operation);
    return count == calls_.end() ? 0 : count->second;
  }
  /// Makes the `occurrence`-th read of the source run out of memory.
  void RunOutOfMemoryAtRead(int occurrence) { bad_alloc_read_ = occurrence; }

  // What a test looks at afterwards.
  std::vector<ConsoleLine> console;
  std::string standard_output;
  std::vector<std::string> made_folders;
  bool source_open = false;
  int font_files_open = 0;

  /// The console texts alone.
  std::vector<std::string> ConsoleTexts() const;

  static constexpr int kMissing = 2;    // ENOENT
  static constexpr int kIsFolder = 21;  // EISDIR
  static constexpr int kDiskFull = 28;  // ENOSPC
  static constexpr int kBadName = 22;   // EINVAL
  static constexpr int kSharing = 16;   // EBUSY

  std::vector<std::string> Arguments() override { return arguments; }
  uint8_t ConsoleAttribute() override { return console_attribute; }
  void SetConsoleAttribute(uint8_t attribute) override {
    console_attribute = attribute;
  }
  void PrintLine(std::string_view text) override {
    console.push_back({console_attribute, std::string(text)});
  }
  bool IsFolder(const std::string& path) override {
    return folders.count(path) != 0;
  }
  void MakeFolder(const std::string& path) override;
  int OpenSource(const std::string& path) override;
  int ReadSource(char* buffer, size_t capacity, size_t* delivered) override;
  int CloseSource() override;
  int CheckFileName(std::string_view name) override;
  char PathSeparator() override { return '/'; }
  int CreateFontFile(const std::string& path) override;
  int WriteFontFile(std::string_view bytes) override;
  int CloseFontFile() override;
  void WriteStandardOutput(std::string_view bytes) override {
    standard_output.append(bytes);
  }
  [[noreturn]] void Exit(int status) override { throw FakeExit{status}; }

 private:
  /// Counts a call of `operation`; the code it is to fail with, or 0.
  int Injected(FakeOperation operation);

  std::map<std::pair<FakeOperation, int>, int> failures_;
  std::map<FakeOperation, int> calls_;
  int bad_alloc_read_ = 0;
  std::string source_path_;
  size_t source_position_ = 0;
  std::string font_path_;
};

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_FAKE_PLATFORM_H_
