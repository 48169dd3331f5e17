#include "core/run/task_thread.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <system_error>

#include "core/base/errors.h"
#include "core/base/fd_stream.h"
#include "core/base/file_names.h"
#include "core/base/text_utils.h"
#include "core/model/task.h"
#include "core/net/http_client.h"
#include "core/run/file_writer.h"
#include "core/run/partial_files.h"
#include "core/run/run_control.h"
#include "core/run/synchronize.h"
#include "core/run/worker_threads.h"
#include "core/url/html_scan.h"
#include "core/url/url_path.h"

namespace vdk {
namespace {

// Unwinds a worker that has been stopped; never leaves the worker.
struct ECancelled {};
// Unwinds a worker that found the disk full; never leaves the worker.
struct ENoRoom {};

// Worker threads are detached and may outlive static destruction at exit,
// so their count lives in an object that is never destroyed.
struct LiveWorkers {
  std::mutex lock;
  std::condition_variable changed;
  int count = 0;
};
LiveWorkers& Live() {
  static auto* live = new LiveWorkers;
  return *live;
}

void WorkerGone() {
  std::lock_guard lock(Live().lock);
  --Live().count;
  Live().changed.notify_all();
}

constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// Links longer than this are not followed. Real addresses stay far below it
// (servers commonly refuse 8 KB request lines); the bound keeps a hostile
// page from growing the work list and every later page's links without end.
constexpr std::size_t kMaxURLLength = 4096;

int DevNull() {
  static const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  return fd;
}

// The page text as lines ended by CR LF: lines end at CR LF, lone CR and lone
// LF, and the text ends at its first NUL.
void WriteLines(std::ostream& out, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    out.write(text.data() + start, static_cast<std::streamsize>(end - start));
    out.write("\r\n", 2);
    start = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
  }
}

std::string PageFileName(std::string_view document) {
  if (document.empty()) return "index.html";
  if (ExtractFileExt(document).empty()) return SafeFileName(std::string(document) + ".html");
  return SafeFileName(document);
}

std::string MaskFolder(const TRegOptions& options, int mask) {
  return AddSlash(options.DefaultFolder) + SplitMask(options.FileMasks[static_cast<std::size_t>(mask)]).second;
}

}  // namespace

TTaskThread::TTaskThread(std::shared_ptr<TTask> task, std::shared_ptr<TTaskItem> item,
                         std::shared_ptr<TSynchronizer> sync)
    : task_(std::move(task)),
      item_(std::move(item)),
      sync_(std::move(sync)),
      url_(item_->URL().URI()),
      depth_(item_->Depth),
      rescan_(item_->Rescan) {}

TTaskThread::~TTaskThread() = default;

int TTaskThread::LiveCount() {
  std::lock_guard lock(Live().lock);
  return Live().count;
}

bool TTaskThread::WaitForAll(std::chrono::steady_clock::duration timeout) {
  std::unique_lock lock(Live().lock);
  return Live().changed.wait_for(lock, timeout, [] { return Live().count == 0; });
}

void TTaskThread::Resume() {
  {
    std::lock_guard lock(Live().lock);
    ++Live().count;
  }
  try {
    TWorkerThreads::Run([self = shared_from_this()]() mutable {
      // A worker that ends may be given the next item to run here.
      while (self) self = self->Run();
      WorkerGone();
    });
  } catch (...) {
    WorkerGone();
    throw;
  }
}

void TTaskThread::Terminate() {
  token_->Cancel([this] {
    // Unlinked while still open and locked: see CloseFile.
    if (!temporaryFile_.empty()) ::unlink(temporaryFile_.c_str());
    if (fd_ >= 0) ::dup2(DevNull(), fd_);  // closes the file; the descriptor number stays valid
    if (temporaryFile_.empty()) return;
    if (temporaryIsPartial_) ReleasePartialFile(temporaryFile_);
    temporaryFile_.clear();
  });
}

std::shared_ptr<TTaskThread> TTaskThread::Run() {
  Execute();
  return task_->run_->PassEnded(*this, sync_, token_);
}

