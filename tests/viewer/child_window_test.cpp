// Child windows of the viewer: one per image, sized to the picture at full or half size.

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMovie>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "test_class.h"
#include "test_images.h"
#include "viewer/viewer.h"

using pelmoa::frmChild;
using pelmoa::LoaderKind;
using pelmoa::Viewer;
namespace t = pelmoa::testing;

Q_DECLARE_METATYPE(LoaderKind)

namespace {

// Twips a pixel at the screen's logical DPI (15 at 96 DPI).
double TwipsPerPixel() { return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX(); }

enum class Kind {
  kJpeg,
  kPng,
  kWebp,
  kStillGif,
  kAnimatedGif,
  kGarbage,
  kMissing,
  kHugePng,
  kSvg,
  kSvgPastLimit,
  kHugeSvg,
  kCutSvg,
  kDeepSvg
};

QByteArray Svg(const QByteArray& attributes, const QByteArray& content) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
         attributes + ">" + content + "</svg>";
}

// Covers the whole picture, whatever its coordinates.
constexpr char kBlue[] =
    "<rect x='-1000' y='-1000' width='100000' height='100000' fill='#0000ff'/>";

QByteArray SizedSvg(int width, int height, const QByteArray& more = {}) {
  return Svg(QByteArray("width='%1' height='%2'")
                 .replace("%1", QByteArray::number(width))
                 .replace("%2", QByteArray::number(height)),
             kBlue + more);
}

bool Write(Kind kind, const QString& path, int width, int height) {
  switch (kind) {
    case Kind::kJpeg:
      return t::WriteImage(path, width, height, "JPEG");
    case Kind::kPng:
      return t::WriteImage(path, width, height, "PNG");
    case Kind::kWebp:  // the image formats plugin, which the programs ship
      return t::WriteImage(path, width, height, "WEBP");
    case Kind::kStillGif:
      return t::WriteStillGif(path);
    case Kind::kAnimatedGif:
      return t::WriteAnimatedGif(path);
    case Kind::kGarbage:
      return t::WriteBytes(path, "<html><body>404 Not Found</body></html>");
    case Kind::kMissing:
      return true;
    case Kind::kHugePng:  // 20000 x 20000: 400 megapixels, 1.6 GB decoded
      return t::WritePngHeaderOnly(path, 20000, 20000);
    case Kind::kSvg:  // width x height, drawn in blue
      return t::WriteBytes(path, SizedSvg(width, height));
    case Kind::kSvgPastLimit:  // longer than the viewer reads
      return t::WriteBytes(path, SizedSvg(40, 30, QByteArray(1024 * 1024, ' ')));
    case Kind::kHugeSvg:
      return t::WriteBytes(path, SizedSvg(20000, 20000));
    case Kind::kCutSvg:
      return t::WriteBytes(path, SizedSvg(40, 30).chopped(20));
    case Kind::kDeepSvg:
      return t::WriteBytes(
          path,
          SizedSvg(40, 30, QByteArray("<g>").repeated(300) + QByteArray("</g>").repeated(300)));
  }
  return false;
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

class ChildWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void ClientIsThePicture_data();
  void ClientIsThePicture();
  void WholePictureIsShown_data();
  void WholePictureIsShown();
  void SvgTakesItsOwnSize_data();
  void SvgTakesItsOwnSize();
  void UnreadableFileLeavesEmptyChild_data();
  void UnreadableFileLeavesEmptyChild();
  void LoaderFollowsTheName_data();
  void LoaderFollowsTheName();
  void PngLoaderLivesAsLongAsTheOutermostRun();
  void HalfOptionIsReadOncePerImage();
  void AnimatedGifPlays_data();
  void AnimatedGifPlays();
  void ChildHasNoMinimizeOrMaximize();
  void LargePictureArrivesAfterTheCallReturns_data();
  void LargePictureArrivesAfterTheCallReturns();

 private:
  frmChild* Show(const QString& file_name, int i);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<Viewer> viewer_;
  bool half_ = false;
  int half_reads_ = 0;
};

void ChildWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  half_ = false;
  half_reads_ = 0;
  viewer_ = std::make_unique<Viewer>([this] {
    ++half_reads_;
    return half_;
  });
  viewer_->CreatePngLoader();
}

void ChildWindowTest::cleanup() {
  viewer_.reset();
  dir_.reset();
}

frmChild* ChildWindowTest::Show(const QString& file_name, int i) {
  viewer_->ShowImageInViewer(dir_->path(), file_name, i);
  if (static_cast<int>(viewer_->ViewerChildren().size()) <= i) return nullptr;
  return viewer_->ViewerChildren()[i];
}

void ChildWindowTest::ClientIsThePicture_data() {
  QTest::addColumn<Kind>("kind");
  QTest::addColumn<QString>("file_name");
  QTest::addColumn<QSize>("picture");
  QTest::addColumn<bool>("half");
  QTest::addColumn<QSize>("client");

  QTest::newRow("jpeg full") << Kind::kJpeg << "photo.jpg" << QSize(400, 300) << false
                             << QSize(400, 300);
  QTest::newRow("jpeg half") << Kind::kJpeg << "photo.jpg" << QSize(400, 300) << true
                             << QSize(200, 150);
  QTest::newRow("png full") << Kind::kPng << "photo.PNG" << QSize(400, 300) << false
                            << QSize(400, 300);
  QTest::newRow("png half") << Kind::kPng << "photo.png" << QSize(400, 300) << true
                            << QSize(200, 150);
  QTest::newRow("tall jpeg full") << Kind::kJpeg << "tall.jpeg" << QSize(120, 500) << false
                                  << QSize(120, 500);
  QTest::newRow("wide png half") << Kind::kPng << "wide.Png" << QSize(640, 96) << true
                                 << QSize(320, 48);
  QTest::newRow("webp half") << Kind::kWebp << "photo.webp" << QSize(400, 300) << true
                             << QSize(200, 150);
  // Narrower than a title bar with its buttons: the picture still sets the client's width.
  QTest::newRow("gif full") << Kind::kStillGif << "photo.gif" << QSize() << false << QSize(40, 30);
  QTest::newRow("larger than the frame")
      << Kind::kJpeg << "big.jpg" << QSize(700, 500) << false << QSize(700, 500);
  // The frame's scroll bars reach what lies outside it.
}

void ChildWindowTest::ClientIsThePicture() {
  QFETCH(Kind, kind);
  QFETCH(QString, file_name);
  QFETCH(QSize, picture);
  QFETCH(bool, half);
  QFETCH(QSize, client);
  QVERIFY(Write(kind, dir_->filePath(file_name), picture.width(), picture.height()));
  half_ = half;

  frmChild* child = Show(file_name, 1);
  QVERIFY(child);
  QCOMPARE(child->size(), client);
  auto* sub = qobject_cast<QMdiSubWindow*>(child->parentWidget());
  QVERIFY(sub);
  QVERIFY(sub->isVisible());
  QCOMPARE(sub->windowTitle(), file_name);
  QCOMPARE(sub->toolTip(), file_name);
  QCOMPARE(sub->mdiArea(), viewer_->frame()->mdi_area());
  // A change of the system's theme (Windows announces one whenever its settings change) must
  // not widen a small picture's window to the width its title bar would like.
  QEvent theme_change(QEvent::ThemeChange);
  QApplication::sendEvent(sub, &theme_change);
  QCOMPARE(child->size(), client);

  // Full size shows Picture1 at the picture's own size; half size shows Image1 filling the
  // client area and keeps no picture in the hidden Picture1.
  QLabel* shown = half ? child->Image1() : child->Picture1();
  QVERIFY(shown->isVisibleTo(child));
  QCOMPARE(shown->geometry(), QRect(QPoint(0, 0), client));
  QVERIFY(!shown->pixmap().isNull());
  if (half) {
    QVERIFY(!child->Picture1()->isVisibleTo(child));
    QVERIFY(child->Picture1()->pixmap().isNull());
    QVERIFY(child->Image1()->hasScaledContents());
  }
}

