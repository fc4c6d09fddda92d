#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace pelmoa {

// "a (2).jpg": the number goes before the last '.' of the name, or at its end without one.
std::string NumberedName(std::string_view name, int number);

// The names one harvest (its frames included) stored, and from which address, so that no
// picture is lost to a name: an image of another address under a name already stored gets
// "name (2).ext", then "(3)", and so on. Names compare as the file system compares them.
class StoredNames {
 public:
  // The name to store an image of this address under.
  std::string NameFor(std::string_view name, std::string_view address) const;
  // The image of this address is now stored under this name.
  void Stored(std::string_view name, std::string_view address);

 private:
  std::unordered_map<std::string, std::string> address_of_;  // by FileNameKey
  // By FileNameKey of a name asked for, so that a page of many images of one name is not
  // searched from "(2)" for each: the number below which every numbered name is taken, and
  // the number each address was given.
  struct Numbers {
    int first_free = 1;
    std::unordered_map<std::string, int> of_address;
  };
  mutable std::unordered_map<std::string, Numbers> numbers_;
};

}  // namespace pelmoa
