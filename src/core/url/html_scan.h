#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/url/url_path_items.h"

namespace vdk {

// Calls visit(body, repeated) for every tag body of the text, in document
// order. A body is the text between a "<" and the next ">"; a "<" inside a
// body starts it afresh, and a ">" outside a body gives the previous body
// again (repeated is then true; before any body it is the empty body). A body
// still open at the end of the text is not given.
void ForEachTagBody(std::string_view text, const std::function<void(std::string_view body, bool repeated)>& visit);

// A text cut into its tag bodies (ForEachTagBody).
class TTags {
 public:
  TTags() = default;
  TTags(const TTags&) = delete;
  TTags& operator=(const TTags&) = delete;

  // Stores the text and splits it, unless it is the text already held.
  void SetText(std::string_view text);

  const std::string& Text() const { return text_; }
  // The bodies in document order; they refer to Text.
  const std::vector<std::string_view>& Tags() const { return tags_; }

 private:
  void Split();

  std::string text_;
  std::vector<std::string_view> tags_;
};

// The value text that follows an attribute's "=": up to the first space, with
// every quote character dropped and blanks and control characters trimmed
// from both ends, then cut at its first remaining whitespace (a tag written
// over several lines ends the value at the line break).
std::string CleanAttributeValue(std::string_view text);

// Finds the links of one page. A small text scanner, not an HTML parser: in
// every tag body it looks for the keywords "src", "href" and "url" (in that
// order, each as a plain substring of the lower-cased body, so "hreflang" and
// "data-src" match too), takes the value after the next "=" through
// CleanAttributeValue and resolves it against MainURL (TLinkResolver). Each
// keyword gives at most one link per body; nothing is de-duplicated.
//
// One scanner serves one page: every scan appends to Links. Give MainURL
// first, then the page text. Time and memory are linear in the page size.
class THTMLScan {
 public:
  // Stores the page's folder URL, with a "/" appended when it does not end
  // with one, and scans, unless the text is the one already held.
  void SetMainURL(std::string_view url);
  // Stores the page text and scans, unless it is the text already held.
  void SetHTML(std::string html);

  const std::string& MainURL() const { return mainURL_; }
  const std::string& HTML() const { return html_; }
  const TURLPathItems& Links() const { return links_; }

 private:
  void Scan();
  std::size_t ScanBody(std::string_view body);

  std::string mainURL_;
  std::string html_;
  TURLPathItems links_;
};

}  // namespace vdk
