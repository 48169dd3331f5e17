#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/link_resolver.h"
#include "core/url_path.h"

namespace vdk {

// The links a scan found, in the order found; every entry's ResolvedURL is a
// valid URL (links that do not resolve are never stored).
//
// Cost: a page's links share its folder text and keep only their own value,
// and a group of links repeated back to back is stored once with a count, so
// the list grows with the length of the values found, not with the length of
// the folder URL or the number of repeats. Entries are built as TURLPath
// objects when read.
class TURLPathItems {
 public:
  class Iterator;

  // Appends the URL when TURLPath resolves it; returns whether it did.
  bool Add(std::string_view url);

  // Makes the folder URL the base of the values given to AddLink from now on.
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
  struct Entry {
    std::size_t Page;
    std::size_t HeadLength;
    std::size_t TailEnd;  // the tail is tails_[previous entry's TailEnd, TailEnd)
  };
  // Entries [FirstEntry, FirstEntry + Entries) listed Repeats times in a row,
  // starting at list index FirstIndex.
  struct Run {
    std::size_t FirstEntry;
    std::size_t Entries;
    std::size_t Repeats;
    std::size_t FirstIndex;
  };

  void Append(std::size_t page, std::size_t headLength, std::string_view tail);

  TLinkResolver page_;
  std::vector<std::string> folders_;
  std::string tails_;
  std::vector<Entry> entries_;
  std::vector<Run> runs_;
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
