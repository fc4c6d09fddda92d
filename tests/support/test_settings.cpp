#include <QDir>
#include <QFile>
#include <QUuid>

#include "test_settings.h"

namespace pelmoa::testing {

TestSettings::TestSettings()
    : place_(QDir::temp().filePath(QStringLiteral("pelmoa-settings-") +
                                   QUuid::createUuid().toString(QUuid::Id128) +
                                   QStringLiteral(".ini"))),
      store_(std::make_unique<QSettingsStore>(place_)) {}

TestSettings::~TestSettings() {
  store_.reset();
  QFile::remove(place_);
}

std::unique_ptr<SettingsStore> TestSettings::Reopen() const {
  return std::make_unique<QSettingsStore>(place_);
}

}  // namespace pelmoa::testing
