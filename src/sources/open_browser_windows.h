#pragma once

#include <QStringList>
#include <memory>

namespace pelmoa {

// The browser windows open on this machine.
class OpenBrowserWindows {
 public:
  virtual ~OpenBrowserWindows() = default;
  // The address each open window shows, in the order the browser keeps its windows; empty
  // when there are none or they cannot be read.
  virtual QStringList WindowAddresses() = 0;
};

// The platform's own: the shell's windows on Windows (then Firefox's session), Firefox's
// session elsewhere.
std::unique_ptr<OpenBrowserWindows> MakeOpenBrowserWindows();

}  // namespace pelmoa
