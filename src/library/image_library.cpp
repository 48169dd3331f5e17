#include "library/image_library.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <unordered_set>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"

namespace vdk {

int TImageLibrary::Count() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(items_.size());
}

TImageDetailPtr TImageLibrary::Items(int index) const {
  std::lock_guard guard(lock_);
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<std::size_t>(index)];
}

TImageDetailPtr TImageLibrary::FindByName(std::string_view path) const {
  std::lock_guard guard(lock_);
  const auto found = firstByName_.find(path);
  return found == firstByName_.end() ? nullptr : found->second;
}

void TImageLibrary::AppendLocked(TImageDetailPtr detail) {
  firstByName_.try_emplace(detail->FileName, detail);
  items_.push_back(std::move(detail));
}

void TImageLibrary::Add(TImageDetailPtr detail) {
  std::lock_guard guard(lock_);
  AppendLocked(std::move(detail));
}

bool TImageLibrary::AddIfAbsent(TImageDetailPtr detail) {
  std::lock_guard guard(lock_);
  if (firstByName_.contains(detail->FileName)) return false;
  AppendLocked(std::move(detail));
  return true;
}

int TImageLibrary::Remove(const TImageDetailPtr& detail) {
  std::lock_guard guard(lock_);
  const auto found = std::find(items_.begin(), items_.end(), detail);
  if (found == items_.end()) return -1;
  const auto index = static_cast<int>(found - items_.begin());
  const auto indexed = firstByName_.find(detail->FileName);
  const bool wasFirst = indexed->second == detail;
  if (wasFirst) firstByName_.erase(indexed);
  items_.erase(found);
  if (wasFirst) {
    // A later record with the same path becomes the one FindByName returns.
    const auto next = std::find_if(items_.begin() + index, items_.end(),
                                   [&](const TImageDetailPtr& item) { return item->FileName == detail->FileName; });
    if (next != items_.end()) firstByName_.try_emplace((*next)->FileName, *next);
  }
  return index;
}

int TImageLibrary::RemoveRecords(const std::vector<TImageDetailPtr>& details) {
  std::unordered_set<const TImageDetail*> gone;
  for (const auto& detail : details) gone.insert(detail.get());
  std::lock_guard guard(lock_);
  const auto kept = std::remove_if(items_.begin(), items_.end(),
                                   [&](const TImageDetailPtr& item) { return gone.contains(item.get()); });
  const auto removed = static_cast<int>(items_.end() - kept);
  if (removed == 0) return 0;
  items_.erase(kept, items_.end());
  RebuildIndexLocked();
  return removed;
}

void TImageLibrary::RebuildIndexLocked() {
  firstByName_.clear();
  firstByName_.reserve(items_.size());
  for (const auto& item : items_) firstByName_.try_emplace(item->FileName, item);
}

void TImageLibrary::Clear() {
  std::lock_guard guard(lock_);
  firstByName_.clear();
  items_.clear();
}

TImageLibraryHeader TImageLibrary::Header() const {
  std::lock_guard guard(lock_);
  return header_;
}

bool TImageLibrary::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFileError("Cannot open the image library", path, errno);
  return LoadFromStream(in);
}

bool TImageLibrary::LoadFromStream(std::istream& in) {
  TImageLibraryHeader header;
  header.LoadFromStream(in);
  if (!header.HasSignature()) {
    std::lock_guard guard(lock_);
    header_ = TImageLibraryHeader();
    return false;
  }
  // Count comes from the file: records are made only while data remains, so
  // a corrupt count can neither loop for long nor exhaust memory.
  std::vector<TImageDetailPtr> loaded;
  for (std::int32_t i = 0; i < header.Count; ++i) {
    auto detail = std::make_shared<TImageDetail>();
    if (detail->LoadFromStream(in) == 0) break;
    loaded.push_back(std::move(detail));
  }
  std::lock_guard guard(lock_);
  header_ = header;
  for (auto& detail : loaded) AppendLocked(std::move(detail));
  return true;
}

void TImageLibrary::SaveToFile(const std::string& path) {
  WriteFileAtomically(path, DefaultFileMode(), [this](std::ostream& out) { SaveToStream(out); });
}

void TImageLibrary::SaveToStream(std::ostream& out) {
  std::vector<TImageDetailPtr> written;
  TImageLibraryHeader header;
  {
    std::lock_guard guard(lock_);
    written.reserve(items_.size());
    std::copy_if(items_.begin(), items_.end(), std::back_inserter(written),
                 [](const TImageDetailPtr& detail) { return detail->FitsRecord(); });
    header_.Count = static_cast<std::int32_t>(written.size());
    header = header_;
  }
  header.SaveToStream(out);
  for (const auto& detail : written) detail->SaveToStream(out);
}

}  // namespace vdk
