#include "mainwindow/frm_main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoopLocker>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include "desktop/image_viewer.h"
#include "folder/folder_actions.h"
#include "mainwindow/address_completion.h"
#include "mainwindow/window_run_host.h"
#include "sources/browser_page.h"
#include "sources/file_chooser.h"
#include "sources/firefox_open_browser_windows.h"
#include "sources/frm_regist.h"
#include "sources/registered_url_store.h"
#include "sources/shortcut_import.h"

namespace pelmoa {

frmMain::frmMain(SettingsStore& settings, Prompter& prompter, TransferOptions transfer_options,
                 QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      prompter_(prompter),
      run_state_(std::make_shared<RunState>(transfer_options)) {
  BuildControls();
  ConnectHandlers();
  Form_Load();
}

frmMain::~frmMain() {
  // A run still going (a test tearing down, the session ending) is told to stop; the worker
  // keeps its share of the run state and finishes on its own.
  run_state_->cancel.store(true);
}

QString frmMain::ProgramFolder() const { return QCoreApplication::applicationDirPath(); }

void frmMain::AddCompletionAddresses(const QStringList& addresses) {
  if (completion_) completion_->AddAddresses(addresses);
}

void frmMain::chkView_Click() { chkHalf->setEnabled(chkView->isChecked()); }

void frmMain::cmdFav_Click() {
  if (!shortcut_chooser_) shortcut_chooser_ = MakeShortcutChooser();
  TakeShortcutUrl(this, txtURL, *shortcut_chooser_, prompter_);
}

void frmMain::cmdCurr_Click() {
  TakeBrowserPageUrl(*MakeOpenBrowserWindows(), txtURL);
}

void frmMain::cmdReg_Click() {
  OpenRegisteredUrlWindow(this, settings_, prompter_, txtURL);
  AddCompletionAddresses(RegisteredAddresses(settings_));
}
void frmMain::cmdBrowse_Click() {
  FolderActions(settings_, prompter_).OpenPage(this, txtURL->text());
}
void frmMain::cmdFolder_Click() {
  FolderActions(settings_, prompter_).ChooseFolder(this, *txtFolder);
}
void frmMain::cmdNew_Click() {
  FolderActions(settings_, prompter_).CreateFolder(this, txtFolder->text());
}
void frmMain::cmdHelp_Click() { FolderActions(settings_, prompter_).OpenHelp(this); }

void frmMain::cmdQuit_Click() {
  SaveWindowPosition();
  quitting_ = true;
  if (image_viewer_) image_viewer_->CloseAll();
  // Hidden rather than closed: closing would run Form_Unload, which quitting skips.
  hide();
  emit EndProgram();
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (!quitting_) Form_Unload();
  // A run in progress stops at its next safe point; the program lives on until it has.
  run_state_->cancel.store(true);
  event->accept();
}

void frmMain::keyPressEvent(QKeyEvent* event) {
  // Keys that the focused text box, check box or frame passed up. A focused push button
  // takes Enter itself (autoDefault), so Enter reaches here only from the other controls.
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    if (cmdGet->isEnabled()) cmdGet->click();
    return;
  }
  if (plain && event->key() == Qt::Key_Escape) {
    if (cmdQuit->isEnabled()) cmdQuit->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace pelmoa
