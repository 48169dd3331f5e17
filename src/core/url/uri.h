#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vdk {

// Splits a URL into Protocol, Host, Port, Path, Document and query, the way
// the HTTP layer's URI class does. The parts live in one buffer (the full
// text when the URL has a protocol and a host), so an item of a large work
// list costs one string.
//
//   http://user@h:8080/a/b/pic.jpg?x=1#top
//   Protocol "http", UserInfo "user", Host "h", Port "8080", Path "/a/b/",
//   Document "pic.jpg", Query "?x=1" (with its "?"), the fragment dropped.
//
// Path always begins and ends with "/" when there is a host; a URL without a
// path ("http://h") has Path "/" and an empty Document. A text without "://"
// has no protocol and no host: its parts are still split, but asking for the
// full text raises EURIError. So does a text holding a control byte (below
// 0x20, or 0x7F): such a URL can never be requested.
class TIdURI {
 public:
  TIdURI() = default;
  explicit TIdURI(std::string_view text) { SetURI(text); }

  void SetURI(std::string_view text);

  std::string_view Protocol() const { return Part(0); }
  std::string_view UserInfo() const { return Part(1); }
  std::string_view Host() const { return Part(2); }
  std::string_view Port() const { return Part(3); }
  std::string_view Path() const { return Part(4); }
  std::string_view Document() const { return Part(5); }
  std::string_view Query() const { return Part(6); }

  // True when the full text can be produced (protocol and host not empty,
  // no control byte).
  bool IsValid() const { return valid_; }

  // Protocol "://" [UserInfo "@"] Host [":" Port] Path Document Query; the
  // ":" stays when the text had one before an empty port.
  // Raises EURIError when the protocol or the host is empty.
  const std::string& URI() const;
  // The same text without the validity check: what a record stores for a URL
  // that cannot be requested.
  const std::string& Text() const { return text_; }

 private:
  std::string_view Part(int i) const;
  std::uint32_t Gap(int i) const;

  // text_ holds the parts in order with their separators ("://", "@", ":");
  // ends_[i] is the offset just after part i, seps_ says which separators
  // are present.
  std::string text_;
  std::uint32_t ends_[7] = {};
  std::uint8_t seps_ = 0;
  bool valid_ = false;
};

// The URL text without its user-info part ("http://ann:pw@h/x" gives
// "http://h/x"): what names, log lines and views show of a URL, so that
// credentials written into it go nowhere else.
std::string WithoutUserInfo(std::string_view url);

// The host text after its first "." ("a.b.c" gives "b.c", "b.c" gives "c");
// empty when the host has no dot or ends with its only dot.
std::string ParentDomain(std::string_view host);

}  // namespace vdk
