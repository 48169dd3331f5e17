#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/url/uri.h"

namespace vdk {

// One URL normalised for the work list.
//
// SetURL takes an absolute "http://" or "https://" URL; a text that starts
// with no scheme at all is read as "http://" followed by it. The scheme is
// lower-cased, the fragment dropped, "." and ".." segments removed from the
// path (".." never climbs above the host), the query kept verbatim from its
// first "?", and a "/" that ends the whole URL dropped: http://h/dir/ becomes
// http://h/dir, which the download worker retries with the "/" appended.
// Empty segments stay (http://h/a//b).
//
// A text that cannot be fetched (another scheme, no host or a blank one, a
// control byte) leaves ResolvedURL empty; otherwise ResolvedURL always parses
// as a valid TIdURI.
class TURLPath {
 public:
  TURLPath() = default;
  explicit TURLPath(std::string_view text) { SetURL(text); }

  // Normalises the text unless it is the text already given.
  void SetURL(std::string_view text);

  bool IsValid() const { return !resolved_.empty(); }
  // The text last given to SetURL.
  const std::string& Text() const { return text_; }
  // "http" or "https".
  const std::string& Protocol() const { return protocol_; }
  // The host (with user info and port) first, then the normalised path
  // segments.
  const std::vector<std::string>& Segments() const { return segments_; }
  // From the first "?" to the end (fragment excluded), or empty.
  const std::string& Query() const { return query_; }
  // Protocol "://" Segments joined by "/", then Query.
  const std::string& ResolvedURL() const { return resolved_; }

 private:
  void Normalise(std::string_view text);

  std::string text_;
  std::string protocol_;
  std::vector<std::string> segments_;
  std::string query_;
  std::string resolved_;
};

// The scheme the text begins with, without its ":" ("mailto" for
// mailto:x); empty when it begins with none. A scheme is a letter followed by
// letters, digits, "+", "-" or ".", then ":".
std::string_view URLScheme(std::string_view text);

// True when the text begins with "http:" or "https:", in any case: the only
// link values that are not joined to the page they were found on.
bool IsAbsoluteLink(std::string_view text);

// The text without its first character when it is longer than one character
// and begins with "/"; otherwise the text unchanged.
std::string_view StripLeadingSlash(std::string_view text);

// True when an extension (with or without its leading dot) names a page to be
// fetched and scanned: empty, or one of shtml, html, htm, asp, php, dll, cgi
// in any case.
bool IsPageExt(std::string_view ext);

// The folder URL of a page: Protocol "://" Host [":" Port] Path, ending with
// "/" for every URL with a host.
std::string BaseURLOf(const TIdURI& uri);

// The extension of the URI's Document without its dot; "html" when the
// Document has none (also when it is empty).
std::string ItemExtension(const TIdURI& uri);

// Whether a link found on a page becomes a work item of the task started at
// start: always on hosts of the start host's parent domain, and on other
// hosts unless it names the bare root (an empty Document).
bool IsFollowable(const TIdURI& link, const TIdURI& start);

}  // namespace vdk
