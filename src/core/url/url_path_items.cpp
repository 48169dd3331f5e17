#include "core/url/url_path_items.h"

#include <algorithm>
#include <stdexcept>

namespace vdk {

TURLPathItems::TURLPathItems() : pages_{{0, TLinkResolver()}} {}

bool TURLPathItems::Add(std::string_view url) {
  if (!TURLPath(url).IsValid()) return false;
  Append(TLinkHead::None, url);
  return true;
}

void TURLPathItems::StartPage(std::string_view folder) { pages_.push_back({entries_.size(), TLinkResolver(folder)}); }

bool TURLPathItems::AddLink(std::string_view value) {
  const auto link = pages_.back().Resolver.Join(value);
  if (!link) return false;
  Append(link->Head, link->Tail);
  return true;
}

void TURLPathItems::Append(TLinkHead head, std::string_view tail) {
  tails_ += tail;
  entries_.push_back(static_cast<std::uint64_t>(tails_.size()) << 2 | static_cast<std::uint64_t>(head));
  ++count_;
  ++sinceRepeat_;
}

void TURLPathItems::RepeatLast(std::size_t count) {
  if (count == 0) return;
  if (count <= sinceRepeat_) {
    repeats_.push_back({count_, entries_.size() - count, count, 1});
  } else if (sinceRepeat_ == 0 && !repeats_.empty() && repeats_.back().Entries == count) {
    ++repeats_.back().Copies;
  } else {
    throw std::logic_error("RepeatLast: the links to repeat were not appended as one group");
  }
  count_ += count;
  sinceRepeat_ = 0;
}

// Before the first repeat, list index and stored link coincide; after a
// repeat they differ by the copies listed so far.
std::size_t TURLPathItems::EntryAt(std::size_t index) const {
  const auto after = std::upper_bound(repeats_.begin(), repeats_.end(), index,
                                      [](std::size_t i, const Repeat& repeat) { return i < repeat.FirstIndex; });
  if (after == repeats_.begin()) return index;
  const Repeat& repeat = *(after - 1);
  const std::size_t copiesEnd = repeat.FirstIndex + repeat.Entries * repeat.Copies;
  if (index < copiesEnd) return repeat.FirstEntry + (index - repeat.FirstIndex) % repeat.Entries;
  return repeat.FirstEntry + repeat.Entries + (index - copiesEnd);
}

TURLPath TURLPathItems::Items(std::size_t index) const {
  if (index >= count_) throw std::out_of_range("TURLPathItems index out of range");
  const std::size_t entry = EntryAt(index);
  const std::size_t tailBegin = entry == 0 ? 0 : static_cast<std::size_t>(entries_[entry - 1] >> 2);
  const std::size_t tailEnd = static_cast<std::size_t>(entries_[entry] >> 2);
  const auto head = static_cast<TLinkHead>(entries_[entry] & 3);

  std::string url;
  if (head != TLinkHead::None) {
    const auto page = std::upper_bound(pages_.begin(), pages_.end(), entry,
                                       [](std::size_t e, const Page& p) { return e < p.FirstEntry; });
    url = (page - 1)->Resolver.HeadText(head);
  }
  url.append(tails_, tailBegin, tailEnd - tailBegin);
  return TURLPath(url);
}

}  // namespace vdk
