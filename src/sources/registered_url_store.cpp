#include "sources/registered_url_store.h"

namespace pelmoa {
namespace {

const QString kApp = QStringLiteral("Pelmoa");
const QString kSection = QStringLiteral("URL");

// "001" ... "999", then "1000" and on without padding.
QString PositionNumber(int position) {
  return QStringLiteral("%1").arg(position, 3, 10, QLatin1Char('0'));
}

QString TitleKey(int position) { return QStringLiteral("Title") + PositionNumber(position); }
QString UrlKey(int position) { return QStringLiteral("URL") + PositionNumber(position); }

QString Read(SettingsStore& store, const QString& key) {
  return store.ReadSetting(kApp, kSection, key, QString::fromLatin1(kEndOfList));
}

}  // namespace

bool IsEndMarkerTitle(const QString& title) { return title == QLatin1String(kEndOfList); }

QList<RegisteredUrl> LoadRegisteredUrls(SettingsStore& store) {
  QList<RegisteredUrl> list;
  for (int p = 1;; ++p) {
    QString title = Read(store, TitleKey(p));
    if (IsEndMarkerTitle(title)) break;
    list.append({std::move(title), Read(store, UrlKey(p))});
  }
  return list;
}

void SaveRegisteredUrls(SettingsStore& store, const QList<RegisteredUrl>& list) {
  int p = 1;
  for (const RegisteredUrl& entry : list) {
    store.WriteSetting(kApp, kSection, UrlKey(p), entry.url);
    store.WriteSetting(kApp, kSection, TitleKey(p), entry.title);
    ++p;
  }
  // Every older entry behind the new end is marked, not only the next one, so that a later,
  // longer save cannot bring the rest back.
  const QString end = QString::fromLatin1(kEndOfList);
  for (int q = p; !IsEndMarkerTitle(Read(store, TitleKey(q))); ++q) {
    store.WriteSetting(kApp, kSection, TitleKey(q), end);
    store.WriteSetting(kApp, kSection, UrlKey(q), end);
  }
}

QStringList RegisteredAddresses(SettingsStore& store) {
  QStringList addresses;
  for (const RegisteredUrl& entry : LoadRegisteredUrls(store)) addresses.append(entry.url);
  addresses.removeDuplicates();
  return addresses;
}

}  // namespace pelmoa
