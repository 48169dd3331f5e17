#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "support/temp_dir.h"

namespace vdk::test {

// Writes a w x h picture of one colour in a format Qt writes ("jpeg", "png",
// "bmp") and returns its path.
std::string DrawPicture(const std::string& path, int width, int height, QColor colour, const char* format);

// The animated GIF fixture: red first frame, blue second, 16 x 12.
std::string CopyAnimatedGif(const std::string& path);

// A task's "Saved" folder as a download leaves it, beside a folder outside
// that holds a sentinel file:
//   Saved/red.jpg (300 x 200), Saved/green.png (40 x 30), Saved/anim.gif,
//   Saved/broken.jpg (not a picture), Saved/big.bmp (3000 bytes or more),
//   Saved/coming.jpg!!wr (still downloading), Saved/sub/ (a sub-folder with
//   inner.jpg), Saved/outside (a link to outside/), Saved/pipe.jpg (a FIFO);
//   outside/sentinel.jpg.
class SavedFolder {
 public:
  SavedFolder();
  QString Saved() const { return QString::fromStdString(dir_ / "Saved"); }
  std::string Path(const std::string& name) const { return dir_ / ("Saved/" + name); }
  std::string Root(const std::string& name) const { return dir_ / name; }

 private:
  TempDir dir_;
};

}  // namespace vdk::test
