#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// The few file calls of the core and the platform's rules for names and paths, one
// implementation per platform: native_files.cpp on the POSIX C runtime, native_files_win.cpp
// on the Windows one with UTF-16 paths.
namespace pelmoa {

// A page must not choose where a file lands: ".", "..", a backslash, a slash, control
// characters and names longer than the file system allows are refused. That is 255 bytes
// here; on Windows 255 UTF-16 units, and also the reserved device names (CON, NUL, COM1 …,
// with or without an extension), names ending in a dot or a space, and the characters
// <>:"|?*.
bool IsSafeFileName(std::string_view name);

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

namespace native_files {

// Creates a new file for writing, never opening an existing one; a descriptor, or -1 with
// errno set.
int OpenNew(const std::filesystem::path& path);
// Writes some of data; the count written, or -1 with errno set.
long WriteSome(int fd, const char* data, std::size_t size);
int Close(int fd);
void Remove(const std::filesystem::path& path);
// Moves the file onto `to`, replacing an earlier file of that name. Empty on success, else
// the reason; then `from` is left where it was.
std::string RenameOver(const std::filesystem::path& from, const std::filesystem::path& to);
int ProcessId();

}  // namespace native_files
}  // namespace pelmoa
