#pragma once

#include <QString>

namespace pelmoa {

// The desktop's open verb. Nothing is reported back: a target the desktop cannot open
// simply does nothing visible from the program's side.
class ShellOpen {
 public:
  virtual ~ShellOpen() = default;
  // Hands a web address to the default browser.
  virtual void OpenAddress(const QString& address) = 0;
  // Opens a local file in the viewer the desktop has for its type.
  virtual void OpenFile(const QString& path) = 0;
};

}  // namespace pelmoa
