#pragma once

#include <QString>

#include "desktop/settings_store.h"

namespace pelmoa {

// The settings store of Windows: string values in the registry under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, one value a
// key, where earlier versions of the program keep theirs.
class RegistrySettingsStore : public SettingsStore {
 public:
  // Tests give a root of their own under HKEY_CURRENT_USER.
  explicit RegistrySettingsStore(
      QString root = QStringLiteral("Software\\VB and VBA Program Settings"));

  QString ReadSetting(const QString& app, const QString& section, const QString& key,
                      const QString& default_value) override;
  void WriteSetting(const QString& app, const QString& section, const QString& key,
                    const QString& value) override;

 private:
  QString KeyPath(const QString& app, const QString& section) const;
  QString root_;
};

}  // namespace pelmoa
