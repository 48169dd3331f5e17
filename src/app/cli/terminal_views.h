#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/run/views.h"

namespace vdk {
class TTask;
}

namespace vdk::cli {

// The views of a task run in a terminal. Log lines go to the output unless a
// live progress line is shown instead (on a terminal); saved files are
// counted with their sizes for the progress line and the summary, a tally
// that workers do not wait for. There are no work-item rows: without a rows
// view the workers skip those calls.
// Threads: main thread only, like every view.
class TTerminalViews : public TLogView, public TImagesView {
 public:
  TTerminalViews(std::FILE* out, bool progressLine);

  void AppendLine(const std::string& line) override;
  void AddFileRow(const std::string& caption, const std::string& ext, const std::string& size,
                  const std::string& path) override;

  // Redraws the progress line (items finished/found, files, bytes, rate,
  // running workers); without one, flushes the log lines written since the
  // last call (a write per line would cost more than the line).
  void ShowProgress(const TTask& task);
  // Ends the progress line so that later output starts on a fresh line.
  void EndProgress();

  int Pages() const { return pages_; }
  int Files() const { return files_; }
  std::int64_t Bytes() const { return bytes_; }
  double Seconds() const;

 private:
  std::FILE* out_;
  bool progressLine_;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  int pages_ = 0;
  int files_ = 0;
  std::int64_t bytes_ = 0;
};

// "12.3 MB" style sizes.
std::string FormatBytes(std::int64_t bytes);

}  // namespace vdk::cli