void TTaskThread::Execute() {
  try {
    // The start URL whole: its scheme gives the login site's port when it
    // names none. The connections of the task's earlier items serve this one.
    THttpClient http(task_->Options, task_->URL.Text(), task_->connections_);
    if (!token_->SetCancelHook([&http] { http.Cancel(); })) return;
    struct Unhook {
      TCancelToken& token;
      ~Unhook() { token.SetCancelHook({}); }
    } unhook{*token_};
    PagePart(http);
    FilePart(http);
  } catch (const ECancelled&) {
    // Stopped: the stop has cleaned up.
  } catch (const ENoRoom&) {
    // The run control stops the task when the pass ends.
  } catch (const std::exception& e) {
    // A failed request, scan or write ends the pass; the item still counts as
    // finished, and the log says why.
    Failed(e.what());
  }
  CloseFile(true);
}

template <typename Step>
void TTaskThread::UnderStepLock(Step step) {
  std::lock_guard lock(token_->StepLock());
  if (token_->Cancelled()) throw ECancelled{};
  step();
}

void TTaskThread::Sync(std::function<void()> fn) {
  if (!sync_->Synchronize(token_, std::move(fn))) throw ECancelled{};
}

void TTaskThread::Tell(std::function<void()> fn) {
  if (token_->Cancelled()) throw ECancelled{};
  sync_->Queue(token_, std::move(fn));
}

void TTaskThread::Log(const std::string& message) {
  Tell([task = task_.get(), message] { task->run_->AppendLog(message); });
}

void TTaskThread::Failed(const std::string& reason) {
  if (token_->Cancelled()) return;
  // Only the start item has depth 0; queued before the end of the pass.
  sync_->Queue(token_, [task = task_.get(), reason, start = depth_ == 0] { task->run_->ItemFailed(reason, start); });
}

void TTaskThread::SaveFailed(const EFileError& error) {
  if (token_->Cancelled()) throw ECancelled{};
  noRoom_ = IsNoRoom(error.ErrorCode());
  sync_->Queue(token_, [task = task_.get(), reason = std::string(error.what()), noRoom = noRoom_] {
    task->run_->SaveFailed(reason, noRoom);
  });
  if (noRoom_) throw ENoRoom{};
}

void TTaskThread::MakeFolder(const std::string& folder) {
  // The folder is there for every file but the first: one stat instead of
  // create_directories' own and a second one to see that it is a folder.
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!ec && std::filesystem::is_directory(folder, ec)) return;
  if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
  throw EFileError("Cannot create the folder", folder, ec.value());
}

void TTaskThread::OnWork(THttpClient& http, std::int64_t count) {
  // Runs inside the transfer: it must not throw, and it refreshes the row at
  // most every kProgressInterval and only when the text changes.
  if (!task_->Displayed || task_->ItemsView == nullptr) return;
  const std::int64_t length = http.Response().ContentLength;
  std::string completed = PercentText(count, length);
  const auto now = std::chrono::steady_clock::now();
  if (completed == lastProgressText_ || now - lastProgress_ < kProgressInterval) return;
  lastProgress_ = now;
  lastProgressText_ = completed;
  sync_->Queue(token_, [task = task_.get(), item = item_, size = SizeText(length), completed = std::move(completed)] {
    task->run_->SetRowProgress(item.get(), size, completed);
  });
}

void TTaskThread::PagePart(THttpClient& http) {
  if (!task_->FetchesPageAt(*item_, depth_)) return;
  Log("Attach \"" + WithoutUserInfo(url_.URI()) + "\"");
  http.OnWork = [this, &http](std::int64_t count) { OnWork(http, count); };
  std::string text;
  try {
    text = http.Get(url_.URI());
  } catch (const EHttpCancelled&) {
    throw ECancelled{};
  } catch (const EHttpError& first) {
    url_.SetURI(url_.URI() + "/");
    try {
      text = http.Get(url_.URI());
    } catch (const EHttpCancelled&) {
      throw ECancelled{};
    } catch (const EHttpError&) {
      throw first;  // the address as the link gave it, with why it failed
    }
  }
  // Links resolve against where the page really is, after redirects.
  const TIdURI final(http.Response().FinalURL);
  SavePage(text);
  AddLinks(BaseURLOf(final.IsValid() ? final : url_), std::move(text));
}

