#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace pelmoa {

// A page must not choose where a file lands: ".", "..", a backslash, a slash, control
// characters and names longer than the file system allows are refused. That is 255 bytes
// here; on Windows 255 UTF-16 units, and also the reserved device names (CON, NUL, COM1 …,
// with or without an extension), names ending in a dot or a space, and the characters
// <>:"|?*.
bool IsSafeFileName(std::string_view name);
// No longer name is safe on any platform: 255 UTF-16 units of at most three UTF-8 bytes.
inline constexpr std::size_t kMaxSafeNameBytes = 765;
// The rules of every platform, without a length limit.
bool IsSafePortableFileName(std::string_view name);
// The Windows rules, so they can be checked on every platform.
bool IsSafeWindowsFileName(std::string_view name);

// The form in which the file system compares names: the name itself here; on Windows, where
// names differ not by letter case, its upper-case form.
std::string FileNameKey(std::string_view name);

// Paths to and from UTF-8 text. On Windows every path goes to the system as UTF-16, so a
// Japanese name survives whatever the ANSI code page is; elsewhere the bytes stay as they are.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The path as the system's file calls take it: on Windows a path past the old limit of 260
// characters in its "\\?\" form, which reaches any length; otherwise the path itself.
std::filesystem::path SystemPath(const std::filesystem::path& path);

// Creates the folder and every missing folder above it (on Windows at any path length). An
// error when it cannot, or when a file stands where a folder should be.
std::error_code MakeDirectoryPath(const std::filesystem::path& folder);

// A file being written beside its final place. It is created exclusively in the target's
// folder; Commit renames it over the target, and anything else removes it, so a failed or
// cancelled image never leaves a partial file or damages an earlier one. On Windows the
// commit refuses a target name that reaches a file of another long name (an 8.3 short name).
class TempImageFile {
 public:
  TempImageFile() = default;
  ~TempImageFile();
  TempImageFile(TempImageFile&& other) noexcept;
  TempImageFile& operator=(TempImageFile&& other) noexcept;

  // Empty reason on success.
  std::string Create(const std::filesystem::path& target);
  // Writes all of data; false (and the reason) on a short write.
  bool Write(const char* data, std::size_t size);
  std::string Commit();
  // Commit then puts the file under the target's name with this added.
  void AddToTargetName(std::string_view extension) { target_ += PathFromUtf8(extension); }
  const std::filesystem::path& target() const { return target_; }
  // Commit then puts the file here instead (in the same folder).
  void SetTarget(std::filesystem::path target) { target_ = std::move(target); }
  void Discard();

  bool is_open() const { return fd_ >= 0; }
  const std::string& write_error() const { return write_error_; }
  const std::filesystem::path& temp_path() const { return temp_path_; }

 private:
  int fd_ = -1;
  std::filesystem::path temp_path_;
  std::filesystem::path target_;
  std::string write_error_;
};

// Prefix of every temporary file name, so leftovers are recognisable.
inline constexpr char kTempPrefix[] = ".pelmoa-";

}  // namespace pelmoa
