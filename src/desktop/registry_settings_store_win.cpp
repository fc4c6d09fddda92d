#include <windows.h>

#include <string>

#include "desktop/registry_settings_store.h"

namespace pelmoa {

RegistrySettingsStore::RegistrySettingsStore(QString root) : root_(std::move(root)) {}

QString RegistrySettingsStore::KeyPath(const QString& app, const QString& section) const {
  return root_ + QLatin1Char('\\') + app + QLatin1Char('\\') + section;
}

QString RegistrySettingsStore::ReadSetting(const QString& app, const QString& section,
                                           const QString& key, const QString& default_value) {
  const std::wstring path = KeyPath(app, section).toStdWString();
  const std::wstring name = key.toStdWString();
  // A value that is not a string reads as absent, as a damaged settings file does.
  const DWORD flags = RRF_RT_REG_SZ;
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), flags, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS) {
    return default_value;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), flags, nullptr, value.data(),
                   &bytes) != ERROR_SUCCESS) {
    return default_value;
  }
  // bytes counts the terminating NUL that RegGetValueW guarantees.
  value.resize(bytes >= sizeof(wchar_t) ? bytes / sizeof(wchar_t) - 1 : 0);
  return QString::fromStdWString(value);
}

void RegistrySettingsStore::WriteSetting(const QString& app, const QString& section,
                                         const QString& key, const QString& value) {
  const std::wstring path = KeyPath(app, section).toStdWString();
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring name = key.toStdWString();
  const std::wstring data = value.toStdWString();
  RegSetValueExW(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

std::unique_ptr<SettingsStore> MakeUserSettingsStore() {
  return std::make_unique<RegistrySettingsStore>();
}

}  // namespace pelmoa
