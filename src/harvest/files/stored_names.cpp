#include "harvest/files/stored_names.h"

#include "harvest/files/file_names.h"

namespace pelmoa {

std::string NumberedName(std::string_view name, int number) {
  const std::string mark = " (" + std::to_string(number) + ")";
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string(name) + mark;
  return std::string(name.substr(0, dot)) + mark + std::string(name.substr(dot));
}

std::string StoredNames::NameFor(std::string_view name, std::string_view address) const {
  // The same address again takes its own earlier name: it replaces its own file.
  const auto candidate = [name](int number) {
    return number == 1 ? std::string(name) : NumberedName(name, number);
  };
  const auto holder = [this](const std::string& n) {
    const auto it = address_of_.find(FileNameKey(n));
    return it == address_of_.end() ? nullptr : &it->second;
  };
  Numbers& numbers = numbers_[FileNameKey(std::string(name))];
  if (const auto given = numbers.of_address.find(std::string(address));
      given != numbers.of_address.end()) {
    std::string earlier = candidate(given->second);
    if (const std::string* a = holder(earlier); a && *a == address) return earlier;
  }
  // Names are never given back: every number below the first free one stays taken.
  for (int number = numbers.first_free;; ++number) {
    std::string c = candidate(number);
    const std::string* a = holder(c);
    if (a && *a != address) continue;
    if (!a) numbers.first_free = number;
    numbers.of_address[std::string(address)] = number;
    return c;
  }
}

void StoredNames::Stored(std::string_view name, std::string_view address) {
  address_of_[FileNameKey(name)] = std::string(address);
}

}  // namespace pelmoa
