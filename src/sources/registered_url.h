#pragma once

#include <QString>

namespace pelmoa {

// One entry of the registered list, both texts exactly as the user typed them.
struct RegisteredUrl {
  QString title;
  QString url;

  friend bool operator==(const RegisteredUrl&, const RegisteredUrl&) = default;
};

}  // namespace pelmoa
