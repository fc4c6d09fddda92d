#include "history_reader.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include "sources/browser_profiles.h"

namespace pelmoa {

namespace {

// Enough for completion; a history of years must not take seconds to load.
constexpr int kMaxPerFile = 5000;

enum class Kind { kFirefox, kChromium };

struct HistoryFile {
  QString path;
  Kind kind;
};

QList<HistoryFile> FindHistoryFiles(const QString& home) {
  QList<HistoryFile> files;
  const QDir root(home);

  for (const QString& sub : FirefoxProfileFolders()) {
    const QDir dir(root.filePath(sub));
    const QStringList profiles = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& profile : profiles) {
      const QString path = dir.filePath(profile + QStringLiteral("/places.sqlite"));
      if (QFileInfo(path).isFile()) files.append({path, Kind::kFirefox});
    }
  }

  for (const QString& sub : ChromiumUserDataFolders()) {
    const QDir dir(root.filePath(sub));
    // Opera keeps its history in the root; the others keep one folder per profile.
    const QString direct = dir.filePath(QStringLiteral("History"));
    if (QFileInfo(direct).isFile()) files.append({direct, Kind::kChromium});
    const QStringList profiles = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& profile : profiles) {
      const QString path = dir.filePath(profile + QStringLiteral("/History"));
      if (QFileInfo(path).isFile()) files.append({path, Kind::kChromium});
    }
  }
  return files;
}

// Copies the database with its write-ahead log (recent visits live there until Firefox
// checkpoints) or rollback journal into a folder of our own.
QString CopyForReading(const QString& source, const QTemporaryDir& scratch) {
  const QString copy = scratch.filePath(QStringLiteral("history.sqlite"));
  if (!QFile::copy(source, copy)) return {};
  for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-journal")}) {
    if (QFileInfo(source + suffix).isFile()) QFile::copy(source + suffix, copy + suffix);
  }
  return copy;
}

void ReadOne(const QString& copy, Kind kind, int limit, const std::atomic<bool>* stop,
             QStringList& out, QSet<QString>& seen) {
  sqlite3* db = nullptr;
  // Read-write on the copy so that SQLite may replay the copied log into it. SQLite takes
  // file names as UTF-8 on every platform.
  if (sqlite3_open_v2(copy.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE,
                      nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return;
  }
  sqlite3_busy_timeout(db, 200);
  const QByteArray sql =
      kind == Kind::kFirefox
          ? QByteArrayLiteral("SELECT url FROM moz_places WHERE (url LIKE 'http://%' OR url "
                              "LIKE 'https://%') ORDER BY frecency DESC LIMIT ?1")
          : QByteArrayLiteral("SELECT url FROM urls WHERE (url LIKE 'http://%' OR url LIKE "
                              "'https://%') ORDER BY visit_count DESC, last_visit_time DESC "
                              "LIMIT ?1");
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
    sqlite3_bind_int(stmt, 1, limit);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      if (stop && stop->load()) break;
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
      if (!text) continue;
      const QString url = QString::fromUtf8(text);
      if (!seen.contains(url)) {
        seen.insert(url);
        out.append(url);
      }
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}

}  // namespace

QStringList HistoryFiles(const QString& home) {
  QStringList paths;
  for (const HistoryFile& f : FindHistoryFiles(home)) paths.append(f.path);
  return paths;
}

QStringList ReadHistoryAddresses(const QString& home, const std::atomic<bool>* stop) {
  QStringList out;
  QSet<QString> seen;
  for (const HistoryFile& file : FindHistoryFiles(home)) {
    if (stop && stop->load()) break;
    QTemporaryDir scratch;
    if (!scratch.isValid()) break;
    const QString copy = CopyForReading(file.path, scratch);
    if (copy.isEmpty()) continue;
    ReadOne(copy, file.kind, kMaxPerFile, stop, out, seen);
  }
  return out;
}

}  // namespace pelmoa
