#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/model/task_item.h"

namespace vdk {

using TaskItemPtr = std::shared_ptr<TTaskItem>;

// A task's ranked work list: descending rank, equal ranks in the order they
// were added, no two items with the same URL text (unless appended).
//
// Threads: shared by the task's workers and the main thread; one re-entrant
// lock guards every operation. The scan lock is separate: it is held by the
// one worker that scans a page and inserts its links (taken before the list
// lock, never after it).
//
// Cost: positions live in a treap ordered by list position and augmented with
// subtree size, minimum rank and the number of waiting items; URL texts are in
// an open-addressing hash index. Add, Items, IndexOfURL and the search for the
// first waiting items are O(log n).
class TTaskItemList {
 public:
  explicit TTaskItemList(std::mutex& scanLock);
  ~TTaskItemList();
  TTaskItemList(const TTaskItemList&) = delete;
  TTaskItemList& operator=(const TTaskItemList&) = delete;

  int Count() const;
  TaskItemPtr Items(int index) const;

  // Ranked insert: before the first item of lower rank, or at the end. When an
  // item with the same URL text is present, nothing is inserted and its index
  // is returned. Raises EURIError for an item whose URL has no full text.
  int Add(const TaskItemPtr& item);
  // Appends without ranking or duplicate test (loading a task file).
  int Append(const TaskItemPtr& item);
  // The index of the last item whose full URL text equals text exactly; -1.
  int IndexOfURL(std::string_view text) const;
  // Empties the list; the items themselves live on while referenced.
  void Clear();

  // The first waiting items in list order (neither done nor running), at
  // most limit of them.
  std::vector<TaskItemPtr> FirstWaiting(int limit) const;
  int RunningCount() const;
  int WaitingCount() const;
  // The running items from the last in list order to the first.
  std::vector<TaskItemPtr> RunningItems() const;
  // Calls fn for every item in list order under the list lock.
  void ForEach(const std::function<void(const TaskItemPtr&)>& fn) const;

  // Waits for the scan lock; releasing the returned lock is UnlockScan.
  std::unique_lock<std::mutex> LockScan() const { return std::unique_lock<std::mutex>(scanLock_); }
  // The scan lock if it is free at once (owns_lock() says whether it was).
  std::unique_lock<std::mutex> TryLockScan() const { return std::unique_lock<std::mutex>(scanLock_, std::try_to_lock); }

 private:
  friend class TTaskItem;
  struct Node;

  void ItemStateChanged(TTaskItem& item);
  int Insert(std::uint32_t position, const TaskItemPtr& item);
  std::uint32_t FirstLowerRank(std::int32_t rank) const;
  std::uint32_t NodeAt(std::uint32_t index) const;
  std::uint32_t PositionOf(std::uint32_t node) const;
  std::uint32_t KthWaiting(std::uint32_t k) const;
  void Pull(std::uint32_t node);
  void RotateUp(std::uint32_t node);

  // Hash index of URL text -> node.
  std::uint64_t* FindSlot(std::string_view text, std::uint64_t hash) const;
  void IndexNode(std::uint32_t node, std::uint64_t hash);
  void GrowIndex();

  mutable std::recursive_mutex lock_;
  std::mutex& scanLock_;
  std::vector<Node> nodes_;  // nodes_[0] is the empty sentinel
  std::uint32_t root_ = 0;
  std::vector<std::uint64_t> slots_;           // (hash high 32 bits << 32) | node; 0 = empty
  std::uint32_t indexed_ = 0;                  // used slots
  std::unordered_set<std::uint32_t> running_;  // nodes of running items
  std::uint64_t seed_ = 0x9E3779B97F4A7C15ULL;
};

}  // namespace vdk
