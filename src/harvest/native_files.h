#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// The few file calls of the core, one implementation per platform: native_files.cpp on the
// POSIX C runtime, native_files_win.cpp on the Windows one with UTF-16 paths.
namespace pelmoa::native_files {

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

}  // namespace pelmoa::native_files