void TTaskThread::SavePage(const std::string& text) {
  if (rescan_) return;
  const int mask = task_->Options.FindMask(ItemExtension(url_));
  if (mask == -1) return;
  try {
    WritePage(MaskFolder(task_->Options, mask), text);
  } catch (const EFileError& e) {
    SaveFailed(e);  // the page's links are still followed unless the disk is full
  }
}

void TTaskThread::WritePage(const std::string& folder, const std::string& text) {
  MakeFolder(folder);
  ReservedFile file;
  UnderStepLock([&] {
    file = ReserveUniqueFile(AddSlash(folder) + PageFileName(url_.Document()), "");
    temporaryFile_ = file.Final;
    temporaryIsPartial_ = false;
    fd_ = file.Fd;
  });
  int error = 0;
  {
    FdStreamBuf buffer(fd_);
    std::ostream out(&buffer);
    WriteLines(out, text);
    out.flush();
    error = buffer.Error();
  }
  UnderStepLock([&] {
    ::close(fd_);
    fd_ = -1;
    if (error != 0) ::unlink(temporaryFile_.c_str());  // no half page stays
    temporaryFile_.clear();
  });
  if (error != 0) throw EFileError("Cannot save the page", file.Final, error);
}

void TTaskThread::AddLinks(const std::string& baseURL, std::string text) {
  THTMLScan scan;
  scan.SetMainURL(baseURL);
  scan.SetHTML(std::move(text));
  Log("Links found : " + std::to_string(scan.Links().Count()));
  const std::int32_t depth = depth_ + 1;
  std::vector<TaskItemPtr> added;
  // Pages already listed that this link could bring nearer the start URL;
  // their depths are the main thread's to compare and change.
  std::vector<TaskItemPtr> foundAgain;
  {
    // Only the insertions take the scan lock, so that two workers of a task
    // never interleave theirs; it is never held while waiting for the main
    // thread.
    const auto scanLock = task_->Items.LockScan();
    for (const TURLPath& link : scan.Links()) {
      if (token_->Cancelled()) throw ECancelled{};
      const std::string& resolved = link.ResolvedURL();
      if (resolved.size() > kMaxURLLength) continue;
      if (const int index = task_->Items.IndexOfURL(resolved); index != -1) {
        if (TaskItemPtr known = task_->Items.Items(index); known && task_->FetchesPageAt(*known, depth))
          foundAgain.push_back(std::move(known));
        continue;
      }
      const TIdURI uri(resolved);
      if (!uri.IsValid() || !IsFollowable(uri, task_->URL)) continue;  // an unusable link costs only itself
      auto newItem = std::make_shared<TTaskItem>(task_.get(), resolved);
      newItem->Depth = depth;
      UnderStepLock([&] {
        if (task_->Items.Items(task_->Items.Add(newItem)) == newItem) added.push_back(std::move(newItem));
      });
    }
  }
  // Without a rows view the worker does not wait for a call that shows nothing.
  if (!task_->Displayed || task_->ItemsView == nullptr) added.clear();
  if (added.empty() && foundAgain.empty()) return;
  Sync([task = task_.get(), added = std::move(added), foundAgain = std::move(foundAgain), depth] {
    task->run_->AddItemRows(added);
    for (const auto& item : foundAgain) task->run_->LinkFoundAgain(item, depth);
  });
}

void TTaskThread::FilePart(THttpClient& http) {
  const TRegOptions& options = task_->Options;
  const std::string ext = ItemExtension(url_);
  const int mask = options.FindMask(ext);
  if (mask == -1 || IsPageExt(ext)) return;
  const auto document = url_.Document();
  if (std::any_of(options.ExcludeFiles.begin(), options.ExcludeFiles.end(),
                  [&](const std::string& name) { return SameText(name, document); }))
    return;
  if (options.EnableFileLimit && !PassesSizeFilter(http)) return;
  try {
    Download(http, MaskFolder(options, mask));
  } catch (const EFileError& e) {
    SaveFailed(e);
  }
}