void ChildWindowTest::WholePictureIsShown_data() {
  QTest::addColumn<bool>("half");
  QTest::newRow("full") << false;
  QTest::newRow("half") << true;
}

void ChildWindowTest::WholePictureIsShown() {
  QFETCH(bool, half);
  // Four quadrants of a 400 x 300 picture: a shown picture that is cut off, or not shrunk,
  // loses some of them.
  const QColor quadrants[2][2] = {{Qt::red, Qt::blue}, {Qt::green, Qt::yellow}};
  QImage image(400, 300, QImage::Format_RGB32);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) image.setPixelColor(x, y, quadrants[y / 150][x / 200]);
  QVERIFY(image.save(dir_->filePath("quadrants.png")));
  half_ = half;

  frmChild* child = Show("quadrants.png", 1);
  QVERIFY(child);
  const QImage shown = child->grab().toImage();
  const int w = half ? 200 : 400;
  const int h = half ? 150 : 300;
  QCOMPARE(shown.size(), QSize(w, h));
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 2; ++col) {
      const QPoint centre(w / 4 + col * w / 2, h / 4 + row * h / 2);
      QCOMPARE(shown.pixelColor(centre), quadrants[row][col]);
    }
  }
}

void ChildWindowTest::SvgTakesItsOwnSize_data() {
  QTest::addColumn<QByteArray>("svg");  // DIR stands for the folder, PNG for a green picture
  QTest::addColumn<bool>("half");
  QTest::addColumn<QSize>("client");
  QTest::addColumn<QColor>("centre");
  const QColor blue(Qt::blue);

  // What follows the picture's end is not read.
  QTest::newRow("width and height")
      << Svg("width='120' height='80' viewBox='0 0 12 8'", kBlue) + "\n<p>after</p>" << false
      << QSize(120, 80) << blue;
  QTest::newRow("width and height half")
      << Svg("width='120' height='80' viewBox='0 0 12 8'", kBlue) << true << QSize(60, 40) << blue;
  QTest::newRow("view box") << Svg("viewBox='0 0 64 48'", kBlue) << false << QSize(64, 48) << blue;
  QTest::newRow("width, height from the view box")
      << Svg("width='200' viewBox='0 0 100 50'", kBlue) << false << QSize(200, 100) << blue;
  QTest::newRow("height, width from the view box half")
      << Svg("height='30px' viewBox='0,0,100,50'", kBlue) << true << QSize(30, 15) << blue;
  QTest::newRow("96 pixels to the inch")
      << Svg("width='72pt' height='.5in'", kBlue) << false << QSize(96, 48) << blue;
  QTest::newRow("percentages give way to the view box")
      << Svg("width='100%' height='100%' viewBox='0 0 50 40'", kBlue) << false << QSize(50, 40)
      << blue;
  // Drawn inside the call, however large: Qt's SVG code is kept off the worker thread.
  QTest::newRow("over 4 megapixels")
      << Svg("width='2600' height='2000'", kBlue) << false << QSize(2600, 2000) << blue;
  QTest::newRow("no size: the size of what it draws")
      << Svg("", "<rect width='30' height='20' fill='#0000ff'/>") << false << QSize(30, 20) << blue;
  // As a page shows an SVG picture: nothing outside the file is read.
  QTest::newRow("linked picture is not drawn")
      << Svg("width='30' height='20'",
             QByteArray(kBlue) + "<image xlink:href='DIR/red.png' width='30' height='20'/>")
      << false << QSize(30, 20) << blue;
  QTest::newRow("linked style sheet is not read")
      << R"(<?xml-stylesheet type="text/css" href="DIR/red.css"?>)" +
             Svg("width='30' height='20'", "<rect width='30' height='20'/>")
      << false << QSize(30, 20) << QColor(Qt::black);
  QTest::newRow("embedded picture is drawn")
      << Svg("width='30' height='20'",
             QByteArray(kBlue) +
                 "<image xlink:href=' data:image/png;base64,PNG' width='30' height='20'/>")
      << false << QSize(30, 20) << QColor(Qt::green);
}

