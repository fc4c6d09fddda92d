#include "sources/browser_profiles.h"

#include <QDir>

namespace pelmoa {

QStringList DefaultFirefoxRoots() {
  const QString home = QDir::homePath();
  QStringList roots;
  for (const QString& folder : FirefoxProfileFolders()) roots.append(home + u'/' + folder);
  return roots;
}

QStringList FirefoxProfileFolders() {
  return {QStringLiteral(".mozilla/firefox"), QStringLiteral("snap/firefox/common/.mozilla/firefox"),
          QStringLiteral(".var/app/org.mozilla.firefox/.mozilla/firefox")};
}

QStringList ChromiumUserDataFolders() {
  return {
      QStringLiteral(".config/google-chrome"),
      QStringLiteral(".config/google-chrome-beta"),
      QStringLiteral(".config/chromium"),
      QStringLiteral("snap/chromium/common/chromium"),
      QStringLiteral(".config/BraveSoftware/Brave-Browser"),
      QStringLiteral(".config/microsoft-edge"),
      QStringLiteral(".config/vivaldi"),
      QStringLiteral(".config/opera"),
  };
}

}  // namespace pelmoa
