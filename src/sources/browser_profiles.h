#pragma once

#include <QStringList>

// Where the browsers keep their profiles for this user, one file per platform
// (browser_profiles.cpp, browser_profiles_win.cpp).
namespace pelmoa {

// The folders under which Firefox keeps its profiles (the usual one, the snap's and the
// flatpak's; on Windows %APPDATA%\Mozilla\Firefox\Profiles).
QStringList DefaultFirefoxRoots();

// Below a home folder (on Windows the user's profile folder, with its AppData): the folders
// of Firefox's profiles, and the user-data folders of the Chromium family (Chrome, Chromium,
// Brave, Edge, Vivaldi, Opera).
QStringList FirefoxProfileFolders();
QStringList ChromiumUserDataFolders();

}  // namespace pelmoa
