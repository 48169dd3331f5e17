#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "library/image_library.h"
#include "scene.h"
#include "ui/imageview/jpeg_browser.h"
#include "ui/library/checked_files_model.h"
#include "ui/library/collect_model.h"
#include "ui/library/confirm_delete_form.h"
#include "ui/library/copy_pictures_form.h"
#include "ui/library/delete_by_form.h"
#include "ui/library/image_library_form.h"
#include "ui/library/image_library_model.h"

namespace {

// Concentric rings in two hues, saved in the format of the name's extension.
QString DrawRings(const QString& path, int width, int height, int hue) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor::fromHsv(hue, 60, 250));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  for (int ring = 6; ring > 0; --ring) {
    painter.setBrush(QColor::fromHsv((hue + ring * 25) % 360, 140 + ring * 15, 230 - ring * 12));
    painter.drawEllipse(QPointF(width / 2.0, height / 2.0), width * ring / 13.0, height * ring / 13.0);
  }
  painter.end();
  image.save(path);
  return path;
}

struct Picture {
  const char* name;
  int width;
  int height;
};

// Pictures in a "Saved" folder under the scratch folder, catalogued in the
// library; a record whose file is gone is added too when asked.
QString FillLibrary(const QString& scratch, vdk::TImageLibrary& library, bool withGone) {
  const QString saved = QDir(scratch).filePath("task/Saved");
  QDir().mkpath(saved);
  const Picture pictures[] = {{"harbour.jpg", 1600, 1200}, {"meadow.jpg", 1024, 768}, {"sunset.png", 800, 600},
                              {"ridge.jpg", 640, 480},     {"lake.bmp", 320, 240},    {"icon.tif", 120, 90},
                              {"dunes.jpg", 1280, 720},    {"thumb.jpg", 200, 150}};
  int hue = 15;
  for (const Picture& picture : pictures) {
    const QString path = DrawRings(QDir(saved).filePath(picture.name), picture.width, picture.height, hue);
    hue = (hue + 53) % 360;
    auto record = std::make_shared<vdk::TImageDetail>();
    record->FileName = path.toStdString();
    record->Width = picture.width;
    record->Height = picture.height;
    record->FileSize = std::int32_t(QFileInfo(path).size() / 128 * 128);
    library.Add(record);
  }
  if (withGone) {
    auto gone = std::make_shared<vdk::TImageDetail>();
    gone->FileName = QDir(saved).filePath("removed-later.jpg").toStdString();
    gone->Width = gone->Height = -1;
    library.Add(gone);
  }
  return saved;
}

}  // namespace

VDK_SCENE(library_window) {
  vdk::TImageLibrary library;
  FillLibrary(shooter.Scratch(), library, true);
  vdk::TImageLibraryForm form(library);
  QSignalSpy listed(&form, &vdk::TImageLibraryForm::ListingEnded);
  form.show();
  listed.wait(10000);
  form.ListView()->selectionModel()->select(form.Model()->index(1, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
  shooter.Shoot(&form, "library-window");
  form.PreviewActionExecute();
  vdk::TJpegBrowser* browser = form.Browser();
  (void)QTest::qWaitFor(  // a cell still loading is shot as it is
      [&] {
        for (const auto& panel : browser->Panels())
          if (!panel->Loaded()) return false;
        return true;
      },
      20000);
  if (!browser->Panels().empty()) browser->Panels()[0]->SetSelected(true);
  shooter.Shoot(&form, "library-window-preview");
}

VDK_SCENE(collect_images) {
  vdk::TImageLibrary library;
  FillLibrary(shooter.Scratch(), library, false);
  vdk::TCopyPicturesForm form(library);
  form.SetSaveFolder(QDir(shooter.Scratch()).filePath("task/").toStdString());
  form.SetDestFolder("/home/user/Pictures/Collected/");
  QSignalSpy listed(&form, &vdk::TCopyPicturesForm::ListingEnded);
  form.show();
  listed.wait(10000);
  form.findChild<QCheckBox*>("LimitImageSizeCheck")->click();
  form.SelectButtonClick();
  shooter.Shoot(&form, "collect-images");
}

VDK_SCENE(delete_by) {
  vdk::TDeleteByForm form;
  shooter.Shoot(&form, "delete-by");
}

VDK_SCENE(confirm_delete) {
  vdk::TConfirmDeleteForm form;
  form.SetFiles({"/home/user/Images/Downloaded Files/gallery/Saved/tn_harbour.jpg",
                 "/home/user/Images/Downloaded Files/gallery/Saved/tn_meadow.jpg",
                 "/home/user/Images/Downloaded Files/gallery/Saved/spacer.gif",
                 "/home/user/Images/Downloaded Files/gallery/Saved/tn_ridge.jpg"});
  vdk::TCheckedFilesModel* model = form.Model();
  model->setData(model->index(2), Qt::Unchecked, Qt::CheckStateRole);
  shooter.Shoot(&form, "confirm-delete");
}
