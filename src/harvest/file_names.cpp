#include "harvest/file_names.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

namespace pelmoa {
namespace {

constexpr std::size_t kMaxNameBytes = 255;

std::string ErrnoText(int e) { return std::strerror(e); }

// The few file calls the temporary file needs, on the descriptor-based C runtime of each
// platform; on Windows with UTF-16 paths.
#ifdef _WIN32
int OpenNewFile(const std::filesystem::path& p) {
  return ::_wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}
long WriteSome(int fd, const char* data, std::size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
int CloseFile(int fd) { return ::_close(fd); }
void RemoveFile(const std::filesystem::path& p) { ::_wunlink(p.c_str()); }
// Empty on success. MoveFileExW replaces an existing target, as rename(2) does.
std::string RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return {};
  return std::error_code(static_cast<int>(GetLastError()), std::system_category()).message();
}
int ProcessId() { return ::_getpid(); }
#else
int OpenNewFile(const std::filesystem::path& p) {
  return ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long WriteSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
int CloseFile(int fd) { return ::close(fd); }
void RemoveFile(const std::filesystem::path& p) { ::unlink(p.c_str()); }
std::string RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return {};
  return ErrnoText(errno);
}
int ProcessId() { return static_cast<int>(::getpid()); }
#endif

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string TempNameFor() {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 rng{std::random_device{}()};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%d-%u-%08x.part", kTempPrefix, ProcessId(),
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
#ifdef _WIN32
  return IsSafeWindowsFileName(name);
#else
  return true;
#endif
}

bool IsSafeWindowsFileName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (std::strchr("<>:\"|?*", c) != nullptr && c != '\0') return false;
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

std::filesystem::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
  // MultiByteToWideChar turns a byte that is not UTF-8 into U+FFFD instead of throwing.
  if (utf8.empty()) return {};
  const int n = static_cast<int>(utf8.size());
  const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), wide);
  return std::filesystem::path(std::move(out));
#else
  return std::filesystem::path(std::string(utf8));
#endif
}

std::string Utf8FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int n = static_cast<int>(wide.size());
  const int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), len, nullptr, nullptr);
  return out;
#else
  return path.native();
#endif
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
    int fd = OpenNewFile(p);
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
    const long n = WriteSome(fd_, data, size);
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
  if (CloseFile(fd) != 0) e = ErrnoText(errno);
  if (e.empty()) e = RenameOver(temp_path_, target_);
  if (!e.empty()) {
    RemoveFile(temp_path_);
    temp_path_.clear();
    return e;
  }
  temp_path_.clear();
  return {};
}

void TempImageFile::Discard() {
  if (fd_ >= 0) {
    CloseFile(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    RemoveFile(temp_path_);
    temp_path_.clear();
  }
}

}  // namespace pelmoa
