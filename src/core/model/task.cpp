#include "core/model/task.h"

#include <cstdio>
#include <random>

#include "core/base/path_utils.h"
#include "core/net/http_connections.h"
#include "core/run/run_control.h"
#include "core/url/url_path.h"

namespace vdk {

TTask::TTask() : run_(std::make_unique<TRunControl>(*this)), connections_(std::make_shared<THttpConnections>()) {}

TTask::~TTask() = default;

bool TTask::AllDone() const {
  const int count = Items.Count();
  return count > 0 && finishedCount_ == count;
}

void TTask::Start() { run_->Start(); }
void TTask::Stop() { run_->Stop(); }
void TTask::Restart() { run_->Restart(); }
void TTask::ShowItems() { run_->ShowItems(); }
void TTask::FinishRun(const std::function<void(const TTask&)>& save) { run_->FinishRun(save); }

bool TTask::FetchesPageAt(const TTaskItem& item, std::int32_t depth) const {
  return depth < Options.SeekDeep && IsPageExt(ExtractFileExt(item.URL().Document()));
}

std::string NewGUID() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  std::uint64_t hi = engine(), lo = engine();
  hi = (hi & ~0xF000ULL) | 0x4000ULL;              // version 4
  lo = (lo & ~(0xC0ULL << 56)) | (0x80ULL << 56);  // RFC 4122 variant
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(hi >> 32),
                static_cast<unsigned>((hi >> 16) & 0xFFFF), static_cast<unsigned>(hi & 0xFFFF),
                static_cast<unsigned>(lo >> 48), static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFULL));
  return text;
}

}  // namespace vdk
