// The program's end while a run is in progress: closing the main window stops the run, and
// the event loop goes on serving the run until it has stopped, then ends by itself because
// no window is left. The test runs the real event loop, as main() does.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <future>
#include <memory>

#include "main_window_test.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/status_bar.h"
#include "temp_dir.h"
#include "test_class.h"
#include "test_server.h"

using pelmoa::frmMain;

class ProgramEndTest : public pelmoa::testing::MainWindowTest {
  Q_OBJECT

 private slots:
  void init() { NewCase(); }  // the window opens with the test's own stall timeout

  void closingDuringARunEndsTheProgramAfterTheRun() {
    pelmoa::testing::TempDir dir;
    pelmoa::testing::TestServer server;
    // The page never comes unless the run is aborted: only cancelling can end the run.
    auto release = std::make_shared<std::promise<void>>();
    auto released = release->get_future().share();
    server.Handle("/slow.html", [released](const httplib::Request&, httplib::Response& res) {
      released.wait();
      res.set_content("<img src=\"x.png\">", "text/html");
    });

    QApplication::setQuitOnLastWindowClosed(true);
    pelmoa::TransferOptions options;
    options.stall_timeout = std::chrono::seconds(30);
    Open(options);
    window_->txtURL->setText(QString::fromStdString(server.Url("/slow.html")));
    window_->txtFolder->setText(QString::fromStdString(dir.str()));

    bool run_finished = false;
    bool finished_before_loop_ended = false;
    connect(window_.get(), &frmMain::RunFinished, this, [&] { run_finished = true; });
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [&] { finished_before_loop_ended = run_finished; });

    window_->cmdGet->click();
    QVERIFY(window_->RunInProgress());
    // Close once the run is waiting for the page; a safety net ends a loop that hangs.
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      if (window_->stbStat->PanelText().isEmpty() || !window_->isVisible()) return;
      window_->close();
    });
    poll.start(20);
    bool hung = false;
    QTimer::singleShot(30000, this, [&] {
      hung = true;
      QCoreApplication::exit(1);
    });

    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!hung);
    QVERIFY(run_finished);
    QVERIFY(finished_before_loop_ended);
    QVERIFY(!window_->RunInProgress());
    QVERIFY(prompter_.boxes.empty());
    release->set_value();
  }
};

PELMOA_TEST_CLASS(ProgramEndTest);
#include "program_end_test.moc"
