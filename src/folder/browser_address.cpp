#include "folder/browser_address.h"

#include "mainwindow/spaces.h"

namespace pelmoa {

std::optional<QString> BrowserAddress(const QString& url_text) {
  if (TrimSpaces(url_text).isEmpty()) return std::nullopt;
  // Case-sensitive on purpose: "HTTP://" gets the prefix like any other text.
  if (url_text.startsWith(QLatin1String("http://"), Qt::CaseSensitive) ||
      url_text.startsWith(QLatin1String("https://"), Qt::CaseSensitive)) {
    return url_text;
  }
  return QStringLiteral("http://") + url_text;
}

}  // namespace pelmoa
