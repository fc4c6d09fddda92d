#pragma once

#include <QStringList>

#include "folder/shell_open.h"

namespace pelmoa::testing {

// Stands in for the desktop's open verb.
class RecordingShellOpen : public ShellOpen {
 public:
  void OpenAddress(const QString& address) override { addresses.append(address); }
  void OpenFile(const QString& path) override { files.append(path); }

  QStringList addresses;
  QStringList files;
};

}  // namespace pelmoa::testing
