#pragma once

#include "folder/shell_open.h"

namespace pelmoa {

// The desktop's own open verb: QDesktopServices, or on Windows the shell's ShellExecuteExW.
class DesktopShellOpen : public ShellOpen {
 public:
  void OpenAddress(const QString& address) override;
  void OpenFile(const QString& path) override;
  bool LastOpenStarted() const override { return started_; }

 private:
  bool started_ = true;
};

}  // namespace pelmoa
