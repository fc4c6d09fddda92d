#include "harvest/file_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace pelmoa {
namespace {

constexpr std::size_t kMaxNameBytes = 255;

std::string ErrnoText(int e) { return std::strerror(e); }

std::string TempNameFor() {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 rng{std::random_device{}()};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%d-%u-%08x.part", kTempPrefix, static_cast<int>(getpid()),
                counter.fetch_add(1), static_cast<unsigned>(rng()));
  return buf;
}

}  // namespace

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxNameBytes) return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f || c == '\\' || c == '/') return false;
  }
  return true;
}

TempImageFile::~TempImageFile() { Discard(); }

TempImageFile::TempImageFile(TempImageFile&& other) noexcept { *this = std::move(other); }

TempImageFile& TempImageFile::operator=(TempImageFile&& other) noexcept {
  if (this != &other) {
    Discard();
    fd_ = other.fd_;
    temp_path_ = std::move(other.temp_path_);
    target_ = std::move(other.target_);
    write_error_ = std::move(other.write_error_);
    other.fd_ = -1;
    other.temp_path_.clear();
  }
  return *this;
}

std::string TempImageFile::Create(const std::filesystem::path& target) {
  Discard();
  target_ = target;
  write_error_.clear();
  const std::filesystem::path folder = target.parent_path();
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::filesystem::path p = folder / TempNameFor();
    int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temp_path_ = std::move(p);
      return {};
    }
    if (errno != EEXIST) return ErrnoText(errno);
  }
  return "no free temporary name";
}

bool TempImageFile::Write(const char* data, std::size_t size) {
  if (fd_ < 0) return false;
  while (size > 0) {
    ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      write_error_ = ErrnoText(errno);
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string TempImageFile::Commit() {
  if (fd_ < 0) return "file not open";
  if (!write_error_.empty()) {
    std::string e = write_error_;
    Discard();
    return e;
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    std::string e = ErrnoText(errno);
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
    return e;
  }
  if (::rename(temp_path_.c_str(), target_.c_str()) != 0) {
    std::string e = ErrnoText(errno);
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
    return e;
  }
  temp_path_.clear();
  return {};
}

void TempImageFile::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

}  // namespace pelmoa
