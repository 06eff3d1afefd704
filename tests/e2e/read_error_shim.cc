// A preload library for the end-to-end tests only: once the process has read
// GLYPHCULL_READ_ERROR_AFTER bytes from file descriptors above 2, every
// further read from them fails with EIO, as a failing disk would.

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);

ssize_t g_left = -1;  // bytes still to deliver; -1 until read first

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
  static const auto real_read =
      reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
  if (fd <= 2) return real_read(fd, buffer, count);
  if (g_left < 0) {
    const char* after = std::getenv("GLYPHCULL_READ_ERROR_AFTER");
    g_left = after ? std::atol(after) : static_cast<ssize_t>(1) << 62;
  }
  if (g_left == 0) {
    errno = EIO;
    return -1;
  }
  const size_t allowed =
      count < static_cast<size_t>(g_left) ? count : static_cast<size_t>(g_left);
  const ssize_t got = real_read(fd, buffer, allowed);
  if (got > 0) g_left -= got;
  return got;
}
