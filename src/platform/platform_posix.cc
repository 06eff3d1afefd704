// The platform on Linux, macOS and other POSIX systems.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "../command_line.h"
#include "console_posix.h"
#include "platform.h"
#include "posix_io.h"

namespace glyphcull {
namespace {

class PosixPlatform : public Platform {
 public:
  PosixPlatform(int argc, char** argv)
      : arguments_(ArgumentsFromArgv(argc, argv)) {}

  std::vector<std::string> Arguments() override { return arguments_; }

  uint8_t ConsoleAttribute() override { return console_.attribute(); }
  void SetConsoleAttribute(uint8_t attribute) override {
    console_.set_attribute(attribute);
  }
  void PrintLine(std::string_view text) override { console_.PrintLine(text); }

  bool IsFolder(const std::string& path) override {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
  }
  void MakeFolder(const std::string& path) override {
    mkdir(path.c_str(), 0777);
  }

  int OpenSource(const std::string& path) override {
    source_fd_ = RetryOnInterrupt(
        [&] { return open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC); });
    if (source_fd_ < 0) return errno;
    struct stat status;
    if (fstat(source_fd_, &status) == 0) {
      source_device_ = status.st_dev;
      source_inode_ = status.st_ino;
    }
    return 0;
  }
  int ReadSource(char* buffer, size_t capacity, size_t* delivered) override {
    const ssize_t got =
        RetryOnInterrupt([&] { return read(source_fd_, buffer, capacity); });
    if (got < 0) return errno;
    *delivered = static_cast<size_t>(got);
    return 0;
  }
  int CloseSource() override {
    const int result = close(source_fd_);
    source_fd_ = -1;
    return result == 0 ? 0 : errno;
  }

  int CheckFileName(std::string_view name) override {
    return name.find_first_of(std::string_view("/\0", 2)) ==
                   std::string_view::npos
               ? 0
               : EINVAL;
  }
  char PathSeparator() override { return '/'; }

  // Like a font file on Windows, which others may open for reading but not
  // for writing, the file is locked while it is written: a second glyphcull
  // that would write the same file fails (EBUSY) before truncating it, so
  // two runs into one folder never mix their bytes in one file.
  int CreateFontFile(const std::string& path) override {
    // A file made new here cannot be the source; most font files are.
    font_fd_ = RetryOnInterrupt([&] {
      return open(path.c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    });
    if (font_fd_ >= 0) return LockFontFile(/*truncate=*/false);
    if (errno != EEXIST) return errno;
    // The source is shared for reading only: a font file that is the source
    // under any name, through any link, is refused before it is truncated.
    struct stat status;
    if (source_fd_ >= 0 && stat(path.c_str(), &status) == 0 &&
        status.st_dev == source_device_ && status.st_ino == source_inode_) {
      return EBUSY;
    }
    font_fd_ = RetryOnInterrupt([&] {
      return open(path.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC,
                  0666);
    });
    if (font_fd_ < 0) return errno;
    return LockFontFile(/*truncate=*/true);
  }
  int WriteFontFile(std::string_view bytes) override {
    return WriteAll(font_fd_, bytes);
  }
  int CloseFontFile() override {
    const int result = close(font_fd_);
    font_fd_ = -1;
    return result == 0 ? 0 : errno;
  }

  void WriteStandardOutput(std::string_view bytes) override {
    WriteAll(STDOUT_FILENO, bytes);
  }
  [[noreturn]] void Exit(int status) override {
    console_.Restore();
    _exit(status);
  }

 private:
  static bool IsRegularFile(int fd) {
    struct stat status;
    return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  }

  /// Locks the font file just opened for this run's writing, then empties it
  /// where `truncate`. On failure the file is closed and stays as it was.
  int LockFontFile(bool truncate) {
    int result = 0;
    if (RetryOnInterrupt([&] { return flock(font_fd_, LOCK_EX | LOCK_NB); }) !=
        0) {
      result = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (truncate && IsRegularFile(font_fd_) &&
               ftruncate(font_fd_, 0) != 0) {
      result = errno;  // only a regular file can be truncated
    }
    if (result != 0) {
      close(font_fd_);
      font_fd_ = -1;
    }
    return result;
  }

  std::vector<std::string> arguments_;
  PosixConsole console_;
  int source_fd_ = -1;
  dev_t source_device_ = 0;
  ino_t source_inode_ = 0;
  int font_fd_ = -1;
};

}  // namespace

std::unique_ptr<Platform> MakeSystemPlatform(int argc, char** argv) {
  return std::make_unique<PosixPlatform>(argc, argv);
}

}  // namespace glyphcull
