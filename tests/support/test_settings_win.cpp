#include <windows.h>

#include <QUuid>
#include <string>

#include "desktop/registry_settings_store.h"
#include "test_settings.h"

namespace pelmoa::testing {

TestSettings::TestSettings()
    : place_(QStringLiteral("Software\\Pelmoa window tests\\") +
             QUuid::createUuid().toString(QUuid::Id128)),
      store_(std::make_unique<RegistrySettingsStore>(place_)) {}

TestSettings::~TestSettings() {
  store_.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, place_.toStdWString().c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, place_.toStdWString().c_str());
}

std::unique_ptr<SettingsStore> TestSettings::Reopen() const {
  return std::make_unique<RegistrySettingsStore>(place_);
}

}  // namespace pelmoa::testing
