// The viewer frame across runs: loading, centring, closing, and the list of child windows.

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <memory>

#include "test_class.h"
#include "test_images.h"
#include "viewer/texts.h"
#include "viewer/viewer.h"
#include "viewer/viewer_for_main_window.h"

using pelmoa::frmChild;
using pelmoa::frmDisp;
using pelmoa::Viewer;
namespace t = pelmoa::testing;

namespace {

// The frame's client area when loaded: 4920 x 3195 twips at the screen's logical DPI.
QSize FrameClient() {
  const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
  return QSize(qRound(4920 * dpi / 1440), qRound(3195 * dpi / 1440));
}

void VerifyLoadedAndCentred(const frmDisp* frame) {
  QVERIFY(frame);
  QVERIFY(frame->isVisible());
  QCOMPARE(frame->size(), FrameClient());
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QRect outer = frame->frameGeometry();
  QVERIFY2(qAbs(outer.center().x() - screen.center().x()) <= 1 &&
               qAbs(outer.center().y() - screen.center().y()) <= 1,
           qPrintable(QStringLiteral("frame at %1,%2 size %3x%4")
                          .arg(outer.x())
                          .arg(outer.y())
                          .arg(outer.width())
                          .arg(outer.height())));
}

// Closed sub-windows go away when the event loop deletes them.
void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class FrameWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void FirstShowLoadsTheFrame();
  void ShowingAnOpenFrameLeavesItWhereTheUserPutIt();
  void ClosingTheFrameClosesItsChildren();
  void ClosedFrameComesBackCentred_data();
  void ClosedFrameComesBackCentred();
  void EveryImageGetsANewChild();
  void LaterRunCutsTheListBack();
  void ChildrenClosedByTheUserReadNull();
  void FolderIsTrimmed();
  void CloseAllClosesEverything();
  void MainWindowNamesArriveAsUtf8();
  void ChildrenCascadeInsideTheFrame();
  void ShowingPicturesLeavesTheFocusWhereTheUserTypes();

 private:
  void WriteJpegs(std::initializer_list<const char*> names);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<Viewer> viewer_;
};

void FrameWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  viewer_ = std::make_unique<Viewer>([] { return false; });
}

void FrameWindowTest::cleanup() {
  viewer_.reset();
  dir_.reset();
}

void FrameWindowTest::WriteJpegs(std::initializer_list<const char*> names) {
  for (const char* name : names)
    QVERIFY(t::WriteImage(dir_->filePath(QString::fromUtf8(name)), 60, 40, "JPEG"));
}

void FrameWindowTest::FirstShowLoadsTheFrame() {
  QVERIFY(!viewer_->frame());
  viewer_->ShowFrame();
  frmDisp* frame = viewer_->frame();
  VerifyLoadedAndCentred(frame);
  QCOMPARE(frame->objectName(), QStringLiteral("frmDisp"));
  QCOMPARE(frame->windowTitle(), QStringLiteral("画像の表示"));
  QVERIFY(!frame->windowIcon().isNull());
  QCOMPARE(frame->mdi_area()->background().color(), QColor(Qt::black));
  QVERIFY(frame->mdi_area()->subWindowList().isEmpty());
  QVERIFY(!frame->parentWidget());
}

void FrameWindowTest::ShowingAnOpenFrameLeavesItWhereTheUserPutIt() {
  viewer_->ShowFrame();
  frmDisp* frame = viewer_->frame();
  frame->setGeometry(40, 50, 500, 400);
  viewer_->ShowFrame();
  QCOMPARE(viewer_->frame(), frame);
  QCOMPARE(frame->geometry(), QRect(40, 50, 500, 400));
}

void FrameWindowTest::ClosingTheFrameClosesItsChildren() {
  WriteJpegs({"a.jpg", "b.jpg"});
  viewer_->ShowFrame();
  viewer_->ShowImageInViewer(dir_->path(), "a.jpg", 1);
  viewer_->ShowImageInViewer(dir_->path(), "b.jpg", 2);
  QCOMPARE(viewer_->frame()->mdi_area()->subWindowList().size(), 2);

  QVERIFY(viewer_->frame()->close());
  QVERIFY(!viewer_->frame()->isVisible());
  DeleteClosedWindows();
  QVERIFY(viewer_->frame()->mdi_area()->subWindowList().isEmpty());
  QVERIFY(!viewer_->ViewerChildren()[1]);
  QVERIFY(!viewer_->ViewerChildren()[2]);
}

void FrameWindowTest::ClosedFrameComesBackCentred_data() {
  QTest::addColumn<bool>("by_a_child");
  QTest::newRow("a later run shows the frame") << false;
  QTest::newRow("a child created while it is closed") << true;
}