void ChildWindowTest::SvgTakesItsOwnSize() {
  // The Windows build goes without Qt SVG where its cache could not build it.
  if (!QImageReader::supportedImageFormats().contains("svg")) QSKIP("no SVG plugin in this build");
  QFETCH(QByteArray, svg);
  QFETCH(bool, half);
  QFETCH(QSize, client);
  QFETCH(QColor, centre);
  QImage red(30, 20, QImage::Format_RGB32);
  red.fill(Qt::red);
  QVERIFY(red.save(dir_->filePath("red.png")));
  QVERIFY(t::WriteBytes(dir_->filePath("red.css"), "rect { fill: #ff0000 }"));
  QImage green(30, 20, QImage::Format_RGB32);
  green.fill(Qt::green);
  QBuffer png;
  QVERIFY(png.open(QIODevice::WriteOnly) && green.save(&png, "PNG"));
  svg.replace("DIR", dir_->path().toUtf8()).replace("PNG", png.data().toBase64());
  QVERIFY(t::WriteBytes(dir_->filePath("picture.svg"), svg));
  half_ = half;

  frmChild* child = Show("picture.svg", 1);
  QVERIFY(child);
  QCOMPARE(child->size(), client);
  const QImage shown = child->grab().toImage();
  QCOMPARE(shown.pixelColor(client.width() / 2, client.height() / 2), centre);
}

void ChildWindowTest::UnreadableFileLeavesEmptyChild_data() {
  QTest::addColumn<Kind>("kind");
  QTest::addColumn<QString>("file_name");
  QTest::addColumn<bool>("half");
  QTest::addColumn<double>("client_width_twips");
  QTest::addColumn<double>("client_height_twips");

  QTest::newRow("error page full") << Kind::kGarbage << "photo.jpg" << false << 1215.0 << 495.0;
  QTest::newRow("error page half") << Kind::kGarbage << "photo.jpg" << true << 607.5 << 247.5;
  QTest::newRow("error page as png full")
      << Kind::kGarbage << "photo.png" << false << 1215.0 << 495.0;
  QTest::newRow("missing file full") << Kind::kMissing << "gone.gif" << false << 1215.0 << 495.0;
  QTest::newRow("missing file half") << Kind::kMissing << "gone.gif" << true << 607.5 << 247.5;
  QTest::newRow("over 256 megapixels full")
      << Kind::kHugePng << "huge.png" << false << 1215.0 << 495.0;
  QTest::newRow("over 256 megapixels half")
      << Kind::kHugePng << "huge.jpg" << true << 607.5 << 247.5;
  QTest::newRow("svg over 256 megapixels")
      << Kind::kHugeSvg << "huge.svg" << false << 1215.0 << 495.0;
  QTest::newRow("svg past the length read")
      << Kind::kSvgPastLimit << "long.svg" << false << 1215.0 << 495.0;
  QTest::newRow("svg of no area half") << Kind::kSvg << "flat.svg" << true << 607.5 << 247.5;
  QTest::newRow("svg cut off full") << Kind::kCutSvg << "cut.svg" << false << 1215.0 << 495.0;
  QTest::newRow("svg cut off half") << Kind::kCutSvg << "cut.svg" << true << 607.5 << 247.5;
  QTest::newRow("svg nested too deep") << Kind::kDeepSvg << "deep.svg" << false << 1215.0 << 495.0;
}

