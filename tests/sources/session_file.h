#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pelmoa::testing {

// A session file as Firefox writes it: "mozLz40\0", the text's size (4 bytes, little
// endian), then the text compressed as one LZ4 block.
QByteArray MozLz4(const QByteArray& json);

// Session text with one window per address, each with a single tab on that address.
QByteArray SessionJson(const QStringList& addresses);

// Writes bytes to root/profile/sessionstore-backups/recovery.jsonlz4; returns its path.
QString WriteSessionFile(const QString& root, const QString& profile, const QByteArray& bytes);

}  // namespace pelmoa::testing
