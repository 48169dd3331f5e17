#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vdk {

// Which part of the page's folder URL a link starts with: none (an absolute
// value), its scheme ("https:"), its origin ("https://host:port") or all of it.
enum class TLinkHead : std::uint8_t { None, Scheme, Origin, Folder };

// A link value joined to the folder URL of the page it was found on: the
// link's URL is the head part of the folder followed by Tail, normalised by
// TURLPath. Links of one page share the folder text.
struct TJoinedLink {
  TLinkHead Head = TLinkHead::None;
  std::string_view Tail;
};

// Resolves the cleaned attribute values of one page against its folder URL
// the way a browser resolves links, restricted to what the crawler fetches:
//   - the fragment ("#" to the end) is dropped first; a value that is only a
//     fragment means the page itself and is dropped, since the page is
//     listed already;
//   - "http:" and "https:" values stand alone; a value with any other scheme
//     (mailto:, javascript:, data:, ftp:, ...) is dropped;
//   - "//host/x" takes the folder's scheme, "/x" its scheme, host and port,
//     and anything else is appended to the folder;
//   - an empty value, a value holding a control byte, and a value that leaves
//     no host are dropped.
// The resolved text of every link Join returns is a valid TURLPath.
class TLinkResolver {
 public:
  TLinkResolver() = default;
  // The folder is trimmed. Relative values resolve only against an http or
  // https folder with a host and no control byte.
  explicit TLinkResolver(std::string_view folder);

  const std::string& Folder() const { return folder_; }
  // The part of Folder a joined link starts with.
  std::string_view HeadText(TLinkHead head) const;

  // nullopt when the value is dropped. The tail refers to the value's text.
  // Costs time in the value's length only, however long the folder is.
  std::optional<TJoinedLink> Join(std::string_view value) const;

 private:
  std::string folder_;
  std::size_t schemeLength_ = 0;  // "https:", colon included
  std::size_t originLength_ = 0;  // "https://host:port"
  bool valid_ = false;
};

}  // namespace vdk
