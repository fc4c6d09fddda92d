// The run request against a real HTTP server: input checks, the folder question, the locked
// controls during a run, and what a run shows in the window, in order.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>

#include "main_window_test.h"
#include "mainwindow/address_completion.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/progress_bar.h"
#include "mainwindow/status_bar.h"
#include "temp_dir.h"
#include "test_class.h"
#include "test_server.h"

using pelmoa::frmMain;
using pelmoa::testing::Boxes;
namespace fs = std::filesystem;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

// Holds a server answer until the test opens it.
class Gate {
 public:
  Gate() : opened_(promise_.get_future().share()) {}
  ~Gate() { Open(); }
  void Open() {
    if (!open_.exchange(true)) promise_.set_value();
  }
  void Wait() const { opened_.wait(); }

 private:
  std::promise<void> promise_;
  std::shared_future<void> opened_;
  std::atomic<bool> open_{false};
};

}  // namespace

class RunRequestTest : public pelmoa::testing::MainWindowTest {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<pelmoa::testing::TempDir>();
    NewCase();
    server_ = std::make_unique<pelmoa::testing::TestServer>();
    pelmoa::TransferOptions options;
    options.stall_timeout = std::chrono::seconds(10);
    Open(options);
    folder_ = dir_->path() / "images";
    fs::create_directory(folder_);
    window_->txtFolder->setText(Q(folder_.string()));
  }

  void cleanup() {
    EndCase();
    server_.reset();
    dir_.reset();
  }

  void blankInputGivesMessageE_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("folder");
    QTest::newRow("address empty") << "" << "/tmp";
    QTest::newRow("address of spaces") << "   " << "/tmp";
    QTest::newRow("folder empty") << "http://127.0.0.1/" << "";
    QTest::newRow("folder of spaces") << "http://127.0.0.1/" << "  ";
    QTest::newRow("both empty") << "" << "";
  }

  void blankInputGivesMessageE() {
    QFETCH(QString, address);
    QFETCH(QString, folder);
    window_->txtURL->setText(address);
    window_->txtFolder->setText(folder);
    QSignalSpy finished(window_.get(), &frmMain::RunFinished);
    window_->cmdGet->click();

    QCOMPARE(prompter_.boxes, (Boxes{{U("指定エラー"), U("URLと保存先フォルダを指定してください"),
                                     QMessageBox::Critical, QMessageBox::Ok}}));
    QCOMPARE(prompter_.boxes[0].parent, window_.get());
    QVERIFY(!window_->RunInProgress());
    for (QWidget* w : window_->LockedControls()) QVERIFY(w->isEnabled());
    QVERIFY(server_->Requests().empty());
  }

  void missingFolderAnsweredNoChangesNothing() {
    Serve(2);
    const fs::path missing = dir_->path() / "a" / "b" / "c";
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    window_->txtFolder->setText(Q(missing.string()));
    prompter_.answers = {QMessageBox::No};
    window_->cmdGet->click();

    const QString text = U("指定された保存先フォルダは存在しません。\n新規にフォルダを作成しますか？");
    QCOMPARE(prompter_.boxes, (Boxes{{U("指定エラー"), text, QMessageBox::Question,
                                     QMessageBox::Yes | QMessageBox::No}}));
    QCOMPARE(prompter_.boxes[0].parent, window_.get());
    QVERIFY(!fs::exists(dir_->path() / "a"));
    QVERIFY(!window_->RunInProgress());
    for (QWidget* w : window_->LockedControls()) QVERIFY(w->isEnabled());
    QVERIFY(server_->Requests().empty());
  }

  void missingFolderAnsweredYesCreatesEveryLevelAndRuns() {
    Serve(2);
    const fs::path missing = dir_->path() / "a" / "b" / "c";
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    window_->txtFolder->setText(Q(missing.string()));
    prompter_.answers = {QMessageBox::Yes};
    QSignalSpy finished(window_.get(), &frmMain::RunFinished);
    window_->cmdGet->click();
    QVERIFY(fs::is_directory(missing));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kRunTimeoutMs);
    QCOMPARE(prompter_.boxes.size(), 1);
    QVERIFY(fs::exists(missing / "a1.png"));
    QVERIFY(fs::exists(missing / "a2.png"));
  }

  void folderWithTrailingSlashAndSpacesIsCreated() {
    Serve(1);
    const fs::path missing = dir_->path() / "x" / "y";
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    window_->txtFolder->setText(QStringLiteral(" ") + Q(missing.string()) + QStringLiteral("/ "));
    prompter_.answers = {QMessageBox::Yes};
    QVERIFY(RunAndWait());
    QVERIFY(fs::exists(missing / "a1.png"));
  }

  void existingFolderWithSpacesAsksNothing() {
    Serve(1);
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    window_->txtFolder->setText(QStringLiteral(" ") + Q(folder_.string()) + QStringLiteral(" "));
    QVERIFY(RunAndWait());
    QVERIFY(prompter_.boxes.empty());
    QVERIFY(fs::exists(folder_ / "a1.png"));
  }

  void existingFolderByItsName_data() {
    QTest::addColumn<QString>("name");  // below the temporary folder, which holds "images"
    QTest::newRow("a star that matches") << "im*";
    // Only * and ? are wildcards: "[1]" names itself and must not be read as a set.
    QTest::newRow("brackets in the folder's name") << "photos[1]";
  }

  void existingFolderByItsName() {
    QFETCH(QString, name);
    fs::create_directory(dir_->path() / "photos[1]");
    Serve(1);
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    window_->txtFolder->setText(Q((dir_->path()).string()) + u'/' + name);
    QVERIFY(RunAndWait());
    QVERIFY(prompter_.boxes.empty());
  }

  void controlsAreLockedDuringTheRunAndUnlockedAfter() {
    auto gate = std::make_shared<Gate>();
    server_->Handle("/page.html", [gate, this](const httplib::Request&, httplib::Response& res) {
      gate->Wait();
      res.set_content(Page(1), "text/html");
    });
    ServeImages(1);
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    QSignalSpy finished(window_.get(), &frmMain::RunFinished);
    window_->cmdGet->click();

    QVERIFY(window_->RunInProgress());
    const QStringList expected = {"txtURL", "cmdFav",    "cmdCurr", "cmdReg", "cmdBrowse", "txtFolder",
                                  "cmdFolder", "cmdNew", "cmdGet",  "cmdQuit", "cmdHelp",
                                  "chkModern", "chkSmall", "updMinSide"};
    QStringList names;
    for (QWidget* w : window_->LockedControls()) names << w->objectName();
    QCOMPARE(names, expected);
    for (QWidget* w : window_->LockedControls()) QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QTRY_COMPARE_WITH_TIMEOUT(window_->stbStat->PanelText(), U("HTMLファイルの取得中"), kRunTimeoutMs);

    // The display options stay usable, and the window keeps answering.
    QVERIFY(window_->chkView->isEnabled());
    QTest::mouseClick(window_->chkView, Qt::LeftButton);
    QVERIFY(window_->chkView->isChecked());
    QVERIFY(window_->chkHalf->isEnabled());
    QTest::mouseClick(window_->chkHalf, Qt::LeftButton);
    QVERIFY(window_->chkHalf->isChecked());
    window_->chkView->setChecked(false);  // no viewer in this test

    // A second press (Enter, say) starts nothing while the run lasts.
    QTest::keyClick(window_->txtURL, Qt::Key_Return);
    QTest::keyClick(window_->chkView, Qt::Key_Escape);
    QCOMPARE(finished.count(), 0);

    gate->Open();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kRunTimeoutMs);
    for (QWidget* w : window_->LockedControls()) QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(!window_->chkHalf->isEnabled());
    QVERIFY(fs::exists(folder_ / "a1.png"));
    QCOMPARE(server_->RequestCount("/page.html"), 1);
  }

  void statusAndProgressReachTheWindowInOrder() {
    Serve(3);
    std::vector<QString> events;
    connect(window_->stbStat, &pelmoa::StatusBar::PanelTextChanged, this,
            [&](const QString& t) { events.push_back(QStringLiteral("status:") + t); });
    connect(window_->kpbDL, &pelmoa::ProgressBar::Operated, this,
            [&](const QString& op) { events.push_back(op + QStringLiteral(" ") + window_->kpbDL->text()); });
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    QVERIFY(RunAndWait());

    const std::vector<QString> expected = {
        U("status:HTMLファイルの取得中"),
        U("status:ページ情報の解析中"),
        U("status:画像情報を取得中"),
        U("max:3 0/3"),
        U("value:0 0/3"),
        U("visible:1 0/3"),
        U("status:画像のダウンロード中 全3画像"),
        U("step 1/3"),
        U("step 2/3"),
        U("step 3/3"),
        U("status:"),
        U("visible:0 3/3"),
    };
    QCOMPARE(events, expected);
    QVERIFY(prompter_.boxes.empty());
    QVERIFY(window_->kpbDL->isHidden());
    QCOMPARE(window_->stbStat->PanelText(), QString());
  }

  // The run takes the side the box shows; 1 x 1 pictures are all left out at 2 px, none at
  // 1 px.
  void smallPicturesLeftOutByTheWindowsSide() {
    Serve(2);
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    window_->chkSmall->setChecked(true);
    window_->updMinSide->setValue(2);
    QVERIFY(RunAndWait());
    QCOMPARE(window_->stbStat->PanelText(), U("全2画像中 2画像を小さいため除外しました"));
    QVERIFY(dir_entries().empty());
    window_->updMinSide->setValue(1);
    QVERIFY(RunAndWait());
    QCOMPARE(window_->stbStat->PanelText(), QString());
    QCOMPARE(dir_entries(), std::vector<std::string>({"a1.png", "a2.png"}));
  }

  void pageWithoutImagesShowsItsMessageOverTheWindow() {
    server_->Serve("/empty.html", "<html><body>nothing here</body></html>");
    window_->txtURL->setText(Q(server_->Url("/empty.html")));
    bool locked_while_asked = false;
    prompter_.on_show = [&] { locked_while_asked = !window_->cmdGet->isEnabled(); };
    QVERIFY(RunAndWait());
    QCOMPARE(prompter_.boxes, (Boxes{{U("指定エラー"), U("指定のURLには画像が存在しません"),
                                     QMessageBox::Critical, QMessageBox::Ok}}));
    QCOMPARE(prompter_.boxes[0].parent, window_.get());
    // Asked in the middle of the run, which waited for the answer.
    QVERIFY(locked_while_asked);
    QCOMPARE(window_->stbStat->PanelText(), QString());
    prompter_.on_show = nullptr;
  }

  void viewerReceivesTheRunsImages() {
    Serve(2);
    pelmoa::testing::FakeViewer viewer;
    window_->SetImageViewer(&viewer);
    window_->chkView->setChecked(true);
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    QVERIFY(RunAndWait());
    const std::string f = folder_.string();
    const std::vector<std::string> expected = {"png+", "frame", "image:" + f + "|a1.png|1",
                                               "image:" + f + "|a2.png|2", "png-"};
    QCOMPARE(viewer.calls, expected);
    window_->SetImageViewer(nullptr);
  }

  void secondRunReusesTheWindow() {
    Serve(2);
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    QVERIFY(RunAndWait());
    QVERIFY(RunAndWait());
    QCOMPARE(server_->RequestCount("/page.html"), 2);
    QVERIFY(prompter_.boxes.empty());
  }

  void accessKeysAndFocusAfterARun_data() {
    QTest::addColumn<QString>("start_in");  // where Enter starts the run
    QTest::addColumn<int>("images");        // 0: the run ends with a message box
    QTest::newRow("run from the address box") << "txtURL" << 2;
    QTest::newRow("run from the folder box") << "txtFolder" << 2;
    QTest::newRow("message box in the middle of the run") << "txtURL" << 0;
  }

  void accessKeysAndFocusAfterARun() {
    QFETCH(QString, start_in);
    QFETCH(int, images);
    Serve(images);
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QWidget* start = window_->findChild<QWidget*>(start_in);
    start->setFocus();
    // A message box hands the focus back to the window's focus widget when it closes.
    QString focus_under_box;
    prompter_.on_show = [&] {
      if (QWidget* f = window_->focusWidget()) focus_under_box = f->objectName();
    };
    QSignalSpy finished(window_.get(), &frmMain::RunFinished);
    QTest::keyClick(start, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kRunTimeoutMs);
    prompter_.on_show = nullptr;

    QCOMPARE(prompter_.boxes.size(), images == 0 ? 1 : 0);
    QVERIFY2(!focus_under_box.startsWith(QLatin1String("chk")), qPrintable(focus_under_box));
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), window_->txtFolder);
    QTest::keyClick(window_.get(), Qt::Key_U, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), window_->txtURL);
    QTest::keyClick(window_.get(), Qt::Key_V, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), window_->chkView);
  }

  void typedAddressIsProposedAgain() {
    Serve(1);
    const QString address = Q(server_->Url("/page.html"));
    window_->txtURL->setText(QStringLiteral("  ") + address);
    QVERIFY(RunAndWait());
    QTRY_VERIFY(window_->address_completion()->HistoryLoaded());
    QVERIFY(window_->address_completion()->Addresses().contains(address));
  }

  void closingTheWindowStopsTheRun() {
    // The second image stops half way and never finishes unless the gate opens.
    auto gate = std::make_shared<Gate>();
    const std::string png = pelmoa::testing::TinyPng();
    server_->Serve("/page.html", Page(2));
    server_->Serve("/a1.png", png, "image/png");
    server_->Handle("/a2.png", [gate, png](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(png.size() * 4, "image/png",
                               [gate, png](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset == 0) {
                                   sink.write(png.data(), png.size());
                                   return true;
                                 }
                                 gate->Wait();
                                 return false;
                               });
    });
    window_->txtURL->setText(Q(server_->Url("/page.html")));
    QSignalSpy finished(window_.get(), &frmMain::RunFinished);
    window_->cmdGet->click();
    QTRY_COMPARE_WITH_TIMEOUT(window_->kpbDL->text(), QStringLiteral("1/2"), kRunTimeoutMs);

    window_->close();
    // The run ends while the server still holds the second image back.
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kRunTimeoutMs);
    QVERIFY(prompter_.boxes.empty());
    // The first image is in place; of the second nothing is left, not even a part.
    QCOMPARE(dir_entries(), std::vector<std::string>({"a1.png"}));
    gate->Open();
  }

 private:
  std::string Page(int images) const {
    std::string html = "<html><body>";
    for (int i = 1; i <= images; ++i) html += "<img src=\"a" + std::to_string(i) + ".png\">";
    return html + "</body></html>";
  }

  void ServeImages(int images) {
    for (int i = 1; i <= images; ++i) {
      server_->Serve("/a" + std::to_string(i) + ".png", pelmoa::testing::TinyPng(), "image/png");
    }
  }

  void Serve(int images) {
    server_->Serve("/page.html", Page(images));
    ServeImages(images);
  }

  std::vector<std::string> dir_entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<pelmoa::testing::TempDir> dir_;
  std::unique_ptr<pelmoa::testing::TestServer> server_;
  fs::path folder_;
};

PELMOA_TEST_CLASS(RunRequestTest);
#include "run_request_test.moc"
