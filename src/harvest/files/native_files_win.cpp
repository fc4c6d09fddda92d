#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <system_error>

#include "harvest/files/name_rules.h"
#include "harvest/files/native_files.h"

namespace pelmoa {
namespace {

// Below this length every call takes a path as it is. A folder may be at most 248
// characters long without the "\\?\" form, which leaves room for a file name of 12.
constexpr std::size_t kPlainPathLimit = 248;

std::string ReasonFor(DWORD code) {
  return std::error_code(static_cast<int>(code), std::system_category()).message();
}

// The long name of the entry that answers to path, or empty when nothing does. A name given
// as an 8.3 short name answers with the entry's own long name.
std::wstring LongNameOf(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  const HANDLE found = FindFirstFileW(path.c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return {};
  FindClose(found);
  return data.cFileName;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Where the folders of path begin: after "C:\", "\\server\share\" or their "\\?\" forms.
std::size_t RootLength(const std::wstring& path) {
  std::size_t from = 0;
  bool unc = false;
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    from = 8;
    unc = true;
  } else if (path.rfind(L"\\\\?\\", 0) == 0) {
    from = 4;
  } else if (path.rfind(L"\\\\", 0) == 0) {
    from = 2;
    unc = true;
  }
  if (!unc) return path.size() >= from + 3 && path[from + 1] == L':' ? from + 3 : from;
  const std::size_t server_end = path.find(L'\\', from);
  if (server_end == std::wstring::npos) return path.size();
  const std::size_t share_end = path.find(L'\\', server_end + 1);
  return share_end == std::wstring::npos ? path.size() : share_end + 1;
}

// "C:\..." or "\\server\...", either slash: no current drive or folder takes part.
bool IsFullyQualified(const std::wstring& path) {
  auto slash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (path.size() >= 2 && slash(path[0]) && slash(path[1])) return true;
  return path.size() >= 3 && path[1] == L':' && slash(path[2]);
}

}  // namespace

// NTFS takes names of up to 255 UTF-16 units.
bool IsSafeFileName(std::string_view name) { return IsSafeWindowsFileName(name); }

std::string FileNameKey(std::string_view name) {
  // Letter case by the system's own table, the same for every user's language.
  const std::wstring wide = PathFromUtf8(name).native();
  if (wide.empty()) return {};
  std::wstring upper(wide.size(), L'\0');
  const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.c_str(),
                              static_cast<int>(wide.size()), upper.data(),
                              static_cast<int>(upper.size()), nullptr, nullptr, 0);
  if (n <= 0) return std::string(name);
  upper.resize(static_cast<std::size_t>(n));
  return Utf8FromPath(std::filesystem::path(upper));
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  // MultiByteToWideChar turns a byte that is not UTF-8 into U+FFFD instead of throwing.
  if (utf8.empty()) return {};
  const int n = static_cast<int>(utf8.size());
  const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), wide);
  return std::filesystem::path(std::move(out));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int n = static_cast<int>(wide.size());
  const int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), len, nullptr, nullptr);
  return out;
}

// The "\\?\" form reaches past 260 characters on every Windows, without the system-wide
// opt-in that a long-path-aware manifest needs. It takes the path as it stands, so the path
// is first made whole the way the system makes any other (relative parts, "/", "..", a
// trailing dot), and the call reaches the same file it would reach with a short path.
std::filesystem::path SystemPath(const std::filesystem::path& path) {
  const std::wstring& given = path.native();
  if (given.rfind(L"\\\\?\\", 0) == 0 || given.rfind(L"\\\\.\\", 0) == 0) return path;
  // A relative path is as long as it is once resolved: a short folder under a deep current
  // folder passes the limit only then.
  if (given.size() < kPlainPathLimit && IsFullyQualified(given)) return path;
  const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  if (full.size() < kPlainPathLimit) return full;
  if (full.rfind(L"\\\\.\\", 0) == 0 || full.rfind(L"\\\\?\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::error_code MakeDirectoryPath(const std::filesystem::path& folder) {
  std::wstring full = SystemPath(folder).native();
  while (full.size() > RootLength(full) && (full.back() == L'\\' || full.back() == L'/')) {
    full.pop_back();
  }
  // Each missing folder from the root down; existing ones are passed, whether or not this
  // user could have made them.
  for (std::size_t at = RootLength(full); at <= full.size();) {
    std::size_t end = full.find_first_of(L"\\/", at);
    if (end == std::wstring::npos) end = full.size();
    if (end > at) {
      const std::wstring part = full.substr(0, end);
      DWORD attributes = GetFileAttributesW(part.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!CreateDirectoryW(part.c_str(), nullptr)) {
          const DWORD code = GetLastError();
          attributes = GetFileAttributesW(part.c_str());  // made meanwhile by someone else?
          if (code != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES) {
            return {static_cast<int>(code), std::system_category()};
          }
        }
      }
      // A file where a folder is wanted: on the way down, or as the folder itself.
      if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {end < full.size() ? ERROR_DIRECTORY : ERROR_ALREADY_EXISTS, std::system_category()};
      }
    }
    at = end + 1;
  }
  // A root alone is not made: a drive that does not exist, or a share that does not answer.
  const DWORD made = GetFileAttributesW(full.c_str());
  if (made == INVALID_FILE_ATTRIBUTES || !(made & FILE_ATTRIBUTE_DIRECTORY)) {
    return {ERROR_PATH_NOT_FOUND, std::system_category()};
  }
  return {};
}

namespace native_files {

int OpenNew(const std::filesystem::path& path) {
  return ::_wopen(SystemPath(path).c_str(),
                  _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}

long WriteSome(int fd, const char* data, std::size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

int Close(int fd) { return ::_close(fd); }

void Remove(const std::filesystem::path& path) { ::_wunlink(SystemPath(path).c_str()); }

// A name that already answers is replaced only when it is that file's own name. Under an 8.3
// short name ("IMAGE~1.JPG") the system would reach, and replace, a file of a different long
// name that the user keeps in the folder; the name of another image's temporary file beside
// it answers the same way. So the move first claims a free name, and only a name that
// answers as itself (in any letter case) is then written over.
std::string RenameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  const std::wstring source = SystemPath(from).native();
  const std::wstring target = SystemPath(to).native();
  if (MoveFileExW(source.c_str(), target.c_str(), 0)) return {};
  const DWORD code = GetLastError();
  if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) return ReasonFor(code);
  const std::wstring answering = LongNameOf(target);
  if (!SameName(answering, to.filename().native())) {
    return "the name is the short name of " + Utf8FromPath(answering);
  }
  if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return {};
  return ReasonFor(GetLastError());
}

int ProcessId() { return ::_getpid(); }

}  // namespace native_files
}  // namespace pelmoa
