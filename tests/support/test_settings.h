#pragma once

#include <QString>
#include <memory>

#include "desktop/settings_store.h"

namespace pelmoa::testing {

// The settings store of the platform for one test, empty at the start and gone at the end:
// an INI file in a temporary folder on Linux, a registry key of its own under
// HKEY_CURRENT_USER on Windows (in the throwaway Wine prefix of the test run).
class TestSettings {
 public:
  TestSettings();
  ~TestSettings();
  TestSettings(const TestSettings&) = delete;
  TestSettings& operator=(const TestSettings&) = delete;

  SettingsStore& store() { return *store_; }
  // A second store on the same place, as the next start of the program opens it.
  std::unique_ptr<SettingsStore> Reopen() const;
  // A value of the application "Pelmoa" as the next start reads it; a null text when it was
  // never written.
  QString Stored(const QString& section, const QString& key) const {
    return Reopen()->ReadSetting(QStringLiteral("Pelmoa"), section, key, QString());
  }

 private:
  // The INI file's path, or the registry root.
  QString place_;
  std::unique_ptr<SettingsStore> store_;
};

}  // namespace pelmoa::testing