bool TTaskThread::PassesSizeFilter(THttpClient& http) {
  http.OnWork = nullptr;
  http.Head(url_.URI());
  const std::int64_t length = http.Response().ContentLength;
  const std::int64_t kb = 1024;
  return task_->Options.FileMinSize * kb < length && length < task_->Options.FileMaxSize * kb;
}

void TTaskThread::Download(THttpClient& http, const std::string& folder) {
  MakeFolder(folder);
  ReservedFile file;
  UnderStepLock([&] {
    file = CreatePartialFile(AddSlash(folder) + SafeFileName(url_.Document()));
    temporaryFile_ = file.Temporary;
    temporaryIsPartial_ = true;
    fd_ = file.Fd;
  });
  Log("Saving file \"" + std::string(ExtractFileName(file.Temporary)) + "\"");

  const TRegOptions& options = task_->Options;
  // With the size filter on, a body that grows past the limit (the server
  // announced less) is cut off.
  const std::int64_t limit = options.EnableFileLimit ? options.FileMaxSize * std::int64_t{1024} - 1 : -1;
  std::int64_t size = 0;
  int writeError = 0;
  TFileWriter* const writer = task_->Writer.get();
  http.OnWork = [this, &http](std::int64_t count) { OnWork(http, count); };
  try {
    http.Get(
        url_.URI(),
        [&](const char* data, std::size_t n) {
          size += static_cast<std::int64_t>(n);
          writeError = writer ? writer->Write(fd_, data, n) : WriteAll(fd_, data, n);
          return writeError == 0;
        },
        limit);
  } catch (const EHttpError&) {
    // The partial file is deleted on the way out.
    if (writeError != 0) throw EFileError("Cannot save the file", file.Final, writeError);
    throw;
  }

  int renameError = 0;
  UnderStepLock([&] {
    // Renamed before it is closed: closing drops the lock, and a clean-up in
    // another process deletes a partial file it finds unlocked.
    renameError = RenameReservedFile(file);
    ::close(fd_);
    fd_ = -1;
    if (renameError == 0) {
      ReleasePartialFile(file.Temporary);
      temporaryFile_.clear();
    }
  });
  if (renameError != 0) {
    Log("Rename file \"" + std::string(ExtractFileName(file.Temporary)) + "\" failed");
    throw EFileError("Cannot rename", file.Temporary, renameError);  // deleted on the way out
  }
  UnderStepLock([&] {
    if (task_->ImageQueue) task_->ImageQueue->Queue(file.Final);
  });
  // The row and the log line in one call. Only a view that shows rows holds
  // the worker up for it; a later display of the task lists the folder.
  auto show = [task = task_.get(), path = file.Final, size,
               message = "File \"" + std::string(ExtractFileName(file.Final)) + "\" saved"] {
    task->run_->AddSavedFileRow(path, size);
    task->run_->AppendLog(message);
  };
  const TImagesView* const view = task_->Displayed ? task_->ImagesView : nullptr;
  if (view != nullptr && view->Mode == TImagesView::TMode::Rows)
    Sync(std::move(show));
  else
    Tell(std::move(show));
  UnderStepLock([&] { ++task_->savedCount_; });
}

void TTaskThread::CloseFile(bool remove) {
  std::lock_guard lock(token_->StepLock());
  // Unlinked before it is closed: once unlocked, its name may be taken by a
  // new writer before another process's clean-up gets to deleting it.
  if (remove && !temporaryFile_.empty()) ::unlink(temporaryFile_.c_str());
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (temporaryFile_.empty()) return;
  if (temporaryIsPartial_) ReleasePartialFile(temporaryFile_);
  temporaryFile_.clear();
}

}  // namespace vdk
