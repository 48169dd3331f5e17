// URL texts and link values from anywhere. The input is a folder URL and a
// link value separated by the first line break (or a URL alone). Checks that
// a normalised URL is always fetchable and stays so when normalised again,
// that a link that resolves is fetchable, and that the URL rules take any
// text.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/base/text_utils.h"
#include "core/url/url_path.h"
#include "core/url/url_path_items.h"

namespace {

void CheckFetchable(const vdk::TURLPath& url) {
  if (!url.IsValid()) return;
  const std::string& text = url.ResolvedURL();
  if (vdk::HasControlByte(text) || !vdk::TIdURI(text).IsValid()) __builtin_trap();
  if (!text.starts_with(url.Protocol() + "://") || (url.Protocol() != "http" && url.Protocol() != "https"))
    __builtin_trap();
  if (!vdk::TURLPath(text).IsValid()) __builtin_trap();
}

void CheckRules(std::string_view text) {
  const vdk::TIdURI uri(text);
  if (uri.IsValid() && !vdk::BaseURLOf(uri).ends_with('/')) __builtin_trap();
  vdk::IsFollowable(uri, vdk::TIdURI("http://a.s.t/"));
  vdk::IsPageExt(vdk::ItemExtension(uri));
  vdk::IsPageExt(text);
  vdk::IsAbsoluteLink(text);
  if (vdk::StripLeadingSlash(text).size() + 1 < text.size()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckFetchable(vdk::TURLPath(input));
  CheckRules(input);

  const std::size_t newline = input.find('\n');
  if (newline == std::string_view::npos) return 0;
  vdk::TURLPathItems items;
  items.StartPage(input.substr(0, newline));
  if (items.AddLink(input.substr(newline + 1))) {
    const vdk::TURLPath link = items.Items(0);
    if (!link.IsValid()) __builtin_trap();
    CheckFetchable(link);
  }
  return 0;
}
