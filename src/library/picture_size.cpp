#include "library/picture_size.h"

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"
#include "library/picture_reader.h"
#include "library/vector_size.h"
#include "library/watched_file.h"

namespace vdk {

TPictureDecoder DecoderFor(std::string_view path) {
  return LowerCase(ExtractFileExt(path)) == ".gif" ? TPictureDecoder::Gif : TPictureDecoder::General;
}

TPictureSize MeasurePicture(const std::string& path, TPictureDecoder decoder, std::stop_token stop) {
  TReadOptions options;
  options.AcceptCutShort = false;
  options.Stop = std::move(stop);
  const QImage image = ReadPicture(path, decoder, options).Image;
  if (!image.isNull()) return {image.width(), image.height()};
  if (decoder != TPictureDecoder::General) return {};
  // Vector pictures are measured by what their headers declare, never rendered.
  TWatchedFile file(path, options.Stop);
  if (!file.Open()) return {};
  return VectorPictureSize(&file).value_or(TPictureSize{});
}

}  // namespace vdk
