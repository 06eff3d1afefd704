// Small helpers for Windows handles.

#ifndef GLYPHCULL_PLATFORM_WIN32_IO_H_
#define GLYPHCULL_PLATFORM_WIN32_IO_H_

#include <windows.h>

#include <algorithm>
#include <string_view>

namespace glyphcull {

/// Writes all of `bytes` to `handle`, over as many WriteFile calls as it
/// takes. 0, or the GetLastError code of the write that failed.
inline int WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece =
        static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), piece, &written, nullptr)) {
      return static_cast<int>(GetLastError());
    }
    if (written == 0) return ERROR_WRITE_FAULT;  // a write that takes nothing
    bytes.remove_prefix(written);
  }
  return 0;
}

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_WIN32_IO_H_