void FrameWindowTest::ClosedFrameComesBackCentred() {
  QFETCH(bool, by_a_child);
  WriteJpegs({"a.jpg", "b.jpg"});
  viewer_->ShowFrame();
  viewer_->ShowImageInViewer(dir_->path(), "a.jpg", 1);
  viewer_->frame()->setGeometry(10, 20, 600, 500);  // moved and resized by the user
  viewer_->frame()->close();
  DeleteClosedWindows();

  if (by_a_child)
    viewer_->ShowImageInViewer(dir_->path(), "b.jpg", 1);
  else
    viewer_->ShowFrame();
  VerifyLoadedAndCentred(viewer_->frame());
  const auto subs = viewer_->frame()->mdi_area()->subWindowList();
  QCOMPARE(subs.size(), by_a_child ? 1 : 0);
  if (by_a_child) QCOMPARE(subs.first()->windowTitle(), QStringLiteral("b.jpg"));
}

void FrameWindowTest::EveryImageGetsANewChild() {
  WriteJpegs({"same.jpg"});
  viewer_->ShowFrame();
  viewer_->ShowImageInViewer(dir_->path(), "same.jpg", 1);
  frmChild* first = viewer_->ViewerChildren()[1];
  viewer_->ShowImageInViewer(dir_->path(), "same.jpg", 1);
  QVERIFY(viewer_->ViewerChildren()[1] != first);
  QVERIFY(first);
  QCOMPARE(viewer_->frame()->mdi_area()->subWindowList().size(), 2);
}

void FrameWindowTest::LaterRunCutsTheListBack() {
  WriteJpegs({"a.jpg", "c.jpg", "d.jpg", "x.jpg", "y.jpg"});
  // First run: entries 1, 3 and 4 are stored, entry 2 was passed over.
  viewer_->CreatePngLoader();
  viewer_->ShowFrame();
  viewer_->ShowImageInViewer(dir_->path(), "a.jpg", 1);
  viewer_->ShowImageInViewer(dir_->path(), "c.jpg", 3);
  viewer_->ShowImageInViewer(dir_->path(), "d.jpg", 4);
  viewer_->ReleasePngLoader();
  const auto& list = viewer_->ViewerChildren();
  QCOMPARE(list.size(), size_t{5});
  QVERIFY(!list[0]);
  QVERIFY(!list[2]);
  QPointer<frmChild> a = list[1];
  QPointer<frmChild> c = list[3];
  QPointer<frmChild> d = list[4];

  // Second run: its first stored image is entry 2.
  viewer_->CreatePngLoader();
  viewer_->ShowFrame();
  viewer_->ShowImageInViewer(dir_->path(), "x.jpg", 2);
  QCOMPARE(list.size(), size_t{3});
  QCOMPARE(list[1], a);
  QCOMPARE(list[2]->parentWidget()->windowTitle(), QStringLiteral("x.jpg"));
  viewer_->ShowImageInViewer(dir_->path(), "y.jpg", 3);
  viewer_->ReleasePngLoader();
  QCOMPARE(list.size(), size_t{4});
  QVERIFY(list[3] != c);
  QCOMPARE(list[3]->parentWidget()->windowTitle(), QStringLiteral("y.jpg"));

  // The first run's windows stay open, whether or not the list still refers to them.
  for (const QPointer<frmChild>& child : {a, c, d}) {
    QVERIFY(child);
    QVERIFY(child->isVisible());
  }
  QCOMPARE(viewer_->frame()->mdi_area()->subWindowList().size(), 5);
}

void FrameWindowTest::ChildrenClosedByTheUserReadNull() {
  WriteJpegs({"a.jpg", "b.jpg"});
  viewer_->ShowImageInViewer(dir_->path(), "a.jpg", 1);
  viewer_->ShowImageInViewer(dir_->path(), "b.jpg", 2);
  QVERIFY(viewer_->ViewerChildren()[1]->parentWidget()->close());
  DeleteClosedWindows();
  QVERIFY(!viewer_->ViewerChildren()[1]);
  QVERIFY(viewer_->ViewerChildren()[2]);
  // A later run that reaches the same position works on as before.
  viewer_->ShowImageInViewer(dir_->path(), "a.jpg", 1);
  QVERIFY(viewer_->ViewerChildren()[1]);
  QCOMPARE(viewer_->ViewerChildren().size(), size_t{2});
}

void FrameWindowTest::FolderIsTrimmed() {
  WriteJpegs({"a.jpg"});
  viewer_->ShowImageInViewer(QStringLiteral("  ") + dir_->path() + QStringLiteral("  "), "a.jpg",
                             1);
  QCOMPARE(viewer_->ViewerChildren()[1]->size(), QSize(60, 40));
}

