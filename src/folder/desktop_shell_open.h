#pragma once

#include "folder/shell_open.h"

namespace pelmoa {

// The open verb through QDesktopServices.
class DesktopShellOpen : public ShellOpen {
 public:
  void OpenAddress(const QString& address) override;
  void OpenFile(const QString& path) override;
  bool LastOpenStarted() const override { return started_; }

 private:
  bool started_ = true;
};

}  // namespace pelmoa
