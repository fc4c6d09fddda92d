#include <QDir>

#include "sources/browser_profiles.h"

namespace pelmoa {

QStringList DefaultFirefoxRoots() {
  const QString app_data = qEnvironmentVariable("APPDATA");
  if (app_data.isEmpty()) return {};
  return {QDir::fromNativeSeparators(app_data) + QStringLiteral("/Mozilla/Firefox/Profiles")};
}

// Roaming for Firefox and Opera, Local for the others.
QStringList FirefoxProfileFolders() {
  return {QStringLiteral("AppData/Roaming/Mozilla/Firefox/Profiles")};
}

QStringList ChromiumUserDataFolders() {
  return {
      QStringLiteral("AppData/Local/Microsoft/Edge/User Data"),
      QStringLiteral("AppData/Local/Google/Chrome/User Data"),
      QStringLiteral("AppData/Local/Chromium/User Data"),
      QStringLiteral("AppData/Local/BraveSoftware/Brave-Browser/User Data"),
      QStringLiteral("AppData/Local/Vivaldi/User Data"),
      QStringLiteral("AppData/Roaming/Opera Software/Opera Stable"),
  };
}

}  // namespace pelmoa