void ChildWindowTest::UnreadableFileLeavesEmptyChild() {
  QFETCH(Kind, kind);
  QFETCH(QString, file_name);
  QFETCH(bool, half);
  QFETCH(double, client_width_twips);
  QFETCH(double, client_height_twips);
  QVERIFY(Write(kind, dir_->filePath(file_name), 0, 0));
  half_ = half;

  frmChild* child = Show(file_name, 1);
  QVERIFY(child);
  QCOMPARE(child->parentWidget()->windowTitle(), file_name);
  // Half of 1215 x 495 twips is not a whole number of pixels: within half a pixel is exact.
  QVERIFY2(qAbs(child->width() - client_width_twips / TwipsPerPixel()) <= 0.5,
           qPrintable(QString::number(child->width())));
  QVERIFY2(qAbs(child->height() - client_height_twips / TwipsPerPixel()) <= 0.5,
           qPrintable(QString::number(child->height())));
  QVERIFY(child->Picture1()->pixmap().isNull());
  QVERIFY(child->Image1()->pixmap().isNull());
}

void ChildWindowTest::LoaderFollowsTheName_data() {
  QTest::addColumn<Kind>("kind");
  QTest::addColumn<QString>("file_name");
  QTest::addColumn<LoaderKind>("loader");

  QTest::newRow("photo.PNG") << Kind::kPng << "photo.PNG" << LoaderKind::kPng;
  QTest::newRow("b.Png") << Kind::kPng << "b.Png" << LoaderKind::kPng;
  QTest::newRow("name .png alone") << Kind::kPng << ".png" << LoaderKind::kPng;
  QTest::newRow("photo.jpeg") << Kind::kJpeg << "photo.jpeg" << LoaderKind::kStandard;
  QTest::newRow("photo.gif") << Kind::kStillGif << "photo.gif" << LoaderKind::kStandard;
  QTest::newRow("png without dot") << Kind::kPng << "xpng" << LoaderKind::kStandard;
  QTest::newRow("short name") << Kind::kPng << "png" << LoaderKind::kStandard;
  QTest::newRow("png inside the name") << Kind::kPng << "a.png.jpg" << LoaderKind::kStandard;
}

void ChildWindowTest::LoaderFollowsTheName() {
  QFETCH(Kind, kind);
  QFETCH(QString, file_name);
  QFETCH(LoaderKind, loader);
  QVERIFY(Write(kind, dir_->filePath(file_name), 64, 48));

  frmChild* child = Show(file_name, 1);
  QVERIFY(child);
  QCOMPARE(viewer_->last_loader(), loader);
  // Whatever the name says, the picture itself is shown.
  QVERIFY(!child->Picture1()->pixmap().isNull());
}

void ChildWindowTest::PngLoaderLivesAsLongAsTheOutermostRun() {
  QVERIFY(viewer_->has_png_loader());
  viewer_->CreatePngLoader();  // a nested run for a frame
  viewer_->ReleasePngLoader();
  QVERIFY(viewer_->has_png_loader());
  viewer_->ReleasePngLoader();
  QVERIFY(!viewer_->has_png_loader());
  viewer_->ReleasePngLoader();  // one release too many changes nothing
  viewer_->CreatePngLoader();
  QVERIFY(viewer_->has_png_loader());
  viewer_->ReleasePngLoader();
  QVERIFY(!viewer_->has_png_loader());

  // Outside any run a PNG still shows, read by the PNG loader.
  QVERIFY(t::WriteImage(dir_->filePath("late.png"), 50, 40, "PNG"));
  frmChild* child = Show("late.png", 1);
  QVERIFY(child);
  QCOMPARE(viewer_->last_loader(), LoaderKind::kPng);
  QCOMPARE(child->size(), QSize(50, 40));
}

