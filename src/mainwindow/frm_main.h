#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "harvest/net/transfer.h"
#include "mainwindow/progress_bar.h"
#include "mainwindow/status_bar.h"

class QEventLoopLocker;
class QThread;

namespace pelmoa {

class AddressCompletion;
class FileChooser;
class ImageViewer;
class Prompter;
class SettingsStore;
struct RunState;

// The minimum side the window offers until the user picks another.
inline constexpr int kDefaultMinSide = 100;

// The program's main window. Its controls carry the names (member and objectName) that the
// rest of the program knows them by; other windows read and write them directly, so their
// classes are complete here.
//
// The window is split by duty over several files: frm_main_build.cpp builds the controls,
// frm_main_settings.cpp places the window and saves its position, run_request.cpp starts
// and ends runs, window_run_host.cpp carries a run's calls to the window.
class frmMain : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and loads it (settings read, window placed, completion started,
  // LockedControls filled). transfer_options lets tests shorten time-outs; its cancel
  // pointer is replaced by the window's own flag.
  frmMain(SettingsStore& settings, Prompter& prompter, TransferOptions transfer_options = {},
          QWidget* parent = nullptr);
  ~frmMain() override;

  // In tab order.
  QGroupBox* Frame2 = nullptr;
  QLineEdit* txtURL = nullptr;
  QPushButton* cmdFav = nullptr;
  QPushButton* cmdCurr = nullptr;
  QPushButton* cmdReg = nullptr;
  QPushButton* cmdBrowse = nullptr;
  // Also the images of pages made today; kept in the settings, locked during a run.
  QCheckBox* chkModern = nullptr;
  QGroupBox* Frame3 = nullptr;
  QLineEdit* txtFolder = nullptr;
  QPushButton* cmdFolder = nullptr;
  QPushButton* cmdNew = nullptr;
  QGroupBox* Frame1 = nullptr;
  QCheckBox* chkView = nullptr;
  QCheckBox* chkHalf = nullptr;
  QPushButton* cmdGet = nullptr;
  QPushButton* cmdQuit = nullptr;
  QPushButton* cmdHelp = nullptr;
  // Pictures under the minimum side are left out; both kept in the settings, locked during a
  // run. They lie where the progress bar appears during a run.
  QCheckBox* chkSmall = nullptr;
  QSpinBox* updMinSide = nullptr;
  StatusBar* stbStat = nullptr;
  ProgressBar* kpbDL = nullptr;

  // The controls a run disables, in the order it disables and enables them.
  const QList<QWidget*>& LockedControls() const { return locked_controls_; }
  bool RunInProgress() const { return run_thread_ != nullptr; }

  SettingsStore& settings() const { return settings_; }
  Prompter& prompter() const { return prompter_; }
  // The folder that holds the program file.
  QString ProgramFolder() const;

  // The viewer registers itself here; null means runs show no images.
  void SetImageViewer(ImageViewer* viewer) { image_viewer_ = viewer; }
  ImageViewer* image_viewer() const { return image_viewer_; }

  // More addresses for the address box's completion (the registered list, for one).
  void AddCompletionAddresses(const QStringList& addresses);
  AddressCompletion* address_completion() const { return completion_; }

 signals:
  // The quit button asks the program to end now (main() leaves its event loop).
  void EndProgram();
  // A run has returned and every locked control is enabled again.
  void RunFinished();

 public slots:
  void cmdGet_Click();
  void cmdQuit_Click();
  void chkView_Click();
  void chkModern_Click();
  void chkSmall_Click();
  void updMinSide_Change();
  // Filled in by the URL sources, the folder actions and help.
  void cmdFav_Click();
  void cmdCurr_Click();
  void cmdReg_Click();
  void cmdBrowse_Click();
  void cmdFolder_Click();
  void cmdNew_Click();
  void cmdHelp_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // frm_main_build.cpp
  void BuildControls();
  void ConnectHandlers();
  // frm_main_settings.cpp
  void Form_Load();
  void Form_Unload();
  void PlaceWindow();
  void SaveWindowPosition();
  void ReadOptions();
  // The minimum side a run uses: 0 when chkSmall is not ticked.
  int MinimumSide() const;
  // run_request.cpp
  void BuildLockedControls();
  void SetLockedEnabled(bool enabled);
  void StartRun(const QString& address, const QString& folder);
  void OnRunThreadFinished();

  SettingsStore& settings_;
  Prompter& prompter_;
  ImageViewer* image_viewer_ = nullptr;
  AddressCompletion* completion_ = nullptr;
  // The Favorites dialog keeps its folder and file name from one use to the next.
  std::unique_ptr<FileChooser> shortcut_chooser_;

  QList<QWidget*> locked_controls_;
  // Transfer control, PageHtml and cancel flag; shared with a running worker so that
  // closing the window never pulls them from under it.
  std::shared_ptr<RunState> run_state_;
  QThread* run_thread_ = nullptr;
  // Keeps the program alive until a run ends, even when its last window has closed.
  std::unique_ptr<QEventLoopLocker> run_keeps_alive_;
  QPointer<QWidget> focus_before_run_;
  bool quitting_ = false;
};

}  // namespace pelmoa
