#pragma once

#include <QDialog>
#include <memory>

#include "platform/desktop/wallpaper.h"

namespace Ui {
class TWallpaperOptionsForm;
}

namespace vdk {

// "Set wallpaper": how the desktop lays the picture out ("Center" first).
class TWallpaperOptionsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TWallpaperOptionsForm(QWidget* parent = nullptr);
  ~TWallpaperOptionsForm() override;

  TWallpaperStyle Style() const;

 private:
  std::unique_ptr<Ui::TWallpaperOptionsForm> ui_;
};

}  // namespace vdk
