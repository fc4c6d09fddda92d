#include "folder/browser_address.h"

namespace pelmoa {
namespace {

// Trimming removes space characters (U+0020) only, as the run request does.
QString TrimmedOfSpaces(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text.at(first) == u' ') ++first;
  while (last > first && text.at(last - 1) == u' ') --last;
  return text.mid(first, last - first);
}

}  // namespace

std::optional<QString> BrowserAddress(const QString& url_text) {
  if (TrimmedOfSpaces(url_text).isEmpty()) return std::nullopt;
  // Case-sensitive on purpose: "HTTP://" gets the prefix like any other text.
  if (url_text.startsWith(QLatin1String("http://"), Qt::CaseSensitive) ||
      url_text.startsWith(QLatin1String("https://"), Qt::CaseSensitive)) {
    return url_text;
  }
  return QStringLiteral("http://") + url_text;
}

}  // namespace pelmoa
