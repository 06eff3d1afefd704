// Small helpers over POSIX system calls, shared by the POSIX platform files.

#ifndef GLYPHCULL_PLATFORM_POSIX_IO_H_
#define GLYPHCULL_PLATFORM_POSIX_IO_H_

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace glyphcull {

/// Runs `call` again while a signal interrupts it.
template <typename Call>
auto RetryOnInterrupt(Call call) {
  for (;;) {
    auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}

/// Writes all of `bytes` to `fd`: 0, or the errno of the write that failed.
inline int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written =
        RetryOnInterrupt([&] { return write(fd, bytes.data(), bytes.size()); });
    if (written < 0) return errno;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_POSIX_IO_H_