void ChildWindowTest::HalfOptionIsReadOncePerImage() {
  for (const char* name : {"1.jpg", "2.jpg", "3.jpg"})
    QVERIFY(t::WriteImage(dir_->filePath(name), 100, 80, "JPEG"));
  frmChild* first = Show("1.jpg", 1);
  half_ = true;  // ticked during the run: applies from the next image on
  frmChild* second = Show("2.jpg", 2);
  half_ = false;
  frmChild* third = Show("3.jpg", 3);
  QCOMPARE(half_reads_, 3);
  QCOMPARE(first->size(), QSize(100, 80));
  QCOMPARE(second->size(), QSize(50, 40));
  QCOMPARE(third->size(), QSize(100, 80));
}

void ChildWindowTest::AnimatedGifPlays_data() {
  QTest::addColumn<bool>("half");
  QTest::addColumn<QSize>("client");
  QTest::newRow("full") << false << QSize(40, 30);
  QTest::newRow("half") << true << QSize(20, 15);
}

void ChildWindowTest::AnimatedGifPlays() {
  QFETCH(bool, half);
  QFETCH(QSize, client);
  QVERIFY(t::WriteAnimatedGif(dir_->filePath("anim.gif")));
  half_ = half;

  frmChild* child = Show("anim.gif", 1);
  QVERIFY(child);
  QCOMPARE(child->size(), client);
  QLabel* shown = half ? child->Image1() : child->Picture1();
  QMovie* movie = shown->movie();
  QVERIFY(movie);
  QCOMPARE(movie->state(), QMovie::Running);
  QCOMPARE(movie->frameCount(), 2);
  if (half) QVERIFY(!child->Picture1()->movie());

  // Rewriting the file does not disturb the animation that is already playing.
  QVERIFY(t::WriteBytes(dir_->filePath("anim.gif"), "not a picture"));
  QVERIFY(movie->jumpToNextFrame());
  QVERIFY(movie->isValid());
  QCOMPARE(movie->currentImage().size(), QSize(40, 30));
}

void ChildWindowTest::ChildHasNoMinimizeOrMaximize() {
  QVERIFY(t::WriteImage(dir_->filePath("a.jpg"), 100, 80, "JPEG"));
  frmChild* child = Show("a.jpg", 1);
  QVERIFY(child);
  const Qt::WindowFlags flags = child->parentWidget()->windowFlags();
  QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
  QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  QVERIFY(flags & Qt::WindowCloseButtonHint);
}

void ChildWindowTest::LargePictureArrivesAfterTheCallReturns_data() {
  QTest::addColumn<bool>("half");
  QTest::addColumn<QSize>("client");
  QTest::newRow("full") << false << QSize(2600, 2000);
  QTest::newRow("half") << true << QSize(1300, 1000);
}

void ChildWindowTest::LargePictureArrivesAfterTheCallReturns() {
  // 5.2 megapixels: decoded away from the window thread, which goes on painting meanwhile.
  QFETCH(bool, half);
  QFETCH(QSize, client);
  QVERIFY(t::WriteImage(dir_->filePath("large.png"), 2600, 2000, "PNG"));
  half_ = half;
  frmChild* child = Show("large.png", 1);
  QVERIFY(child);
  QCOMPARE(child->parentWidget()->windowTitle(), QStringLiteral("large.png"));
  QVERIFY(child->Picture1()->pixmap().isNull());
  QVERIFY(child->Image1()->pixmap().isNull());

  QTRY_COMPARE_WITH_TIMEOUT(child->size(), client, 60000);
  QLabel* shown = half ? child->Image1() : child->Picture1();
  QVERIFY(!shown->pixmap().isNull());
  QCOMPARE(half_reads_, 1);

  // A child closed before its picture arrives simply never gets it.
  QVERIFY(t::WriteImage(dir_->filePath("later.png"), 2600, 2000, "PNG"));
  QPointer<frmChild> closed = Show("later.png", 2);
  QVERIFY(closed->parentWidget()->close());
  QTRY_VERIFY_WITH_TIMEOUT(!closed, 60000);
}

PELMOA_TEST_CLASS(ChildWindowTest);
#include "child_window_test.moc"
