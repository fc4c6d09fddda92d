#pragma once

#include <QString>
#include <QStringList>

#include "sources/browser_profiles.h"
#include "sources/open_browser_windows.h"

namespace pelmoa {

// The windows of Firefox's running sessions, read from each profile's
// sessionstore-backups/recovery.jsonlz4. Profiles come oldest session first, so the
// windows of the most recently written session come last. A profile whose session file is
// missing, unreadable or damaged has no windows.
class FirefoxOpenBrowserWindows : public OpenBrowserWindows {
 public:
  explicit FirefoxOpenBrowserWindows(QStringList roots = DefaultFirefoxRoots());
  QStringList WindowAddresses() override;

 private:
  QStringList roots_;
};

}  // namespace pelmoa
