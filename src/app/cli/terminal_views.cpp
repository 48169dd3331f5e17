#include "app/cli/terminal_views.h"

#include <sys/stat.h>

#include <cinttypes>

#include "core/model/task.h"

namespace vdk::cli {

TTerminalViews::TTerminalViews(std::FILE* out, bool progressLine)
    : TImagesView(TMode::Tally), out_(out), progressLine_(progressLine) {}

void TTerminalViews::AppendLine(const std::string& line) {
  // Pages are the fetches the log announces.
  if (line.find("] - Attach \"") != std::string::npos) ++pages_;
  if (progressLine_) return;
  std::fprintf(out_, "%s\n", line.c_str());
}

void TTerminalViews::AddFileRow(const std::string&, const std::string&, const std::string&, const std::string& path) {
  ++files_;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) bytes_ += st.st_size;
}

double TTerminalViews::Seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

void TTerminalViews::ShowProgress(const TTask& task) {
  if (!progressLine_) {
    std::fflush(out_);
    return;
  }
  const double seconds = Seconds();
  const auto rate = static_cast<std::int64_t>(seconds > 0 ? static_cast<double>(bytes_) / seconds : 0);
  std::fprintf(out_, "\r\033[K%d/%d items  %d files  %s  %s/s  %d workers", task.FinishedCount(), task.Items.Count(),
               files_, FormatBytes(bytes_).c_str(), FormatBytes(rate).c_str(), task.RunningCount());
  std::fflush(out_);
  progressShown_ = true;
}

void TTerminalViews::EndProgress() {
  if (!progressShown_) return;
  std::fprintf(out_, "\n");
  progressShown_ = false;
}

std::string FormatBytes(std::int64_t bytes) {
  static const char* units[] = {"B", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
  return text;
}

}  // namespace vdk::cli
