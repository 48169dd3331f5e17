#include "core/model/task_item_list.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace vdk {
namespace {

constexpr std::int32_t kNoRank = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t kMinSlots = 1024;

std::uint64_t HashText(std::string_view text) { return std::hash<std::string_view>{}(text); }

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

struct TTaskItemList::Node {
  TaskItemPtr item;
  std::uint32_t left = 0, right = 0, parent = 0;
  std::uint32_t priority = 0;
  std::uint32_t size = 0;     // nodes in this subtree
  std::uint32_t waiting = 0;  // waiting items in this subtree
  std::int32_t rank = kNoRank;
  std::int32_t minRank = kNoRank;  // lowest rank in this subtree
  bool selfWaiting = false;
  bool selfRunning = false;
};

TTaskItemList::TTaskItemList(std::mutex& scanLock) : scanLock_(scanLock) { nodes_.emplace_back(); }

TTaskItemList::~TTaskItemList() { Clear(); }

int TTaskItemList::Count() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(nodes_[root_].size);
}

TaskItemPtr TTaskItemList::Items(int index) const {
  std::lock_guard guard(lock_);
  if (index < 0 || static_cast<std::uint32_t>(index) >= nodes_[root_].size)
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return nodes_[NodeAt(static_cast<std::uint32_t>(index))].item;
}

int TTaskItemList::Add(const TaskItemPtr& item) {
  const std::string& text = item->URL().URI();
  const std::uint64_t hash = HashText(text);
  std::lock_guard guard(lock_);
  if (!slots_.empty()) {
    if (const std::uint32_t slot = static_cast<std::uint32_t>(*FindSlot(text, hash)))
      return static_cast<int>(PositionOf(slot));
  }
  const int index = Insert(FirstLowerRank(item->Rank()), item);
  IndexNode(item->node_, hash);
  return index;
}

int TTaskItemList::Append(const TaskItemPtr& item) {
  const std::string& text = item->URL().URI();
  const std::uint64_t hash = HashText(text);
  std::lock_guard guard(lock_);
  const int index = Insert(nodes_[root_].size, item);
  IndexNode(item->node_, hash);
  return index;
}

int TTaskItemList::IndexOfURL(std::string_view text) const {
  const std::uint64_t hash = HashText(text);
  std::lock_guard guard(lock_);
  if (slots_.empty()) return -1;
  const std::uint32_t node = static_cast<std::uint32_t>(*FindSlot(text, hash));
  return node == 0 ? -1 : static_cast<int>(PositionOf(node));
}

void TTaskItemList::Clear() {
  std::lock_guard guard(lock_);
  for (std::size_t i = 1; i < nodes_.size(); ++i) {
    nodes_[i].item->list_ = nullptr;
    nodes_[i].item->node_ = 0;
  }
  nodes_.clear();
  nodes_.emplace_back();
  root_ = 0;
  slots_.clear();
  indexed_ = 0;
  running_.clear();
}

std::vector<TaskItemPtr> TTaskItemList::FirstWaiting(int limit) const {
  std::lock_guard guard(lock_);
  std::vector<TaskItemPtr> out;
  const std::uint32_t n =
      std::min<std::uint32_t>(static_cast<std::uint32_t>(std::max(limit, 0)), nodes_[root_].waiting);
  for (std::uint32_t k = 0; k < n; ++k) out.push_back(nodes_[KthWaiting(k)].item);
  return out;
}

int TTaskItemList::RunningCount() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(running_.size());
}

