// The downloaded-files panel, the thumbnail browser and the viewer on a
// folder of 5,000 JPEG files of 2 to 12 megapixels (60 distinct pictures,
// hard-linked under 5,000 names; made once into the folder given).
//
//   imageview_bench [FOLDER]     (default: build/imageview-bench-data)
//
// Run it on a screen of the size to measure (xvfb-run -s "-screen 0
// 1920x1080x24" for a full-HD one); the offscreen platform's screen is
// 800 x 600.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "library/image_library.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/imageview/jpeg_browser.h"
#include "ui/imageview/view_image_form.h"

namespace {

constexpr int kFiles = 5000;
constexpr int kDistinct = 60;

long PeakRssMiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

long RssMiB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * ::sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

void Draw(const QString& path, int width, int height, int seed) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, width, height);
  sky.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 140, 240));
  sky.setColorAt(1, QColor::fromHsv(seed * 91 % 360, 200, 120));
  painter.fillRect(image.rect(), sky);
  QRandomGenerator random(seed);
  for (int i = 0; i < 200; ++i) {
    painter.setBrush(QColor::fromHsv(random.bounded(360), 180, 200));
    painter.drawEllipse(QPoint(random.bounded(width), random.bounded(height)), random.bounded(width / 8 + 1),
                        random.bounded(height / 8 + 1));
  }
  painter.end();
  image.save(path, "jpeg", 85);
}

QString Prepare(const QString& root) {
  const QDir dir(root);
  const QString saved = dir.filePath("Saved");
  QDir().mkpath(saved);
  QDir().mkpath(dir.filePath("distinct"));
  for (int i = 0; i < kDistinct; ++i) {
    const QString path = dir.filePath(QStringLiteral("distinct/%1.jpg").arg(i));
    if (QFile::exists(path)) continue;
    const double megapixels = 2.0 + 10.0 * i / (kDistinct - 1);
    const int width = int(std::sqrt(megapixels * 1e6 * 4 / 3));
    Draw(path, width, width * 3 / 4, i);
  }
  for (int i = 0; i < kFiles; ++i) {
    const QString link = QDir(saved).filePath(QStringLiteral("picture%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    if (!QFile::exists(link))
      ::link(dir.filePath(QStringLiteral("distinct/%1.jpg").arg(i % kDistinct)).toLocal8Bit().constData(),
             link.toLocal8Bit().constData());
  }
  const QString big = dir.filePath("big");
  QDir().mkpath(big);
  for (int i = 0; i < 2; ++i) {
    const QString path = QDir(big).filePath(QStringLiteral("24mp-%1.jpg").arg(i));
    if (!QFile::exists(path)) Draw(path, 6000, 4000, 100 + i);
  }
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/imageview-bench-data");
  std::printf("preparing %s ...\n", qPrintable(root));
  std::fflush(stdout);
  const QString saved = Prepare(root);
  const QSize screen = QGuiApplication::primaryScreen()->size();
  std::printf("screen %dx%d, RSS before %ld MiB\n", screen.width(), screen.height(), RssMiB());

  // The images list.
  vdk::TImageLibrary library;
  vdk::TImagesPanel panel;
  panel.SetLibrary(&library);
  panel.resize(900, 500);
  QElapsedTimer timer;
  timer.start();
  panel.ListSavedFolder(saved);
  std::printf("images list: %d rows in %.0f ms\n", panel.Model()->rowCount(), timer.nsecsElapsed() / 1e6);

  // The thumbnail browser on a full window.
  const long rssBefore = RssMiB();
  vdk::TJpegBrowser browser;
  for (const QString& path : panel.Model()->Paths()) browser.AddFile(path);
  browser.resize(screen.width(), screen.height() - 80);
  browser.show();
  (void)QTest::qWaitForWindowExposed(&browser);  // timed from here either way
  timer.restart();
  browser.BuildPanels();
  const int columns = browser.Columns();
  const int visible = columns * ((browser.height() + 109) / 110);
  auto loadedCount = [&] {
    int loaded = 0;
    for (const auto& cell : browser.Panels()) loaded += cell->Loaded();
    return loaded;
  };
  auto firstScreen = [&] {
    for (int i = 0; i < std::min<int>(visible, int(browser.Panels().size())); ++i)
      if (!browser.Panels()[i]->Loaded()) return false;
    return true;
  };
  if (!QTest::qWaitFor(firstScreen, 600000)) std::printf("thumbnails: first screen not loaded in 10 min\n");
  std::printf("thumbnails: first screen (%d cells, %d threads) in %.0f ms\n", visible, browser.Loader().ThreadCount(),
              timer.nsecsElapsed() / 1e6);
  if (!QTest::qWaitFor([&] { return loadedCount() == kFiles; }, 3600000))
    std::printf("thumbnails: not all loaded in an hour\n");
  std::printf("thumbnails: all %d in %.1f s; decodes %d; RSS %ld -> %ld MiB (peak %ld MiB)\n", loadedCount(),
              timer.nsecsElapsed() / 1e9, browser.Loader().Started(), rssBefore, RssMiB(), PeakRssMiB());

  // The viewer on 24-megapixel pictures.
  const QString big0 = QDir(root).filePath("big/24mp-0.jpg");
  const QString big1 = QDir(root).filePath("big/24mp-1.jpg");
  for (int round = 0; round < 3; ++round) {
    timer.restart();
    vdk::TViewImageForm viewer;
    viewer.SetFileName(big0);
    viewer.ShowCurrent();
    viewer.SetFileList({big0, big1});
    viewer.SetFileIndex(0);
    viewer.show();
    (void)QTest::qWaitForWindowExposed(&viewer);  // timed from here either way
    QApplication::processEvents();
    const double open = timer.nsecsElapsed() / 1e6;
    timer.restart();
    viewer.Next();
    viewer.repaint();
    const double next = timer.nsecsElapsed() / 1e6;
    std::printf("viewer: open 24 MP %.0f ms, next 24 MP %.0f ms (shown %dx%d)\n", open, next,
                viewer.ShownPicture().width(), viewer.ShownPicture().height());
  }
  std::printf("peak RSS %ld MiB\n", PeakRssMiB());
  return 0;
}
