#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

namespace vdk {

// The two decoders the library uses: the GIF decoder for ".gif" files and the
// general loader, which recognises every other supported format by content.
enum class TPictureDecoder { Gif, General };

// Width and height in pixels; -1 x -1 when the picture could not be decoded.
struct TPictureSize {
  std::int32_t Width = -1;
  std::int32_t Height = -1;
  bool operator==(const TPictureSize&) const = default;
};

// The GIF decoder for names ending in ".gif" (any case), else the general loader.
TPictureDecoder DecoderFor(std::string_view path);

// Decodes the whole first picture of the file and returns its size. Fails
// (-1 x -1) for files that are not pictures, are cut short or corrupt, are in
// a format outside the trusted set (PostScript and every other format a
// system-wide plugin may add are never decoded), declare more pixels than the
// image reader's allocation limit allows, or when stop is requested while
// decoding. Placeable metafiles and EPS files, which the general loader does
// not decode, are measured by their headers (VectorPictureSize). Safe to call
// from any thread, one call per decode.
TPictureSize MeasurePicture(const std::string& path, TPictureDecoder decoder, std::stop_token stop = {});

}  // namespace vdk
