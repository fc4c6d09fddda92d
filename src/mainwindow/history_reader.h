#pragma once

#include <QString>
#include <QStringList>
#include <atomic>

namespace pelmoa {

// Browser history files under a home folder (on Windows the user's profile folder, with its
// AppData): Firefox places.sqlite of every profile, and the History file of every profile of
// the Chromium family (Chrome, Chromium, Brave, Edge, Vivaldi, Opera). Only files that exist
// are listed.
QStringList HistoryFiles(const QString& home);

// The http and https addresses of every history file under home, most used first within each
// file, without repeats. Each file is read from a temporary copy, so the browser's own file
// is never written or locked; a missing, locked or damaged file is passed over silently.
// Stops early, with what it has, once stop becomes true.
QStringList ReadHistoryAddresses(const QString& home, const std::atomic<bool>* stop = nullptr);

}  // namespace pelmoa
