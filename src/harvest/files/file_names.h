#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "harvest/files/name_rules.h"
#include "harvest/files/native_files.h"

namespace pelmoa {

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