void FrameWindowTest::CloseAllClosesEverything() {
  viewer_->CloseAll();  // nothing loaded yet: nothing to do
  QVERIFY(!viewer_->frame());
  WriteJpegs({"a.jpg"});
  viewer_->ShowImageInViewer(dir_->path(), "a.jpg", 1);
  QVERIFY(viewer_->frame()->isVisible());
  viewer_->CloseAll();
  QVERIFY(!viewer_->frame()->isVisible());
  DeleteClosedWindows();
  QVERIFY(!viewer_->ViewerChildren()[1]);
}

void FrameWindowTest::MainWindowNamesArriveAsUtf8() {
  // The run stores Japanese names as UTF-8 on Linux; the same bytes must find the file.
  const QString sub_folder = dir_->filePath(QStringLiteral("画像"));
  QVERIFY(QDir().mkpath(sub_folder));
  QVERIFY(t::WriteImage(sub_folder + QStringLiteral("/写真.jpg"), 60, 40, "JPEG"));
  bool half = true;
  pelmoa::ViewerForMainWindow plugged([&half] { return half; });
  plugged.CreatePngLoader();
  plugged.ShowFrame();
  plugged.ShowImage(sub_folder.toStdString(), "写真.jpg", 1);
  plugged.ReleasePngLoader();
  frmChild* child = plugged.viewer().ViewerChildren()[1];
  QVERIFY(child);
  QCOMPARE(child->parentWidget()->windowTitle(), QStringLiteral("写真.jpg"));
  QCOMPARE(child->size(), QSize(30, 20));
  plugged.CloseAll();
  QVERIFY(!plugged.viewer().frame()->isVisible());
}

void FrameWindowTest::ChildrenCascadeInsideTheFrame() {
  // Each new child one step right of and below the one before, the same step both ways, so
  // that several pictures stay in view; back at the top left before a child would open in
  // the last quarter of the frame.
  WriteJpegs({"c.jpg"});
  viewer_->ShowFrame();
  const QSize area = viewer_->frame()->mdi_area()->viewport()->size();
  QList<QPoint> corners;
  for (int i = 1; i <= 40; ++i) {
    viewer_->ShowImageInViewer(dir_->path(), "c.jpg", i);
    corners << viewer_->ViewerChildren()[i]->parentWidget()->pos();
  }
  QCOMPARE(corners[0], QPoint(0, 0));
  const int step = corners[1].x();
  QVERIFY2(step >= 10, qPrintable(QString::number(step)));
  int wraps = 0;
  for (int k = 1; k < corners.size(); ++k) {
    if (corners[k] == QPoint(0, 0)) {
      ++wraps;
      // The one before was the last that fitted: one more step would have passed 3/4.
      QVERIFY(corners[k - 1].x() + step > area.width() * 3 / 4 ||
              corners[k - 1].y() + step > area.height() * 3 / 4);
      continue;
    }
    QCOMPARE(corners[k], corners[k - 1] + QPoint(step, step));
    QVERIFY(corners[k].x() <= area.width() * 3 / 4 && corners[k].y() <= area.height() * 3 / 4);
  }
  QVERIFY(wraps >= 1);

  // A frame closed and loaded again starts at the top left.
  viewer_->frame()->close();
  DeleteClosedWindows();
  viewer_->ShowImageInViewer(dir_->path(), "c.jpg", 1);
  QCOMPARE(viewer_->ViewerChildren()[1]->parentWidget()->pos(), QPoint(0, 0));
}

void FrameWindowTest::ShowingPicturesLeavesTheFocusWhereTheUserTypes() {
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
    QSKIP("the offscreen platform activates every window it shows; run under a window manager");
  }
  // The user types in another window while a run shows its pictures.
  QWidget typing;
  auto* box = new QLineEdit(&typing);
  typing.show();
  typing.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&typing));
  box->setFocus();
  WriteJpegs({"a.jpg", "b.jpg"});
  viewer_->ShowFrame();
  viewer_->ShowImageInViewer(dir_->path(), "a.jpg", 1);
  viewer_->ShowImageInViewer(dir_->path(), "b.jpg", 2);
  QVERIFY(QTest::qWaitForWindowExposed(viewer_->frame()));
  // Under a window manager: once it has framed the viewer, it has also decided on the focus.
  QTRY_VERIFY(viewer_->frame()->windowHandle()->frameMargins().top() > 0);
  QCoreApplication::processEvents();
  QCOMPARE(QApplication::activeWindow(), &typing);
  QCOMPARE(QApplication::focusWidget(), box);
}

PELMOA_TEST_CLASS(FrameWindowTest);
#include "frame_window_test.moc"
