#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/url/link_resolver.h"
#include "core/url/url_path.h"

namespace vdk {

// The links a scan found, in the order found; every entry's ResolvedURL is a
// valid URL (links that do not resolve are never stored).
//
// Cost: a link takes 8 bytes plus its own value; the folder URL of its page
// is stored once for all of them, and a group of links repeated back to back
// is stored once with a count. The list therefore grows with the values found,
// not with the length of the folder URL or the number of repeats. Entries are
// built as TURLPath objects when read.
class TURLPathItems {
 public:
  class Iterator;

  TURLPathItems();

  // Appends the URL when TURLPath resolves it; returns whether it did.
  bool Add(std::string_view url);

  // Makes the folder URL the base of the values given to AddLink from now on
  // (until then the folder is empty, and only absolute values resolve).
  void StartPage(std::string_view folder);
  // Appends a cleaned attribute value resolved against the current page
  // (TLinkResolver); returns false, appending nothing, when it is dropped.
  bool AddLink(std::string_view value);
  // Appends the last count links once more, in the same order. count may not
  // exceed the links appended since the previous RepeatLast, or, when none
  // were, must equal that call's count. Raises std::logic_error otherwise.
  void RepeatLast(std::size_t count);

  std::size_t Count() const { return count_; }
  // Entry index (0 <= index < Count()).
  TURLPath Items(std::size_t index) const;

  Iterator begin() const;
  Iterator end() const;

 private:
  struct Page {
    std::size_t FirstEntry;
    TLinkResolver Resolver;
  };
  // The stored links [FirstEntry, FirstEntry + Entries) listed again Copies
  // times, from list index FirstIndex on.
  struct Repeat {
    std::size_t FirstIndex;
    std::size_t FirstEntry;
    std::size_t Entries;
    std::size_t Copies;
  };

  void Append(TLinkHead head, std::string_view tail);
  std::size_t EntryAt(std::size_t index) const;

  std::vector<Page> pages_;
  std::string tails_;
  // Per stored link: the end of its tail in tails_ << 2 | its TLinkHead. The
  // tail begins where the previous link's ends.
  std::vector<std::uint64_t> entries_;
  std::vector<Repeat> repeats_;
  std::size_t count_ = 0;
  std::size_t sinceRepeat_ = 0;  // links appended since the last RepeatLast
};

// Reads the entries in order; each step builds the entry's TURLPath.
class TURLPathItems::Iterator {
 public:
  using value_type = TURLPath;
  using difference_type = std::ptrdiff_t;

  Iterator() = default;
  Iterator(const TURLPathItems* items, std::size_t index) : items_(items), index_(index) {}

  TURLPath operator*() const { return items_->Items(index_); }
  Iterator& operator++() {
    ++index_;
    return *this;
  }
  Iterator operator++(int) {
    Iterator before = *this;
    ++index_;
    return before;
  }
  bool operator==(const Iterator& other) const { return index_ == other.index_; }

 private:
  const TURLPathItems* items_ = nullptr;
  std::size_t index_ = 0;
};

inline TURLPathItems::Iterator TURLPathItems::begin() const { return Iterator(this, 0); }
inline TURLPathItems::Iterator TURLPathItems::end() const { return Iterator(this, count_); }

}  // namespace vdk
