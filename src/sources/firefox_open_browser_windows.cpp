#include "sources/firefox_open_browser_windows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "sources/firefox_session.h"

namespace pelmoa {
namespace {

const QString kSessionFile = QStringLiteral("sessionstore-backups/recovery.jsonlz4");

QStringList SessionFileAddresses(const QFileInfo& session) {
  QFile file(session.filePath());
  // The compressed block is never larger than the text it holds, give or take a little.
  if (session.size() > qint64(kMaxSessionBytes) || !file.open(QIODevice::ReadOnly)) return {};
  const std::optional<QByteArray> json = UnpackMozLz4(file.read(session.size()));
  if (!json) return {};
  return SessionWindowAddresses(*json).value_or(QStringList());
}

}  // namespace

FirefoxOpenBrowserWindows::FirefoxOpenBrowserWindows(QStringList roots)
    : roots_(std::move(roots)) {}

QStringList FirefoxOpenBrowserWindows::WindowAddresses() {
  QList<QFileInfo> sessions;
  for (const QString& root : roots_) {
    const QDir dir(root);
    for (const QString& profile : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
      const QFileInfo session(dir.filePath(profile + QLatin1Char('/') + kSessionFile));
      if (session.isFile()) sessions.append(session);
    }
  }
  std::stable_sort(sessions.begin(), sessions.end(), [](const QFileInfo& a, const QFileInfo& b) {
    return a.lastModified() < b.lastModified();
  });
  QStringList addresses;
  for (const QFileInfo& session : sessions) addresses += SessionFileAddresses(session);
  return addresses;
}

}  // namespace pelmoa
