#pragma once

#include <QStringList>

namespace pelmoa {

// The browser windows open on this machine.
class OpenBrowserWindows {
 public:
  virtual ~OpenBrowserWindows() = default;
  // The address each open window shows, in the order the browser keeps its windows; empty
  // when there are none or they cannot be read.
  virtual QStringList WindowAddresses() = 0;
};

}  // namespace pelmoa
