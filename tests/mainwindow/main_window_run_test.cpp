// Whole runs from the main window against a local HTTP server, with the real viewer plugged in.

#include <QBuffer>
#include <QCheckBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "main_window_test.h"
#include "test_class.h"
#include "test_server.h"
#include "viewer/viewer_for_main_window.h"

using pelmoa::frmChild;
using pelmoa::frmMain;

namespace {

std::string Jpeg(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG");
  return bytes.toStdString();
}

}  // namespace

class MainWindowRunTest : public pelmoa::testing::MainWindowTest {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void OneChildPerStoredImage_data();
  void OneChildPerStoredImage();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<pelmoa::testing::TestServer> server_;
  std::unique_ptr<pelmoa::ViewerForMainWindow> viewer_;
};

void MainWindowRunTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("images")));
  NewCase();
  server_ = std::make_unique<pelmoa::testing::TestServer>();
  // Entry 2 has no "." in its name and is passed over; entry 3 is missing on the server.
  server_->Serve("/page.html",
                 "<html><body><img src=\"a.png\"><img src=\"cgi/photojpg\">"
                 "<img src=\"missing.jpg\"><img src=\"b.gif\"><img src=\"c.jpg\">"
                 "</body></html>");
  server_->Serve("/a.png", pelmoa::testing::TinyPng(), "image/png");
  server_->Serve("/b.gif", pelmoa::testing::TinyGif(), "image/gif");
  server_->Serve("/c.jpg", Jpeg(400, 300), "image/jpeg");
  server_->Serve("/missing.jpg", "not here", "text/plain", 404);

  Open();
  viewer_ = std::make_unique<pelmoa::ViewerForMainWindow>(
      [window = window_.get()] { return window->chkHalf->isChecked(); });
  window_->SetImageViewer(viewer_.get());
  window_->txtURL->setText(QString::fromStdString(server_->Url("/page.html")));
  window_->txtFolder->setText(dir_->filePath("images"));
}

void MainWindowRunTest::cleanup() {
  if (window_) QTRY_VERIFY_WITH_TIMEOUT(!window_->RunInProgress(), kRunTimeoutMs);
  window_->SetImageViewer(nullptr);
  viewer_.reset();
  EndCase();
  server_.reset();
  dir_.reset();
}

void MainWindowRunTest::OneChildPerStoredImage_data() {
  QTest::addColumn<bool>("half");
  QTest::addColumn<QSize>("jpeg_client");
  QTest::newRow("full size") << false << QSize(400, 300);
  QTest::newRow("half size") << true << QSize(200, 150);
}

void MainWindowRunTest::OneChildPerStoredImage() {
  QFETCH(bool, half);
  QFETCH(QSize, jpeg_client);
  window_->chkView->setChecked(true);
  window_->chkHalf->setChecked(half);
  QVERIFY(RunAndWait());
  QVERIFY(prompter_.boxes.isEmpty());

  pelmoa::frmDisp* frame = viewer_->viewer().frame();
  QVERIFY(frame);
  QVERIFY(frame->isVisible());
  QStringList captions;
  for (QMdiSubWindow* sub : frame->mdi_area()->subWindowList()) captions << sub->windowTitle();
  QCOMPARE(captions, QStringList({"a.png", "b.gif", "c.jpg"}));

  const auto& children = viewer_->viewer().ViewerChildren();
  QCOMPARE(children.size(), size_t{6});
  QVERIFY(!children[2]);
  QVERIFY(!children[3]);
  QCOMPARE(children[5]->size(), jpeg_client);
  QVERIFY(!children[5]->Picture1()->pixmap().isNull() || !children[5]->Image1()->pixmap().isNull());

  // A second run adds its children to the open frame.
  QVERIFY(RunAndWait());
  QCOMPARE(frame->mdi_area()->subWindowList().size(), 6);
}

PELMOA_TEST_CLASS(MainWindowRunTest);
#include "main_window_run_test.moc"
