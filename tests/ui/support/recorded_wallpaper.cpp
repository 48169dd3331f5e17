#include "support/recorded_wallpaper.h"

namespace vdk::test {

class WallpaperStandIn : public TWallpaper {
 public:
  explicit WallpaperStandIn(RecordedWallpaper& record) : record_(record) {}
  void Set(const std::string& picture, TWallpaperStyle style) override {
    record_.calls_.push_back({picture, style, QImage(QString::fromStdString(picture))});
    if (record_.refuse_) throw EWallpaperError("The desktop refused the picture.");
  }

 private:
  RecordedWallpaper& record_;
};

RecordedWallpaper::RecordedWallpaper() { SetWallpaperService(std::make_unique<WallpaperStandIn>(*this)); }
RecordedWallpaper::~RecordedWallpaper() { SetWallpaperService(nullptr); }

}  // namespace vdk::test
