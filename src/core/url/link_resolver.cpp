#include "core/url/link_resolver.h"

#include <algorithm>

#include "core/base/text_utils.h"
#include "core/url/url_path.h"

namespace vdk {

TLinkResolver::TLinkResolver(std::string_view folder) : folder_(Trim(folder)) {
  if (!IsAbsoluteLink(folder_) || HasControlByte(folder_) || !TURLPath(folder_).IsValid()) return;
  schemeLength_ = folder_.find(':') + 1;
  originLength_ = std::min(folder_.find_first_of("/?#", schemeLength_ + 2), folder_.size());
  // A value appended to a bare "http://host" would extend the host.
  if (originLength_ == folder_.size()) folder_ += '/';
  valid_ = true;
}

std::optional<TJoinedLink> TLinkResolver::Join(std::string_view value) const {
  // A value that is only a fragment ("#", "#top") means the page itself,
  // which is listed already.
  value = value.substr(0, value.find('#'));
  if (value.empty() || HasControlByte(value)) return std::nullopt;
  if (!URLScheme(value).empty()) {
    if (!TURLPath(value).IsValid()) return std::nullopt;
    return TJoinedLink{TLinkHead::None, value};
  }
  if (!valid_) return std::nullopt;
  // Relative values keep the folder's host, which is valid; only a
  // protocol-relative value brings a host of its own to check.
  if (value.starts_with("//")) {
    const std::string url = std::string(HeadText(TLinkHead::Scheme)) + std::string(value);
    if (!TURLPath(url).IsValid()) return std::nullopt;
    return TJoinedLink{TLinkHead::Scheme, value};
  }
  if (value.starts_with('/')) return TJoinedLink{TLinkHead::Origin, value};
  return TJoinedLink{TLinkHead::Folder, value};
}

std::string_view TLinkResolver::HeadText(TLinkHead head) const {
  switch (head) {
    case TLinkHead::Scheme:
      return std::string_view(folder_).substr(0, schemeLength_);
    case TLinkHead::Origin:
      return std::string_view(folder_).substr(0, originLength_);
    case TLinkHead::Folder:
      return folder_;
    case TLinkHead::None:
      break;
  }
  return {};
}

}  // namespace vdk
