#include "library/picture_size.h"

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "library/picture_reader.h"

namespace vdk {

TPictureDecoder DecoderFor(std::string_view path) {
  return LowerCase(ExtractFileExt(path)) == ".gif" ? TPictureDecoder::Gif : TPictureDecoder::General;
}

TPictureSize MeasurePicture(const std::string& path, TPictureDecoder decoder, std::stop_token stop) {
  TReadOptions options;
  options.AcceptCutShort = false;
  options.Stop = std::move(stop);
  const QImage image = ReadPicture(path, decoder, options).Image;
  if (image.isNull()) return {};
  return {image.width(), image.height()};
}

}  // namespace vdk
