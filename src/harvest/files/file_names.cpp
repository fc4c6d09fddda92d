#include "harvest/files/file_names.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace pelmoa {
namespace {

namespace sys = native_files;

std::string ErrnoText(int e) { return std::strerror(e); }

std::string TempNameFor() {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 rng{std::random_device{}()};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%d-%u-%08x.part", kTempPrefix, sys::ProcessId(),
                counter.fetch_add(1), static_cast<unsigned>(rng()));
  return buf;
}

}  // namespace

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
    int fd = sys::OpenNew(p);
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
    const long n = sys::WriteSome(fd_, data, size);
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
  std::string e;
  if (sys::Close(fd) != 0) e = ErrnoText(errno);
  if (e.empty()) e = sys::RenameOver(temp_path_, target_);
  if (!e.empty()) {
    sys::Remove(temp_path_);
    temp_path_.clear();
    return e;
  }
  temp_path_.clear();
  return {};
}

void TempImageFile::Discard() {
  if (fd_ >= 0) {
    sys::Close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    sys::Remove(temp_path_);
    temp_path_.clear();
  }
}

}  // namespace pelmoa
