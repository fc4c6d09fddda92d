#include "main_window_test.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "desktop/fonts.h"

namespace pelmoa::testing {

void MainWindowTest::NewCase() {
  settings_ = std::make_unique<TestSettings>();
  prompter_ = FakePrompter();
}

void MainWindowTest::Open(TransferOptions options) {
  window_ = std::make_unique<frmMain>(settings_->store(), prompter_, std::move(options));
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::EndCase() {
  if (window_) QTRY_VERIFY_WITH_TIMEOUT(!window_->RunInProgress(), kRunTimeoutMs);
  window_.reset();
  settings_.reset();
}

bool MainWindowTest::RunAndWait() {
  QSignalSpy finished(window_.get(), &frmMain::RunFinished);
  window_->cmdGet->click();
  return QTest::qWaitFor([&] { return finished.count() > 0; }, kRunTimeoutMs) &&
         finished.count() == 1;
}

void MainWindowTest::initTestCase() { InstallFontSubstitutions(); }

void MainWindowTest::init() {
  NewCase();
  Open();
}

void MainWindowTest::cleanup() { EndCase(); }

}  // namespace pelmoa::testing
