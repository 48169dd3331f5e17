#pragma once

#include <QImage>
#include <QSize>

#include <memory>
#include <stop_token>
#include <string>

#include "library/picture_size.h"

class QMovie;

namespace vdk {

// How ReadPicture decodes.
struct TReadOptions {
  // When valid and smaller than the picture, the picture is decoded scaled
  // down to fit inside it, keeping its proportions (JPEG decodes at the
  // reduced size directly, so a large photo never takes its full memory).
  QSize Bounding;
  // A file that ends early gives what was decoded (a picture on screen), or
  // fails (a measurement must not record a partial picture).
  bool AcceptCutShort = true;
  std::stop_token Stop;
};

// A decoded picture and the size of the picture in the file, which is larger
// when it was decoded scaled down.
struct TDecodedPicture {
  QImage Image;
  QSize OriginalSize;
};

// Decodes the first picture (first frame of an animation) of a downloaded
// file with the safeguards for untrusted input: only the trusted formats are
// asked (never a PostScript interpreter or a plugin added to the system), a
// declared size beyond the image reader's allocation limit is refused before
// any pixel memory is taken, and a requested stop fails the decode at its
// next read. A null image when the file cannot be decoded. Any thread.
TDecodedPicture ReadPicture(const std::string& path, TPictureDecoder decoder, const TReadOptions& options = {});

// The GIF animation of a file for a preview, reading through the same guarded
// device; null when the file is not a GIF or declares more than the
// allocation limit allows. The movie owns its device. GUI thread.
std::unique_ptr<QMovie> OpenGifAnimation(const std::string& path);

// Every picture of a file (the frames of an animation, the pages of a TIFF)
// played one after the other, read as ReadPicture reads with the general
// loader; null when no trusted format decodes the file or it declares more
// than the allocation limit allows. GUI thread.
std::unique_ptr<QMovie> OpenAllPictures(const std::string& path);

// How many pictures the file holds as the general loader reads it: 0 when no
// trusted format decodes it, 1 for a format without several pictures.
int CountPictures(const std::string& path);

}  // namespace vdk