std::vector<TaskItemPtr> TTaskItemList::RunningItems() const {
  std::lock_guard guard(lock_);
  std::vector<std::pair<std::uint32_t, TaskItemPtr>> byPosition;
  for (const std::uint32_t node : running_) byPosition.emplace_back(PositionOf(node), nodes_[node].item);
  std::sort(byPosition.begin(), byPosition.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<TaskItemPtr> out;
  for (auto& entry : byPosition) out.push_back(std::move(entry.second));
  return out;
}

int TTaskItemList::WaitingCount() const {
  std::lock_guard guard(lock_);
  return static_cast<int>(nodes_[root_].waiting);
}

void TTaskItemList::ForEach(const std::function<void(const TaskItemPtr&)>& fn) const {
  std::lock_guard guard(lock_);
  std::vector<std::uint32_t> stack;
  std::uint32_t cur = root_;
  while (cur != 0 || !stack.empty()) {
    while (cur != 0) {
      stack.push_back(cur);
      cur = nodes_[cur].left;
    }
    cur = stack.back();
    stack.pop_back();
    fn(nodes_[cur].item);
    cur = nodes_[cur].right;
  }
}

void TTaskItemList::ItemStateChanged(TTaskItem& item) {
  std::lock_guard guard(lock_);
  if (item.list_ != this) return;
  Node& node = nodes_[item.node_];
  const int waitingDelta = static_cast<int>(item.Waiting()) - static_cast<int>(node.selfWaiting);
  if (item.Running())
    running_.insert(item.node_);
  else
    running_.erase(item.node_);
  node.selfWaiting = item.Waiting();
  node.selfRunning = item.Running();
  if (waitingDelta == 0) return;
  for (std::uint32_t cur = item.node_; cur != 0; cur = nodes_[cur].parent)
    nodes_[cur].waiting += static_cast<std::uint32_t>(waitingDelta);
}

int TTaskItemList::Insert(std::uint32_t position, const TaskItemPtr& item) {
  const auto id = static_cast<std::uint32_t>(nodes_.size());
  {
    Node node;
    node.item = item;
    node.priority = static_cast<std::uint32_t>(SplitMix(seed_));
    node.size = 1;
    node.selfWaiting = item->Waiting();
    node.selfRunning = item->Running();
    node.waiting = node.selfWaiting ? 1 : 0;
    node.rank = node.minRank = item->Rank();
    nodes_.push_back(std::move(node));
  }
  item->list_ = this;
  item->node_ = id;
  if (nodes_[id].selfRunning) running_.insert(id);
  if (root_ == 0) {
    root_ = id;
    return static_cast<int>(position);
  }

  // Walk down to the leaf slot at the position, counting the new node into
  // every subtree it joins, then rotate it up to its heap place.
  const Node& fresh = nodes_[id];
  std::uint32_t cur = root_;
  std::uint32_t pos = position;
  for (;;) {
    Node& c = nodes_[cur];
    c.size += 1;
    c.waiting += fresh.waiting;
    c.minRank = std::min(c.minRank, fresh.rank);
    const std::uint32_t leftSize = nodes_[c.left].size;
    std::uint32_t& next = pos <= leftSize ? c.left : c.right;
    if (pos > leftSize) pos -= leftSize + 1;
    if (next == 0) {
      next = id;
      break;
    }
    cur = next;
  }
  nodes_[id].parent = cur;
  while (nodes_[id].parent != 0 && nodes_[id].priority > nodes_[nodes_[id].parent].priority) RotateUp(id);
  if (nodes_[id].parent == 0) root_ = id;
  return static_cast<int>(position);
}

std::uint32_t TTaskItemList::FirstLowerRank(std::int32_t rank) const {
  if (nodes_[root_].minRank >= rank) return nodes_[root_].size;
  // The subtree at cur always holds a lower rank.
  std::uint32_t pos = 0;
  std::uint32_t cur = root_;
  for (;;) {
    const Node& c = nodes_[cur];
    if (nodes_[c.left].minRank < rank) {
      cur = c.left;
    } else if (c.rank < rank) {
      return pos + nodes_[c.left].size;
    } else {
      pos += nodes_[c.left].size + 1;
      cur = c.right;
    }
  }
}

std::uint32_t TTaskItemList::NodeAt(std::uint32_t index) const {
  std::uint32_t cur = root_;
  for (;;) {
    const Node& c = nodes_[cur];
    const std::uint32_t leftSize = nodes_[c.left].size;
    if (index < leftSize) {
      cur = c.left;
    } else if (index == leftSize) {
      return cur;
    } else {
      index -= leftSize + 1;
      cur = c.right;
    }
  }
}

std::uint32_t TTaskItemList::PositionOf(std::uint32_t node) const {
  std::uint32_t pos = nodes_[nodes_[node].left].size;
  for (std::uint32_t parent = nodes_[node].parent; parent != 0; node = parent, parent = nodes_[parent].parent)
    if (nodes_[parent].right == node) pos += nodes_[nodes_[parent].left].size + 1;
  return pos;
}

std::uint32_t TTaskItemList::KthWaiting(std::uint32_t k) const {
  std::uint32_t cur = root_;
  for (;;) {
    const Node& c = nodes_[cur];
    const std::uint32_t leftWaiting = nodes_[c.left].waiting;
    if (k < leftWaiting) {
      cur = c.left;
      continue;
    }
    k -= leftWaiting;
    if (c.selfWaiting) {
      if (k == 0) return cur;
      --k;
    }
    cur = c.right;
  }
}

void TTaskItemList::Pull(std::uint32_t id) {
  Node& n = nodes_[id];
  const Node& l = nodes_[n.left];
  const Node& r = nodes_[n.right];
  n.size = 1 + l.size + r.size;
  n.waiting = (n.selfWaiting ? 1 : 0) + l.waiting + r.waiting;
  n.minRank = std::min({n.rank, l.minRank, r.minRank});
}

void TTaskItemList::RotateUp(std::uint32_t x) {
  const std::uint32_t p = nodes_[x].parent;
  const std::uint32_t g = nodes_[p].parent;
  if (nodes_[p].left == x) {
    const std::uint32_t moved = nodes_[x].right;
    nodes_[p].left = moved;
    if (moved != 0) nodes_[moved].parent = p;
    nodes_[x].right = p;
  } else {
    const std::uint32_t moved = nodes_[x].left;
    nodes_[p].right = moved;
    if (moved != 0) nodes_[moved].parent = p;
    nodes_[x].left = p;
  }
  nodes_[p].parent = x;
  nodes_[x].parent = g;
  if (g != 0) (nodes_[g].left == p ? nodes_[g].left : nodes_[g].right) = x;
  Pull(p);
  Pull(x);
}

std::uint64_t* TTaskItemList::FindSlot(std::string_view text, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t tag = hash >> 32;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0) return const_cast<std::uint64_t*>(&slots_[i]);
    if ((slot >> 32) == tag && nodes_[static_cast<std::uint32_t>(slot)].item->URL().URI() == text)
      return const_cast<std::uint64_t*>(&slots_[i]);
  }
}

void TTaskItemList::IndexNode(std::uint32_t node, std::uint64_t hash) {
  if ((indexed_ + 1) * 10ULL > slots_.size() * 7ULL) GrowIndex();
  std::uint64_t* slot = FindSlot(nodes_[node].item->URL().URI(), hash);
  if (*slot == 0) ++indexed_;
  *slot = ((hash >> 32) << 32) | node;
}

void TTaskItemList::GrowIndex() {
  std::vector<std::uint64_t> old = std::move(slots_);
  slots_.assign(std::max<std::size_t>(kMinSlots, old.size() * 2), 0);
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint64_t slot : old) {
    if (slot == 0) continue;
    const std::uint64_t hash = HashText(nodes_[static_cast<std::uint32_t>(slot)].item->URL().URI());
    std::size_t i = hash & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace vdk
