#include "core/url/html_scan.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/base/text_utils.h"

namespace vdk {
namespace {

constexpr std::array<std::string_view, 3> kKeywords = {"src", "href", "url"};

// True when the text begins with the lower-case word, ignoring the text's
// letter case.
bool StartsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (LowerAscii(text[i]) != word[i]) return false;
  return true;
}

// The first position of each keyword in the body, ignoring the body's letter
// case (npos when absent), found in one pass over the body.
std::array<std::size_t, kKeywords.size()> FindKeywords(std::string_view body) {
  std::array<std::size_t, kKeywords.size()> found;
  found.fill(std::string_view::npos);
  std::size_t missing = kKeywords.size();
  for (std::size_t i = 0; i < body.size() && missing > 0; ++i) {
    // Most characters start no keyword; they cost one comparison.
    const char c = LowerAscii(body[i]);
    if (c != 's' && c != 'h' && c != 'u') continue;
    for (std::size_t k = 0; k < kKeywords.size(); ++k) {
      if (found[k] != std::string_view::npos || !StartsWithWord(body.substr(i), kKeywords[k])) continue;
      found[k] = i;
      --missing;
    }
  }
  return found;
}

// The next "<" or ">" at or after p, or end. Both are looked up with memchr
// and remembered, so the text is read once however the marks alternate.
class TagMarks {
 public:
  TagMarks(const char* begin, const char* end) : end_(end), open_(Find(begin, '<')), close_(Find(begin, '>')) {}

  const char* Next(const char* p) {
    if (open_ < p) open_ = Find(p, '<');
    if (close_ < p) close_ = Find(p, '>');
    return std::min(open_, close_);
  }

 private:
  const char* Find(const char* p, char mark) const {
    if (p == end_) return end_;
    const void* hit = std::memchr(p, mark, static_cast<std::size_t>(end_ - p));
    return hit ? static_cast<const char*>(hit) : end_;
  }

  const char* end_;
  const char* open_;
  const char* close_;
};

}  // namespace

void ForEachTagBody(std::string_view text, const std::function<void(std::string_view body, bool repeated)>& visit) {
  const char* const end = text.data() + text.size();
  TagMarks marks(text.data(), end);
  std::string_view body;
  const char* open = nullptr;  // start of the body being read
  for (const char* p = marks.Next(text.data()); p != end; p = marks.Next(p + 1)) {
    if (*p == '<') {
      open = p + 1;
    } else if (open) {
      body = std::string_view(open, static_cast<std::size_t>(p - open));
      open = nullptr;
      visit(body, false);
    } else {
      visit(body, true);
    }
  }
}

void TTags::SetText(std::string_view text) {
  if (text == text_) return;
  text_ = text;
  Split();
}

void TTags::Split() {
  tags_.clear();
  ForEachTagBody(text_, [this](std::string_view body, bool) { tags_.push_back(body); });
}

std::string CleanAttributeValue(std::string_view text) {
  text = text.substr(0, text.find(' '));
  std::string unquoted;
  unquoted.reserve(text.size());
  for (const char c : text)
    if (c != '"' && c != '\'') unquoted += c;
  const std::string_view value = Trim(unquoted);
  return std::string(value.substr(0, value.find_first_of("\t\n\v\f\r")));
}

void THTMLScan::SetMainURL(std::string_view url) {
  if (url == mainURL_) return;
  mainURL_ = url;
  if (!mainURL_.empty() && mainURL_.back() != '/') mainURL_ += '/';
  Scan();
}

void THTMLScan::SetHTML(std::string html) {
  if (html == html_) return;
  html_ = std::move(html);
  Scan();
}

void THTMLScan::Scan() {
  links_.StartPage(mainURL_);
  // A body given again by a stray ">" yields the same links; they are
  // recorded as a repeat instead of being scanned again.
  std::size_t bodyLinks = 0;
  ForEachTagBody(html_, [&](std::string_view body, bool repeated) {
    if (repeated) {
      links_.RepeatLast(bodyLinks);
    } else {
      bodyLinks = ScanBody(body);
    }
  });
}

std::size_t THTMLScan::ScanBody(std::string_view body) {
  std::size_t added = 0;
  for (const std::size_t at : FindKeywords(body)) {
    if (at == std::string_view::npos) continue;
    const std::size_t equals = body.find('=', at);
    if (equals == std::string_view::npos) continue;
    if (links_.AddLink(CleanAttributeValue(body.substr(equals + 1)))) ++added;
  }
  return added;
}

}  // namespace vdk
