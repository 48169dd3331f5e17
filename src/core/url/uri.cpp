#include "core/url/uri.h"

#include <algorithm>

#include "core/base/errors.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

enum : std::uint8_t { kSchemeSep = 1, kUserSep = 2, kPortSep = 4 };

}  // namespace

std::uint32_t TIdURI::Gap(int i) const {
  switch (i) {
    case 1:
      return (seps_ & kSchemeSep) ? 3 : 0;
    case 2:
      return (seps_ & kUserSep) ? 1 : 0;
    case 3:
      return (seps_ & kPortSep) ? 1 : 0;
    default:
      return 0;
  }
}

std::string_view TIdURI::Part(int i) const {
  const std::uint32_t begin = i == 0 ? 0 : ends_[i - 1] + Gap(i);
  return std::string_view(text_).substr(begin, ends_[i] - begin);
}

void TIdURI::SetURI(std::string_view s) {
  const bool control = HasControlByte(s);
  s = s.substr(0, s.find('#'));
  std::string_view query;
  if (const auto q = s.find('?'); q != std::string_view::npos) {
    query = s.substr(q);
    s = s.substr(0, q);
  }

  std::string_view protocol, user, host, port, rest = s;
  seps_ = 0;
  const auto scheme = s.find("://");
  if (scheme != std::string_view::npos && s.substr(0, scheme).find('/') == std::string_view::npos) {
    seps_ |= kSchemeSep;
    protocol = s.substr(0, scheme);
    rest = s.substr(scheme + 3);
    const auto slash = std::min(rest.find('/'), rest.size());
    std::string_view authority = rest.substr(0, slash);
    rest = rest.substr(slash);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
      user = authority.substr(0, at);
      authority = authority.substr(at + 1);
    }
    // A bracketed IPv6 literal keeps its colons; the port follows the "]".
    const auto bracket = authority.starts_with('[') ? authority.find(']') : std::string_view::npos;
    const auto colon = authority.rfind(':');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
      // The ":" stays even before an empty port, so the text splits the same
      // way when it is parsed again.
      seps_ |= kPortSep;
      port = authority.substr(colon + 1);
      authority = authority.substr(0, colon);
    }
    host = authority;
  }

  std::string_view path, document = rest;
  if (const auto last = rest.rfind('/'); last != std::string_view::npos) {
    path = rest.substr(0, last + 1);
    document = rest.substr(last + 1);
  }
  const bool hasScheme = seps_ & kSchemeSep;
  if (!user.empty()) seps_ |= kUserSep;

  text_.clear();
  text_.reserve(s.size() + query.size() + 4);
  const auto put = [this](int i, std::string_view sep, std::string_view part) {
    text_ += sep;
    text_ += part;
    ends_[i] = static_cast<std::uint32_t>(text_.size());
  };
  put(0, "", protocol);
  put(1, hasScheme ? "://" : "", user);
  put(2, user.empty() ? "" : "@", host);
  put(3, (seps_ & kPortSep) ? ":" : "", port);
  put(4, "", path.empty() && hasScheme ? std::string_view("/") : path);
  put(5, "", document);
  put(6, "", query);
  valid_ = hasScheme && !protocol.empty() && !host.empty() && !control;
}

const std::string& TIdURI::URI() const {
  if (!valid_) throw EURIError("Invalid URL \"" + text_ + "\"");
  return text_;
}

std::string WithoutUserInfo(std::string_view url) {
  const auto scheme = url.find("://");
  if (scheme == std::string_view::npos || url.substr(0, scheme).find('/') != std::string_view::npos)
    return std::string(url);
  const std::size_t begin = scheme + 3;
  const std::size_t end = std::min(url.find_first_of("/?#", begin), url.size());
  const auto at = url.substr(begin, end - begin).rfind('@');
  if (at == std::string_view::npos) return std::string(url);
  std::string out(url.substr(0, begin));
  out += url.substr(begin + at + 1);
  return out;
}

std::string ParentDomain(std::string_view host) {
  const auto dot = host.find('.');
  if (dot == std::string_view::npos) return {};
  return std::string(host.substr(dot + 1));
}

}  // namespace vdk
