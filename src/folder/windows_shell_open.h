#pragma once

#include "folder/shell_open.h"

namespace pelmoa {

// The shell's open verb (ShellExecuteW): the default browser for an address, the viewer the
// shell has for a file's type.
class WindowsShellOpen : public ShellOpen {
 public:
  void OpenAddress(const QString& address) override;
  void OpenFile(const QString& path) override;
  bool LastOpenStarted() const override { return started_; }

 private:
  bool started_ = true;
};

}  // namespace pelmoa
