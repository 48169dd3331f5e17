#include "ui/imageview/images_dialogs.h"

#include <QFileDialog>

#include "ui/imageview/view_image_form.h"
#include "ui/imageview/wallpaper_options_form.h"
#include "ui/library/confirm_overwrite_form.h"

namespace vdk {
namespace {

class TModalImagesDialogs : public TImagesDialogs {
 public:
  QString PickFolder(QWidget* parent, const QString& title) override {
    return QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
  }

  TOverwriteAnswer AskOverwrite(QWidget* parent, const QString& source, const QString& target) override {
    TConfirmOverwriteForm form(parent);
    form.SetSourceFile(source);
    form.SetDestFile(target);
    form.SetFileNameLabel(QFileInfo(target).fileName());
    form.exec();
    return form.Answer();
  }

  std::optional<TWallpaperStyle> AskWallpaperStyle(QWidget* parent) override {
    TWallpaperOptionsForm form(parent);
    if (form.exec() != QDialog::Accepted) return std::nullopt;
    return form.Style();
  }

  void View(QWidget* parent, const QStringList& files, int index) override {
    TViewImageForm viewer(parent);
    viewer.SetFileName(files.value(index));
    viewer.ShowCurrent();
    viewer.SetFileList(files);
    viewer.SetFileIndex(index);
    viewer.exec();
  }
};

}  // namespace

std::unique_ptr<TImagesDialogs> MakeModalImagesDialogs() { return std::make_unique<TModalImagesDialogs>(); }

}  // namespace vdk
