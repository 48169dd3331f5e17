#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/run/event_loop.h"
#include "import/import_file_thread.h"
#include "import/import_view.h"

namespace vdk::test {

// Records what the import threads show, and checks that every call comes on
// the loop's (main) thread.
class RecordedImportView : public TImportView {
 public:
  explicit RecordedImportView(const TEventLoop& loop) : loop_(loop) {}

  void IndexLoading() override { Record("loading"); }
  void GroupAdded(const std::shared_ptr<TImportFileThread>& group) override {
    Record("group " + group->FileName);
    groups.push_back(group);
  }
  void GroupLoaded(const TImportFileThread& group) override {
    std::string names;
    for (const auto& item : group.NewItems()) names += (names.empty() ? "" : ", ") + item->Name;
    Record("loaded " + group.FileName + ": " + names);
    ++loaded;
  }
  void IndexLoaded(const std::string& why) override {
    Record("index done");
    failure = why;
    indexDone = true;
  }

  bool AllLoaded() const { return indexDone && loaded == static_cast<int>(groups.size()); }
  // The names a group offers, in order.
  static std::vector<std::string> Offered(const TImportFileThread& group) {
    std::vector<std::string> names;
    for (const auto& item : group.NewItems()) names.push_back(item->Name);
    return names;
  }

  std::vector<std::string> events;
  std::vector<std::shared_ptr<TImportFileThread>> groups;
  int loaded = 0;
  bool indexDone = false;
  std::string failure;

 private:
  void Record(std::string event) {
    EXPECT_TRUE(loop_.IsMainThread()) << event;
    events.push_back(std::move(event));
  }

  const TEventLoop& loop_;
};

}  // namespace vdk::test
