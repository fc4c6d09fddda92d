#include "harvest/stored_names.h"

#include "harvest/file_names.h"

namespace pelmoa {

std::string NumberedName(std::string_view name, int number) {
  const std::string mark = " (" + std::to_string(number) + ")";
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string(name) + mark;
  return std::string(name.substr(0, dot)) + mark + std::string(name.substr(dot));
}

std::string StoredNames::NameFor(std::string_view name, std::string_view address) const {
  // The same address again takes its own earlier name: it replaces its own file.
  for (int number = 1;; ++number) {
    std::string candidate = number == 1 ? std::string(name) : NumberedName(name, number);
    const auto it = address_of_.find(FileNameKey(candidate));
    if (it == address_of_.end() || it->second == address) return candidate;
  }
}

void StoredNames::Stored(std::string_view name, std::string_view address) {
  address_of_[FileNameKey(name)] = std::string(address);
}

}  // namespace pelmoa
