#include "core/url_path_items.h"

#include <algorithm>
#include <stdexcept>

namespace vdk {

bool TURLPathItems::Add(std::string_view url) {
  if (!TURLPath(url).IsValid()) return false;
  Append(0, 0, url);
  return true;
}

void TURLPathItems::StartPage(std::string_view folder) {
  page_ = TLinkResolver(folder);
  folders_.push_back(page_.Folder());
}

bool TURLPathItems::AddLink(std::string_view value) {
  const auto link = page_.Join(value);
  if (!link) return false;
  Append(folders_.size() - 1, link->HeadLength, link->Tail);
  return true;
}

void TURLPathItems::Append(std::size_t page, std::size_t headLength, std::string_view tail) {
  tails_ += tail;
  entries_.push_back({page, headLength, tails_.size()});
  if (!runs_.empty() && runs_.back().Repeats == 1) {
    ++runs_.back().Entries;
  } else {
    runs_.push_back({entries_.size() - 1, 1, 1, count_});
  }
  ++count_;
  ++sinceRepeat_;
}

void TURLPathItems::RepeatLast(std::size_t count) {
  if (count == 0) return;
  const bool fresh = count <= sinceRepeat_;
  const bool again = sinceRepeat_ == 0 && !runs_.empty() && runs_.back().Entries == count;
  if (!fresh && !again) throw std::logic_error("RepeatLast: the links to repeat were not appended as one group");

  Run& last = runs_.back();
  if (last.Entries == count) {
    ++last.Repeats;
  } else {
    // Split the group off the end of a run of single links.
    last.Entries -= count;
    runs_.push_back({last.FirstEntry + last.Entries, count, 2, last.FirstIndex + last.Entries});
  }
  count_ += count;
  sinceRepeat_ = 0;
}

TURLPath TURLPathItems::Items(std::size_t index) const {
  if (index >= count_) throw std::out_of_range("TURLPathItems index out of range");
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), index,
                                      [](std::size_t i, const Run& run) { return i < run.FirstIndex; });
  const Run& run = *(after - 1);
  const Entry& entry = entries_[run.FirstEntry + (index - run.FirstIndex) % run.Entries];
  const std::size_t entryNumber = static_cast<std::size_t>(&entry - entries_.data());
  const std::size_t tailBegin = entryNumber == 0 ? 0 : entries_[entryNumber - 1].TailEnd;

  std::string url;
  if (entry.HeadLength > 0) url = folders_[entry.Page].substr(0, entry.HeadLength);
  url.append(tails_, tailBegin, entry.TailEnd - tailBegin);
  return TURLPath(url);
}

}  // namespace vdk
