#include "harvest/file_names.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "harvest/native_files.h"

namespace pelmoa {
namespace {

namespace sys = native_files;

constexpr std::size_t kMaxNameUtf16Units = 255;

std::string ErrnoText(int e) { return std::strerror(e); }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// UTF-16 units of a UTF-8 name: one for every character, two for one past U+FFFF (a
// four-byte sequence). Names come from decoded page text, so they are well formed; a name
// the count lets through that the file system still refuses fails at the open step.
std::size_t Utf16Units(std::string_view utf8) {
  std::size_t units = 0;
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c & 0xC0) != 0x80) ++units;
    if (c >= 0xF0) ++units;
  }
  return units;
}

std::string TempNameFor() {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 rng{std::random_device{}()};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%d-%u-%08x.part", kTempPrefix, sys::ProcessId(),
                counter.fetch_add(1), static_cast<unsigned>(rng()));
  return buf;
}

}  // namespace

bool IsSafePortableFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f || c == '\\' || c == '/') return false;
  }
  return true;
}

bool IsSafeWindowsFileName(std::string_view name) {
  if (!IsSafePortableFileName(name) || Utf16Units(name) > kMaxNameUtf16Units) return false;
  for (char c : name) {
    if (std::strchr("<>:\"|?*", c) != nullptr) return false;
  }
  // Windows drops a trailing dot or space: "a.jpg." would land on "a.jpg".
  if (name.back() == '.' || name.back() == ' ') return false;
  // A device name stays a device with any extension: "nul.jpg" is NUL.
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = AsciiUpper(c);
  static constexpr const char* kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* d : kDevices) {
    if (stem == d) return false;
  }
  if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
      stem[3] >= '0' && stem[3] <= '9') {
    return false;
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
