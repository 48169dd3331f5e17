#include "core/url/url_path.h"

#include <algorithm>
#include <array>

#include "core/base/path_utils.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsSchemeChar(char c) { return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }

bool IsHTTPScheme(std::string_view scheme) { return SameText(scheme, "http") || SameText(scheme, "https"); }

// Appends the segments of an absolute path ("/a/b") to out, removing "." and
// ".." as RFC 3986 does. A "." or ".." that ends the path leaves a trailing
// empty segment (the path then ends with "/"); ".." never removes a segment
// that was in out before the call (the host).
void AppendPathSegments(std::string_view path, std::vector<std::string>& out) {
  if (path.empty()) return;
  const std::size_t floor = out.size();
  std::size_t start = 1;
  for (;;) {
    const std::size_t end = path.find('/', start);
    const bool last = end == std::string_view::npos;
    const std::string_view segment = path.substr(start, last ? std::string_view::npos : end - start);
    if (segment == "..") {
      if (out.size() > floor) out.pop_back();
      if (last) out.emplace_back();
    } else if (segment == ".") {
      if (last) out.emplace_back();
    } else {
      out.emplace_back(segment);
    }
    if (last) return;
    start = end + 1;
  }
}

}  // namespace

void TURLPath::SetURL(std::string_view text) {
  if (text == text_) return;
  text_ = text;
  protocol_.clear();
  segments_.clear();
  query_.clear();
  resolved_.clear();
  Normalise(text_);
}

void TURLPath::Normalise(std::string_view text) {
  std::string_view rest = Trim(text.substr(0, text.find('#')));
  const std::string_view scheme = URLScheme(rest);
  if (scheme.empty()) {
    protocol_ = "http";
  } else {
    rest.remove_prefix(scheme.size() + 1);
    if (!IsHTTPScheme(scheme) || !rest.starts_with("//")) return;
    rest.remove_prefix(2);
    protocol_ = LowerCase(scheme);
  }

  if (const auto q = rest.find('?'); q != std::string_view::npos) {
    query_ = rest.substr(q);
    rest = rest.substr(0, q);
  }
  const auto slash = std::min(rest.find('/'), rest.size());
  segments_.emplace_back(rest.substr(0, slash));
  AppendPathSegments(rest.substr(slash), segments_);
  // The worker asks again with the "/" when the shorter URL fails; with a
  // query the "/" is not at the end and stays.
  if (query_.empty() && segments_.size() > 1 && segments_.back().empty()) segments_.pop_back();

  resolved_ = protocol_ + "://" + segments_.front();
  for (std::size_t i = 1; i < segments_.size(); ++i) {
    resolved_ += '/';
    resolved_ += segments_[i];
  }
  resolved_ += query_;

  const TIdURI uri(resolved_);
  if (!uri.IsValid() || Trim(uri.Host()).empty()) {
    protocol_.clear();
    segments_.clear();
    query_.clear();
    resolved_.clear();
  }
}

std::string_view URLScheme(std::string_view text) {
  if (text.empty() || !IsAsciiLetter(text.front())) return {};
  const auto end = std::find_if_not(text.begin() + 1, text.end(), IsSchemeChar);
  if (end == text.end() || *end != ':') return {};
  return text.substr(0, static_cast<std::size_t>(end - text.begin()));
}

bool IsAbsoluteLink(std::string_view text) { return IsHTTPScheme(URLScheme(text)); }

std::string_view StripLeadingSlash(std::string_view text) {
  if (text.size() > 1 && text.front() == '/') text.remove_prefix(1);
  return text;
}

bool IsPageExt(std::string_view ext) {
  static constexpr std::array<std::string_view, 7> kPageExts = {"shtml", "html", "htm", "asp", "php", "dll", "cgi"};
  ext = Trim(ext);
  if (ext.empty()) return true;
  if (ext.front() == '.') ext.remove_prefix(1);
  const std::string lower = LowerCase(Trim(ext));
  return std::find(kPageExts.begin(), kPageExts.end(), lower) != kPageExts.end();
}

std::string BaseURLOf(const TIdURI& uri) {
  std::string base(uri.Protocol());
  base += "://";
  base += uri.Host();
  if (!uri.Port().empty()) {
    base += ':';
    base += uri.Port();
  }
  base += uri.Path();
  return base;
}

std::string ItemExtension(const TIdURI& uri) {
  const std::string_view ext = ExtractFileExt(uri.Document());
  if (ext.empty()) return "html";
  return std::string(ext.substr(1));
}

bool IsFollowable(const TIdURI& link, const TIdURI& start) {
  const std::string linkDomain = ParentDomain(LowerCase(Trim(link.Host())));
  if (linkDomain == ParentDomain(LowerCase(Trim(start.Host())))) return true;
  return !Trim(link.Document()).empty();
}

}  // namespace vdk
