// The run request: input checks, the destination folder, locking the window and the run on
// its worker thread.

#include <QCheckBox>
#include <QEventLoopLocker>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <exception>

#include "desktop/folder_query.h"
#include "desktop/prompter.h"
#include "harvest/harvest.h"
#include "mainwindow/address_completion.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/progress_bar.h"
#include "mainwindow/status_bar.h"
#include "mainwindow/texts.h"
#include "mainwindow/window_run_host.h"

namespace pelmoa {

void frmMain::BuildLockedControls() {
  // The options of the run last: unlike the display options, which are read for every image,
  // they are read once when the run starts, so a change during a run would not do what it
  // says.
  locked_controls_ = {txtURL,  cmdFav,    cmdCurr, cmdReg,  cmdBrowse, txtFolder,
                      cmdFolder, cmdNew, cmdGet,  cmdQuit, cmdHelp,   chkModern,
                      chkSmall,  updMinSide};
}

void frmMain::SetLockedEnabled(bool enabled) {
  for (QWidget* control : locked_controls_) control->setEnabled(enabled);
}

void frmMain::cmdGet_Click() {
  if (RunInProgress()) return;  // the button is locked then; a queued click must not slip by
  const QString address = TrimSpaces(txtURL->text());
  const QString folder = TrimSpaces(txtFolder->text());
  if (address.isEmpty() || folder.isEmpty()) {
    prompter_.Show(this, QString::fromUtf8(texts::kTitleInputError),
                   QString::fromUtf8(texts::kMessageNeedUrlAndFolder), QMessageBox::Critical,
                   QMessageBox::Ok);
    return;
  }

  if (!FolderQueryMatches(folder)) {
    const auto answer = prompter_.Show(this, QString::fromUtf8(texts::kTitleInputError),
                                       QString::fromUtf8(texts::kMessageFolderMissing),
                                       QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    // The trimmed text, the folder the run writes into: a stray space must neither create a
    // folder of its own nor make every image fail.
    MakeSureDirectoryPathExists(folder);
  }

  // What the user typed is proposed again next time.
  if (completion_) completion_->AddAddresses({address});

  focus_before_run_ = focusWidget();
  // The window itself holds the focus while the controls are locked. Otherwise disabling the
  // focused control would pass the focus along the chain onto chkView, where a message box of
  // the run would give it back and Space would toggle the option.
  setFocus(Qt::OtherFocusReason);
  SetLockedEnabled(false);
  // Both as typed: the run trims the address and the folder itself.
  StartRun(txtURL->text(), txtFolder->text());
}

void frmMain::StartRun(const QString& address, const QString& folder) {
  run_state_->cancel.store(false);
  auto host = std::make_shared<WindowRunHost>(run_state_, this);
  const std::string address_utf8 = address.toStdString();
  const std::string folder_utf8 = folder.toStdString();
  const HarvestOptions options{.modern_pages = chkModern->isChecked(),
                               .min_side = MinimumSide()};
  // The worker holds its own share of the state and the host: the window may be closed
  // (or even destroyed) while it runs, and never waits for it.
  run_thread_ = QThread::create([host, state = run_state_, address_utf8, folder_utf8, options] {
    try {
      HarvestPage(address_utf8, folder_utf8, *host, options);
    } catch (const std::exception&) {
      // Nothing should escape a run; if something does, the window tidies up below.
      host->SetStatusText("");
      host->SetProgressVisible(false);
    } catch (...) {
      host->SetStatusText("");
      host->SetProgressVisible(false);
    }
  });
  run_thread_->setObjectName(QStringLiteral("harvest run"));
  connect(run_thread_, &QThread::finished, run_thread_, &QObject::deleteLater);
  connect(run_thread_, &QThread::finished, this, &frmMain::OnRunThreadFinished);
  run_keeps_alive_ = std::make_unique<QEventLoopLocker>();
  run_thread_->start();
}

void frmMain::OnRunThreadFinished() {
  run_thread_ = nullptr;
  SetLockedEnabled(true);
  // Also when another window is active: the control gets the focus when this window does.
  if (focus_before_run_) focus_before_run_->setFocus(Qt::OtherFocusReason);
  focus_before_run_.clear();
  emit RunFinished();
  // Last: with the main window closed and no viewer open, this ends the program.
  run_keeps_alive_.reset();
}

}  // namespace pelmoa
