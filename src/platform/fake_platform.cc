#include "fake_platform.h"

#include <algorithm>
#include <new>

namespace glyphcull {
namespace {

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> FakePlatform::ConsoleTexts() const {
  std::vector<std::string> texts;
  for (const ConsoleLine& line : console) texts.push_back(line.text);
  return texts;
}

int FakePlatform::Injected(FakeOperation operation) {
  const int occurrence = ++calls_[operation];
  const auto failure = failures_.find({operation, occurrence});
  return failure == failures_.end() ? 0 : failure->second;
}

void FakePlatform::MakeFolder(const std::string& path) {
  if (folders.count(ParentOf(path)) == 0 || files.count(path) != 0 ||
      folders.count(path) != 0) {
    return;
  }
  folders.insert(path);
  made_folders.push_back(path);
}

int FakePlatform::OpenSource(const std::string& path) {
  if (const int code = Injected(FakeOperation::kOpenSource)) return code;
  if (files.count(path) == 0) {
    return folders.count(path) != 0 ? 0 : kMissing;
  }
  source_path_ = path;
  source_position_ = 0;
  source_open = true;
  return 0;
}

int FakePlatform::ReadSource(char* buffer, size_t capacity, size_t* delivered) {
  const int occurrence = calls_[FakeOperation::kReadSource] + 1;
  if (const int code = Injected(FakeOperation::kReadSource)) return code;
  if (occurrence == bad_alloc_read_) throw std::bad_alloc();
  if (!source_open) return kIsFolder;  // a folder opens but cannot be read
  const std::string& data = files[source_path_];
  const size_t count =
      std::min({capacity, read_size,
                data.size() - std::min(data.size(), source_position_)});
  std::copy_n(data.data() + source_position_, count, buffer);
  source_position_ += count;
  *delivered = count;
  return 0;
}

int FakePlatform::CloseSource() {
  source_open = false;
  return Injected(FakeOperation::kCloseSource);
}

int FakePlatform::CheckFileName(std::string_view name) {
  return name.find_first_of(std::string_view("/\0", 2)) == std::string::npos
             ? 0
             : kBadName;
}

int FakePlatform::CreateFontFile(const std::string& path) {
  if (const int code = Injected(FakeOperation::kCreateFontFile)) return code;
  if (source_open && path == source_path_) return kSharing;
  if (folders.count(ParentOf(path)) == 0) return kMissing;
  if (folders.count(path) != 0) return kIsFolder;
  files[path].clear();
  font_path_ = path;
  ++font_files_open;
  return 0;
}

int FakePlatform::WriteFontFile(std::string_view bytes) {
  if (const int code = Injected(FakeOperation::kWriteFontFile)) return code;
  std::string& file = files[font_path_];
  const size_t room = disk_space - std::min(disk_space, file.size());
  file.append(bytes.substr(0, room));
  return bytes.size() > room ? kDiskFull : 0;
}

int FakePlatform::CloseFontFile() {
  --font_files_open;
  return Injected(FakeOperation::kCloseFontFile);
}

}  // namespace glyphcull
