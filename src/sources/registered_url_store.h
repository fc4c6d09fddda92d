#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "desktop/settings_store.h"
#include "sources/registered_url.h"

namespace pelmoa {

// A title key reading exactly this (case-sensitive, untrimmed) ends the stored list; a
// missing key reads as it too.
inline constexpr char kEndOfList[] = "None";

// True when title cannot be stored because it would end the list on the next load.
bool IsEndMarkerTitle(const QString& title);

// The registered list as stored, in order (possibly empty).
QList<RegisteredUrl> LoadRegisteredUrls(SettingsStore& store);

// Writes list as positions 1 to n and ends the stored list after it. Never deletes a key.
void SaveRegisteredUrls(SettingsStore& store, const QList<RegisteredUrl>& list);

// The registered addresses for the address box's completion: in list order, each once.
QStringList RegisteredAddresses(SettingsStore& store);

}  // namespace pelmoa
