#include "ui/imageview/wallpaper_options_form.h"

#include "ui_wallpaper_options_form.h"

namespace vdk {

TWallpaperOptionsForm::TWallpaperOptionsForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TWallpaperOptionsForm>()) {
  ui_->setupUi(this);
}

TWallpaperOptionsForm::~TWallpaperOptionsForm() = default;

TWallpaperStyle TWallpaperOptionsForm::Style() const {
  if (ui_->TileButton->isChecked()) return TWallpaperStyle::Tile;
  if (ui_->StretchButton->isChecked()) return TWallpaperStyle::Stretch;
  if (ui_->MaxButton->isChecked()) return TWallpaperStyle::Max;
  return TWallpaperStyle::Center;
}

}  // namespace vdk
