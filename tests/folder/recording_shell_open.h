#pragma once

#include <QStringList>

#include "folder/shell_open.h"

namespace pelmoa::testing {

// Stands in for the desktop's open verb.
class RecordingShellOpen : public ShellOpen {
 public:
  void OpenAddress(const QString& address) override { addresses.append(address); }
  void OpenFile(const QString& path) override { files.append(path); }
  bool LastOpenStarted() const override { return starts; }

  QStringList addresses;
  QStringList files;
  // False: as on a desktop with no browser and no help viewer.
  bool starts = true;
};

}  // namespace pelmoa::testing
