#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace pelmoa {

// The per-user settings store: string values addressed by application, section and key.
// No value is ever deleted.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual QString ReadSetting(const QString& app, const QString& section, const QString& key,
                              const QString& default_value) = 0;
  virtual void WriteSetting(const QString& app, const QString& section, const QString& key,
                            const QString& value) = 0;
};

// QSettings with organisation and application "Pelmoa", sections as groups. With a file
// path, the store is that INI file (tests use a temporary one).
class QSettingsStore : public SettingsStore {
 public:
  QSettingsStore();
  explicit QSettingsStore(const QString& ini_path);
  ~QSettingsStore() override;

  QString ReadSetting(const QString& app, const QString& section, const QString& key,
                      const QString& default_value) override;
  void WriteSetting(const QString& app, const QString& section, const QString& key,
                    const QString& value) override;

 private:
  QString ini_path_;
  QSettings& SettingsFor(const QString& app);
  std::unique_ptr<QSettings> settings_;
  QString settings_app_;
};

// The user's own store: the registry on Windows (registry_settings_store_win.cpp), QSettings
// elsewhere (user_settings_store.cpp).
std::unique_ptr<SettingsStore> MakeUserSettingsStore();

}  // namespace pelmoa
