// pelmoa: the desktop program. It reads no command-line arguments.

#include <curl/curl.h>

#include <QApplication>

#include "desktop/fonts.h"
#include "desktop/prompter.h"
#include "desktop/qt_japanese.h"
#include "desktop/settings_store.h"
#include "mainwindow/frm_main.h"
#include "viewer/viewer_for_main_window.h"

int main(int argc, char** argv) {
  // Before any thread exists: libcurl's global set-up is not thread-safe.
  curl_global_init(CURL_GLOBAL_DEFAULT);
  int rc = 0;
  {
    // Only the program name reaches Qt, so no argument changes what the program does.
    int qt_argc = argc > 0 ? 1 : 0;
    QApplication app(qt_argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Pelmoa"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelmoa"));
    // Ties the windows to the menu entry pelmoa.desktop (the icon and name a desktop shows).
    QGuiApplication::setDesktopFileName(QStringLiteral("pelmoa"));
    // The program ends when its last window closes: the main window, or the last viewer
    // window left open after it (a run in progress holds the end off until it stops).
    QApplication::setQuitOnLastWindowClosed(true);
    pelmoa::InstallFontSubstitutions();
    // The question box's はい/いいえ and the file dialogs in the window's language.
    pelmoa::InstallQtJapanese();

    const std::unique_ptr<pelmoa::SettingsStore> settings = pelmoa::MakeUserSettingsStore();
    pelmoa::QMessageBoxPrompter prompter;
    pelmoa::frmMain window(*settings, prompter);
    // The half-size option is read once per image, from the window's check box.
    pelmoa::ViewerForMainWindow viewer([&window] { return window.chkHalf->isChecked(); });
    window.SetImageViewer(&viewer);
    QObject::connect(&window, &pelmoa::frmMain::EndProgram, &app,
                     [] { QCoreApplication::exit(0); });
    window.show();
    rc = QApplication::exec();
    window.SetImageViewer(nullptr);
  }
  curl_global_cleanup();
  return rc;
}
