#include "folder/browser_address.h"

#include "desktop/spaces.h"

namespace pelmoa {

std::optional<QString> BrowserAddress(const QString& url_text) {
  // Trimmed as the run trims it: " host/" would otherwise become "http:// host/", which no
  // browser opens, while a run accepts the same text.
  const QString text = TrimSpaces(url_text);
  if (text.isEmpty()) return std::nullopt;
  // Case-sensitive on purpose: "HTTP://" gets the prefix like any other text.
  if (text.startsWith(QLatin1String("http://"), Qt::CaseSensitive) ||
      text.startsWith(QLatin1String("https://"), Qt::CaseSensitive)) {
    return text;
  }
  return QStringLiteral("http://") + text;
}

}  // namespace pelmoa
