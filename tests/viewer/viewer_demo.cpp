// A manual look at the viewer, not run by the test command.
//   viewer_demo show FOLDER HALF_FROM FILE...   shows each file, at half size from the
//                                               HALF_FROM-th on, and waits for the frame
//                                               to be closed; the frame is made large enough
//                                               for six pictures
//   viewer_demo frame FOLDER HALF_FROM FILE...  the same in the frame as it is loaded
//   viewer_demo repeat FOLDER FILE COUNT        shows FILE COUNT times in one run, then ends
//                                               (for measuring the memory the children hold)

#include <QApplication>
#include <QMdiArea>
#include <cstdio>

#include "viewer/viewer.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  const bool show = args.size() >= 4 && args[1] == QLatin1String("show");
  if (show || (args.size() >= 4 && args[1] == QLatin1String("frame"))) {
    const int half_from = args[3].toInt();
    int shown = 0;
    pelmoa::Viewer viewer([&] { return shown >= half_from - 1; });
    viewer.CreatePngLoader();
    viewer.ShowFrame();
    if (show) viewer.frame()->setGeometry(20, 20, 980, 720);
    for (int i = 4; i < args.size(); ++i, ++shown)
      viewer.ShowImageInViewer(args[2], args[i], i - 3);
    viewer.ReleasePngLoader();
    return app.exec();
  }
  if (args.size() == 5 && args[1] == QLatin1String("repeat")) {
    pelmoa::Viewer viewer([] { return false; });
    viewer.CreatePngLoader();
    viewer.ShowFrame();
    const int count = args[4].toInt();
    for (int i = 1; i <= count; ++i) viewer.ShowImageInViewer(args[2], args[3], i);
    viewer.ReleasePngLoader();
    app.processEvents();
    std::printf("%lld child windows\n",
                static_cast<long long>(viewer.frame()->mdi_area()->subWindowList().size()));
    return 0;
  }
  std::fprintf(stderr,
               "usage: viewer_demo show FOLDER HALF_FROM FILE... | "
               "viewer_demo repeat FOLDER FILE COUNT\n");
  return 2;
}
