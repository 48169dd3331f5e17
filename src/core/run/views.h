#pragma once

#include <array>
#include <string>
#include <vector>

namespace vdk {

class TTaskItem;

// The views a task writes into. The GUI implements them with its list and
// log widgets, the command-line runner with its terminal output, tests with
// recorders. Every call comes on the main thread.

// A work-item row: the item is the row's data; the image index is 1 while
// the item runs, 0 otherwise. Sub-items are the full URL, the document's
// extension with its dot, the size, the depth and the completed percentage.
struct TItemRow {
  const TTaskItem* Item = nullptr;
  int ImageIndex = 0;
  std::array<std::string, 5> SubItems;
};

// Work-item rows, one per item.
class TItemsView {
 public:
  virtual ~TItemsView() = default;
  virtual void AddRow(const TTaskItem* item, int imageIndex, const std::array<std::string, 5>& subItems) = 0;
  // A batch of rows at once, in order (a window inserts them in one change).
  virtual void AddRows(const std::vector<TItemRow>& rows) {
    for (const TItemRow& row : rows) AddRow(row.Item, row.ImageIndex, row.SubItems);
  }
  virtual void ClearRows() = 0;
  // The first row whose data is the item; nothing when there is none.
  virtual void RemoveRow(const TTaskItem* item) = 0;
  virtual void SetRowImage(const TTaskItem* item, int imageIndex) = 0;
  virtual void SetRowProgress(const TTaskItem* item, const std::string& size, const std::string& completed) = 0;
};

// The log shared by every task.
class TLogView {
 public:
  virtual ~TLogView() = default;
  virtual void AppendLine(const std::string& line) = 0;
};

// Saved files: caption (file name), extension with its dot, size text
// ("N KB"), and the full path as the row's data.
class TImagesView {
 public:
  // Rows: a worker waits while its file's row is added, as for every row.
  // Tally: the view only counts the files, and the worker hands the call over
  // without waiting, like a log line.
  enum class TMode { Rows, Tally };
  explicit TImagesView(TMode mode = TMode::Rows) : Mode(mode) {}
  virtual ~TImagesView() = default;
  // Fixed at construction: workers read it.
  const TMode Mode;
  virtual void AddFileRow(const std::string& caption, const std::string& ext, const std::string& size,
                          const std::string& path) = 0;
};

// Where saved files go to be catalogued. Queue must return at once.
class TImageQueue {
 public:
  virtual ~TImageQueue() = default;
  virtual void Queue(const std::string& path) = 0;
};

}  // namespace vdk
