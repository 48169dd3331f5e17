#include "core/model/task_item.h"

#include "core/base/text_utils.h"
#include "core/model/task.h"

namespace vdk {

int RankClass(std::string_view host, std::string_view startHost) {
  if (SameText(host, startHost)) return 9;
  return SameText(ParentDomain(host), ParentDomain(startHost)) ? 6 : 3;
}

TTaskItem::TTaskItem(TTask* task, std::string_view url, std::string_view startHost) : url_(url), task_(task) {
  rank_ = RankClass(url_.Host(), startHost) * 1000 + static_cast<std::int32_t>(url_.Text().size());
}

TTaskItem::TTaskItem(TTask* task, std::string_view url) : TTaskItem(task, url, task->URL.Host()) {}

void TTaskItem::SetDone(bool done) {
  done_ = done;
  StateChanged();
}

void TTaskItem::SetRunningFlag(bool running) {
  running_ = running;
  StateChanged();
}

void TTaskItem::StateChanged() {
  if (list_ != nullptr) list_->ItemStateChanged(*this);
}

}  // namespace vdk
