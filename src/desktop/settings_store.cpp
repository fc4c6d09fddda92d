#include "desktop/settings_store.h"

#include <QSettings>

namespace pelmoa {

QSettingsStore::QSettingsStore() = default;
QSettingsStore::QSettingsStore(const QString& ini_path) : ini_path_(ini_path) {}
QSettingsStore::~QSettingsStore() = default;

QSettings& QSettingsStore::SettingsFor(const QString& app) {
  if (!settings_ || settings_app_ != app) {
    if (ini_path_.isEmpty()) {
      settings_ = std::make_unique<QSettings>(QStringLiteral("Pelmoa"), app);
    } else {
      settings_ = std::make_unique<QSettings>(ini_path_, QSettings::IniFormat);
    }
    settings_app_ = app;
  }
  return *settings_;
}

QString QSettingsStore::ReadSetting(const QString& app, const QString& section,
                                    const QString& key, const QString& default_value) {
  QSettings& s = SettingsFor(app);
  const QVariant v = s.value(section + QLatin1Char('/') + key);
  // A value that is not a string (a damaged file) reads as absent.
  if (!v.isValid() || !v.canConvert<QString>()) return default_value;
  return v.toString();
}

void QSettingsStore::WriteSetting(const QString& app, const QString& section, const QString& key,
                                  const QString& value) {
  // No sync() per value: it rewrites the whole file, which made saving a long registered list
  // quadratic. QSettings writes the file at the next event-loop pass and when it is destroyed,
  // and other QSettings objects of this process see the value at once.
  SettingsFor(app).setValue(section + QLatin1Char('/') + key, value);
}

}  // namespace pelmoa
