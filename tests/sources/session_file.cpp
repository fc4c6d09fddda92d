#include "session_file.h"

#include <lz4.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelmoa::testing {

QByteArray MozLz4(const QByteArray& json) {
  QByteArray out("mozLz40", 8);
  const auto size = static_cast<quint32>(json.size());
  for (int shift = 0; shift < 32; shift += 8) out.append(char((size >> shift) & 0xff));
  QByteArray block(LZ4_compressBound(int(json.size())), Qt::Uninitialized);
  const int written =
      LZ4_compress_default(json.constData(), block.data(), int(json.size()), int(block.size()));
  out.append(block.first(written));
  return out;
}

QByteArray SessionJson(const QStringList& addresses) {
  QJsonArray windows;
  for (const QString& address : addresses) {
    const QJsonObject entry{{QStringLiteral("url"), address},
                            {QStringLiteral("title"), QStringLiteral("page")}};
    const QJsonObject tab{{QStringLiteral("entries"), QJsonArray{entry}},
                          {QStringLiteral("index"), 1}};
    windows.append(
        QJsonObject{{QStringLiteral("tabs"), QJsonArray{tab}}, {QStringLiteral("selected"), 1}});
  }
  return QJsonDocument(QJsonObject{{QStringLiteral("version"), QJsonArray{"sessionrestore", 1}},
                                   {QStringLiteral("windows"), windows},
                                   {QStringLiteral("_closedWindows"), QJsonArray{}}})
      .toJson(QJsonDocument::Compact);
}

QString WriteSessionFile(const QString& root, const QString& profile, const QByteArray& bytes) {
  const QString folder =
      root + QLatin1Char('/') + profile + QStringLiteral("/sessionstore-backups");
  QDir().mkpath(folder);
  const QString path = folder + QStringLiteral("/recovery.jsonlz4");
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

}  // namespace pelmoa::testing
