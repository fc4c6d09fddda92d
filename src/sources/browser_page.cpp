#include "sources/browser_page.h"

#include <QLineEdit>

namespace pelmoa {

bool TakeBrowserPageUrl(OpenBrowserWindows& windows, QLineEdit* txt_url) {
  QString candidate;
  for (const QString& address : windows.WindowAddresses()) candidate = address;
  if (candidate.isEmpty()) return false;
  txt_url->setText(candidate);
  return true;
}

}  // namespace pelmoa
