#include "harvest/files/native_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "harvest/files/name_rules.h"

namespace pelmoa {

namespace {
constexpr std::size_t kMaxNameBytes = 255;
}  // namespace

// Names are bytes here, and the file system takes at most 255 of them.
bool IsSafeFileName(std::string_view name) {
  return name.size() <= kMaxNameBytes && IsSafePortableFileName(name);
}

std::string FileNameKey(std::string_view name) { return std::string(name); }

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::string(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) { return path.native(); }

std::filesystem::path SystemPath(const std::filesystem::path& path) { return path; }

std::error_code MakeDirectoryPath(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return error;
  // create_directories does not fail when the name already exists as a file.
  if (!std::filesystem::is_directory(folder, error)) {
    return std::make_error_code(std::errc::file_exists);
  }
  return {};
}

namespace native_files {

int OpenNew(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

long WriteSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

int Close(int fd) { return ::close(fd); }

void Remove(const std::filesystem::path& path) { ::unlink(path.c_str()); }

std::string RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return {};
  return std::strerror(errno);
}

int ProcessId() { return static_cast<int>(::getpid()); }

}  // namespace native_files
}  // namespace pelmoa
