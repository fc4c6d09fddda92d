#include "harvest/files/name_rules.h"

#include <cstring>
#include <string>

namespace pelmoa {
namespace {

constexpr std::size_t kMaxNameUtf16Units = 255;


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
  // A name as long as the page is not read to be refused.
  if (name.size() > kMaxSafeNameBytes) return false;
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

}  // namespace pelmoa
