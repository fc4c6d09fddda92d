#pragma once

#include <QString>

namespace pelmoa {

// The desktop's open verb.
class ShellOpen {
 public:
  virtual ~ShellOpen() = default;
  // Hands a web address to the default browser.
  virtual void OpenAddress(const QString& address) = 0;
  // Opens a local file in the viewer the desktop has for its type.
  virtual void OpenFile(const QString& path) = 0;
  // Whether the last OpenAddress or OpenFile started anything, so that the user can be told
  // when no browser or help viewer could be started at all. An implementation that cannot
  // tell answers true.
  virtual bool LastOpenStarted() const { return true; }
};

}  // namespace pelmoa
