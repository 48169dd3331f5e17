#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "platform/desktop/wallpaper.h"

namespace vdk::test {

struct SetWallpaperCall {
  std::string picture;
  TWallpaperStyle style;
  QImage image;  // the picture file's contents when the call was made
};

// For its lifetime, stands in for the desktop's wallpaper: records every
// picture it is handed (and what the file held then) and changes nothing.
// Refuse() makes the next calls fail as a desktop that refuses would.
class RecordedWallpaper {
 public:
  RecordedWallpaper();
  ~RecordedWallpaper();
  RecordedWallpaper(const RecordedWallpaper&) = delete;
  RecordedWallpaper& operator=(const RecordedWallpaper&) = delete;

  void Refuse() { refuse_ = true; }
  const std::vector<SetWallpaperCall>& Calls() const { return calls_; }

 private:
  friend class WallpaperStandIn;
  bool refuse_ = false;
  std::vector<SetWallpaperCall> calls_;
};

}  // namespace vdk::test
