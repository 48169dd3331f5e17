#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTableView>
#include <QTest>

#include "library/image_library.h"
#include "scene.h"
#include "ui/imageview/images_list_model.h"
#include "ui/imageview/images_panel.h"
#include "ui/imageview/jpeg_browser.h"
#include "ui/imageview/view_image_form.h"
#include "ui/imageview/wallpaper_options_form.h"
#include "ui/library/confirm_overwrite_form.h"

namespace {

// A landscape drawn for the scenes: sky, sun, hills.
QString DrawLandscape(const QString& path, int width, int height, int hue) {
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor::fromHsv(hue, 120, 250));
  sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 255));
  painter.fillRect(image.rect(), sky);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 220, 90));
  painter.drawEllipse(QPointF(width * 0.75, height * 0.28), height * 0.12, height * 0.12);
  painter.setBrush(QColor::fromHsv((hue + 90) % 360, 160, 150));
  painter.drawEllipse(QPointF(width * 0.3, height * 1.05), width * 0.55, height * 0.45);
  painter.setBrush(QColor::fromHsv((hue + 110) % 360, 180, 110));
  painter.drawEllipse(QPointF(width * 0.85, height * 1.1), width * 0.5, height * 0.42);
  painter.end();
  image.save(path, path.endsWith(".png") ? "png" : "jpeg", 90);
  return path;
}

QString SavedFolder(const QString& scratch) {
  const QString saved = QDir(scratch).filePath("Saved");
  QDir().mkpath(saved);
  const char* names[] = {"harbour.jpg", "meadow.jpg", "sunset.png", "ridge.jpg", "lake.jpg", "dunes.jpg"};
  int hue = 190;
  for (const char* name : names) {
    DrawLandscape(QDir(saved).filePath(name), 1200 + hue, 800, hue);
    hue = (hue + 47) % 360;
  }
  return saved;
}

}  // namespace

VDK_SCENE(images_panel) {
  vdk::TImageLibrary library;
  vdk::TImagesPanel panel;
  panel.SetLibrary(&library);
  panel.resize(760, 320);
  panel.ListSavedFolder(SavedFolder(shooter.Scratch()));
  panel.SortBy(vdk::TImagesSort::ByName);
  panel.ColumnClicked(0);
  panel.ListView()->selectRow(1);
  shooter.Shoot(&panel, "images-panel");
}

VDK_SCENE(image_viewer) {
  const QString picture = DrawLandscape(QDir(shooter.Scratch()).filePath("view.jpg"), 1600, 1000, 200);
  vdk::TViewImageForm viewer;
  viewer.setWindowState(Qt::WindowNoState);
  viewer.resize(900, 600);
  viewer.SetFileName(picture);
  viewer.ShowCurrent();
  viewer.SetFileList({picture});
  viewer.SetFileIndex(0);
  shooter.Shoot(&viewer, "image-viewer");
  viewer.TurnRight();
  shooter.Shoot(&viewer, "image-viewer-turned");
}

VDK_SCENE(thumbnail_browser) {
  const QString saved = SavedFolder(shooter.Scratch());
  vdk::TJpegBrowser browser;
  for (int copy = 0; copy < 3; ++copy)
    for (const QString& name : QDir(saved).entryList({"*.jpg"}, QDir::Files, QDir::Name)) {
      const QString path = QDir(saved).filePath(QString::number(copy) + name);
      QFile::copy(QDir(saved).filePath(name), path);
      browser.AddFile(path);
    }
  browser.resize(560, 340);
  browser.show();
  browser.BuildPanels();
  (void)QTest::qWaitFor(  // a panel still loading is shot as it is
      [&] {
        for (const auto& panel : browser.Panels())
          if (!panel->Loaded()) return false;
        return true;
      },
      20000);
  browser.Panels()[1]->SetSelected(true);
  shooter.Shoot(&browser, "thumbnail-browser");
}

VDK_SCENE(wallpaper_options) {
  vdk::TWallpaperOptionsForm form;
  shooter.Shoot(&form, "wallpaper-options");
}

VDK_SCENE(confirm_overwrite) {
  const QString folder = shooter.Scratch();
  vdk::TConfirmOverwriteForm form;
  form.SetSourceFile(DrawLandscape(QDir(folder).filePath("new.jpg"), 1200, 800, 20));
  form.SetDestFile(DrawLandscape(QDir(folder).filePath("old.jpg"), 900, 900, 220));
  form.SetFileNameLabel("harbour.jpg");
  form.resize(560, 380);
  shooter.Shoot(&form, "confirm-overwrite");
}
