// The main window under load, on the offscreen platform: the found-files
// list at 100,000 rows, progress cells, the shared log at 100,000 lines, the
// 300 ms timer's tick with the report shown and, given a start URL, a crawl
// in the window with a watchdog on the GUI thread. The window is the real
// TMainForm over a temporary Vendrake home and a store held in memory; rows,
// cells and lines go in through the views the engine writes into.
//
//   gui_bench [START_URL]     (a site served on 127.0.0.1 only)
//
// Each figure is printed with its goal; the CPU figures are the GUI thread's
// own time, which a busy machine does not inflate.
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidgetItem>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "core/model/task.h"
#include "core/run/views.h"
#include "core/settings/memory_registry.h"
#include "core/settings/reg_settings.h"
#include "ui/mainwindow/found_files_model.h"
#include "ui/mainwindow/log_model.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/task_tree.h"
#include "ui/mainwindow/tray_icon.h"

namespace {

constexpr int kRows = 100000;
constexpr int kBatch = 100;  // the links of one page, as a worker hands them over
constexpr int kRemovals = 1000;
constexpr int kProgressUpdates = 10000;
constexpr int kRunningRows = 8;  // the workers of a run, at the top of the list
constexpr int kLogLines = 100000;
constexpr int kLinesPerFlush = 1000;
constexpr int kTicks = 1000;
constexpr int kWatchdogMilliseconds = 10;
constexpr int kStallGoalMilliseconds = 50;
constexpr int kCrawlLimitMilliseconds = 30 * 60 * 1000;
constexpr int kAfterEndMilliseconds = 1000;

// No notification area: the benchmark never reaches the session's.
class TNoTrayIcon : public vdk::TTrayIcon {
 public:
  bool IsAvailable() const override { return false; }
  void Install(const QIcon&, const QString&, QMenu*) override {}
};

double Ms(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

double ThreadCpuMs() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall and CPU time of the GUI thread from its start.
struct TStopwatch {
  QElapsedTimer wall;
  double cpuStart = ThreadCpuMs();
  TStopwatch() { wall.start(); }
  double Wall() const { return Ms(wall); }
  double Cpu() const { return ThreadCpuMs() - cpuStart; }
};

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// A store with the defaults, the sample tasks marked as added and the tip
// off, so that the tree holds only the benchmark's tasks and no window opens
// on its own.
std::unique_ptr<vdk::TRegistry> PreparedStore(const std::string& home) {
  vdk::TRegSettings settings(std::make_unique<vdk::TMemoryRegistry>(), home);
  settings.LoadFromRegistry();
  settings.Options.DefaultTaskAdded = true;
  settings.Options.DefaultFolder = home + "Images/Downloaded Files/";
  settings.Window.ShowTip = false;
  settings.SaveToRegistry();
  return std::move(settings.Registry);
}

// A pass of the event loop: the views lay out and paint what changed.
void Pass(QAbstractItemView*) { QApplication::processEvents(); }

// A pass of the event loop, then a paint of the view whether it changed or
// not (how the earlier runs measured every batch).
void Settle(QAbstractItemView* view) {
  QApplication::processEvents();
  view->viewport()->repaint();
}

using TFrame = void (*)(QAbstractItemView*);

std::shared_ptr<vdk::TTask> SelectNewTask(vdk::TMainForm& form, const char* name, const std::string& url) {
  if (!form.CreateTaskFile(name, url, form.Tree().Root())) return nullptr;
  form.Tree().Select(form.Tree().FindByCaption(QString::fromLatin1(name)));
  return form.SelectedTask();
}

std::string PageURL(int i) { return "http://127.0.0.1:8000/gallery/page" + std::to_string(i) + "/image.jpg"; }

void AddItems(vdk::TTask& task, int count) {
  for (int i = 0; i < count; ++i) {
    auto item = std::make_shared<vdk::TTaskItem>(&task, PageURL(i));
    item->Depth = 1 + i % 5;
    task.Items.Add(item);
  }
}

// The rows as the run control makes them for the items of the task.
std::vector<vdk::TItemRow> RowsOf(const vdk::TTask& task) {
  std::vector<vdk::TItemRow> rows;
  rows.reserve(static_cast<std::size_t>(task.Items.Count()));
  task.Items.ForEach([&rows](const vdk::TaskItemPtr& item) {
    rows.push_back({item.get(), 0, {item->URL().URI(), ".jpg", "---", std::to_string(item->Depth), "---"}});
  });
  return rows;
}

// How many changes of its row count the view was told of, each costing it a
// layout of every row.
struct TRowChanges {
  int Count = 0;
  std::vector<QMetaObject::Connection> connections;
  explicit TRowChanges(QAbstractItemModel& model) {
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
      connections.push_back(QObject::connect(&model, signal, &model, [this] { ++Count; }));
  }
  ~TRowChanges() {
    for (const auto& connection : connections) QObject::disconnect(connection);
  }
  TRowChanges(const TRowChanges&) = delete;
  TRowChanges& operator=(const TRowChanges&) = delete;
};

// The list emptied, then filled page by page as workers hand over links.
void BatchedFill(vdk::TFoundFilesModel& model, const std::vector<vdk::TItemRow>& rows, QTreeView* view, TFrame frame,
                 const char* how) {
  double worst = 0;
  model.ClearRows();
  QTest::qWait(vdk::TFoundFilesModel::kFlushMilliseconds);  // a quiet spell: the first batch shows at once
  const TRowChanges changes(model);
  TStopwatch batched;
  for (std::size_t at = 0; at < rows.size(); at += kBatch) {
    QElapsedTimer batch;
    batch.start();
    model.AddRows({rows.begin() + static_cast<std::ptrdiff_t>(at),
                   rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), at + kBatch))});
    frame(view);
    worst = std::max(worst, Ms(batch));
  }
  model.Flush();  // the last rows, shown
  Settle(view);
  std::printf(
      "found files: %d rows in batches of %d, %s, all shown: %.1f ms, CPU %.1f ms, slowest batch %.2f ms, %d "
      "changes of the row count (goal under 500 ms: %s)\n",
      model.rowCount(), kBatch, how, batched.Wall(), batched.Cpu(), worst, changes.Count,
      Verdict(batched.Wall() < 500));
}

void BenchFill(vdk::TMainForm& form, vdk::TTask& task, QTreeView* view) {
  vdk::TFoundFilesModel& model = form.FoundFiles();
  TStopwatch whole;
  task.ShowItems();  // as a selected task lists its items: one insertion
  model.Flush();     // which the selection change shows at once
  const double rowsMs = whole.Wall();
  Settle(view);
  std::printf(
      "found files: %d rows in one batch, laid out and painted: %.1f ms, CPU %.1f ms (rows %.1f ms, layout and "
      "paint %.1f ms; goal under 500 ms: %s)\n",
      model.rowCount(), whole.Wall(), whole.Cpu(), rowsMs, whole.Wall() - rowsMs, Verdict(whole.Wall() < 500));

  const std::vector<vdk::TItemRow> rows = RowsOf(task);
  BatchedFill(model, rows, view, Pass, "each followed by a pass of the event loop");
  BatchedFill(model, rows, view, Settle, "each followed by a pass of the event loop and a forced paint");
}

// Finished items leave the list one at a time, from the bottom.
void Removals(vdk::TFoundFilesModel& model, vdk::TTask& task, QTreeView* view, int& removed, TFrame frame,
              const char* how) {
  const int before = model.rowCount();
  QTest::qWait(vdk::TFoundFilesModel::kFlushMilliseconds);
  const TRowChanges changes(model);
  TStopwatch removals;
  for (int i = 0; i < kRemovals; ++i, ++removed) {
    model.RemoveRow(task.Items.Items(kRows - 1 - removed).get());
    frame(view);
  }
  model.Flush();
  Settle(view);
  std::printf(
      "found files: %d rows removed from %d, %s, all shown: %.1f ms, CPU %.1f ms (%.3f ms each), %d "
      "changes of the row count\n",
      kRemovals, before, how, removals.Wall(), removals.Cpu(), removals.Wall() / kRemovals, changes.Count);
}

void BenchRemovals(vdk::TMainForm& form, vdk::TTask& task, QTreeView* view) {
  int removed = 0;
  Removals(form.FoundFiles(), task, view, removed, Pass, "each followed by a pass of the event loop");
  Removals(form.FoundFiles(), task, view, removed, Settle,
           "each followed by a pass of the event loop and a forced paint");
}

void BenchProgress(vdk::TMainForm& form, vdk::TTask& task, QTreeView* view) {
  vdk::TFoundFilesModel& model = form.FoundFiles();
  std::vector<const vdk::TTaskItem*> running;
  for (int i = 0; i < kRunningRows; ++i) running.push_back(task.Items.Items(i).get());
  TStopwatch total;
  for (int i = 0; i < kProgressUpdates; ++i) {
    const std::string size = std::to_string(1024 * (i + 1));
    model.SetRowProgress(running[static_cast<std::size_t>(i % kRunningRows)], size, std::to_string(i % 101) + "%");
    if ((i + 1) % kBatch == 0) Settle(view);
  }
  std::printf("found files: %d progress cells on %d rows, painted every %d: %.1f ms, CPU %.1f ms (%.1f us each)\n",
              kProgressUpdates, kRunningRows, kBatch, total.Wall(), total.Cpu(),
              total.Wall() * 1000 / kProgressUpdates);
}

// Lines as the run control writes them: a time stamp, then the message.
std::string LogLine(int i) {
  return "[09/12/2026 18:00:00] - Downloading " + PageURL(i) + " (" + std::to_string(i * 37 % 100000) + " bytes)";
}

void BenchLog(vdk::TMainForm& form, QListView* view, const char* what) {
  vdk::TLogView& log = form.Log();
  double worst = 0;
  TStopwatch total;
  for (int i = 0; i < kLogLines; i += kLinesPerFlush) {
    QElapsedTimer flush;
    flush.start();
    for (int j = i; j < i + kLinesPerFlush; ++j) log.AppendLine(LogLine(j));
    form.Log().Flush();  // what the log's flush timer does on its next turn
    Settle(view);
    worst = std::max(worst, Ms(flush));
  }
  std::printf(
      "log (%s): %d lines, shown and painted every %d: %.1f ms, CPU %.1f ms, slowest flush %.2f ms (goal under "
      "1000 ms: %s)\n",
      what, kLogLines, kLinesPerFlush, total.Wall(), total.Cpu(), worst, Verdict(total.Wall() < 1000));
}

void BenchTicks(vdk::TMainForm& form) {
  struct TTick {
    double Wall, Cpu;
  };
  std::vector<TTick> ticks;
  ticks.reserve(kTicks);
  for (int i = 0; i < kTicks; ++i) {
    const TStopwatch tick;
    form.TimerTimer();
    QApplication::processEvents();  // the report's repaint
    ticks.push_back({tick.Wall(), tick.Cpu()});
  }
  const auto byWall = [](const TTick& a, const TTick& b) { return a.Wall < b.Wall; };
  const auto byCpu = [](const TTick& a, const TTick& b) { return a.Cpu < b.Cpu; };
  const TTick first = ticks.front();
  const TTick worst = *std::max_element(ticks.begin(), ticks.end(), byWall);
  const double worstCpu = std::max_element(ticks.begin(), ticks.end(), byCpu)->Cpu;
  std::nth_element(ticks.begin(), ticks.begin() + kTicks / 2, ticks.end(), byWall);
  const double median = ticks[kTicks / 2].Wall;
  std::printf(
      "timer: %d ticks with the report shown: median %.3f ms, max %.3f ms (CPU %.3f ms of it), most CPU in a tick "
      "%.3f ms, first %.3f ms (goal under 2 ms: median %s, max %s)\n",
      kTicks, median, worst.Wall, worst.Cpu, worstCpu, first.Wall, Verdict(median < 2), Verdict(worst.Wall < 2));
}

// What a watchdog saw: a stall is the time past its interval; the GUI
// thread's CPU time in a stall tells its own work from the time the busy
// machine gave other processes.
struct TStalls {
  long Beats = 0;
  double Longest = 0, LongestCpu = 0, MostCpu = 0;
  int Over = 0, CpuOver = 0;

  void Add(double stall, double cpu) {
    ++Beats;
    if (stall > Longest) {
      Longest = stall;
      LongestCpu = cpu;
    }
    MostCpu = std::max(MostCpu, cpu);
    if (stall > kStallGoalMilliseconds) ++Over;
    if (cpu > kStallGoalMilliseconds) ++CpuOver;
  }
  void Print(const char* what) const {
    std::printf(
        "crawl, %s: %ld beats of a %d ms watchdog, longest stall %.1f ms (GUI thread CPU in it %.1f ms), %d over %d "
        "ms; most GUI thread CPU between two beats %.1f ms, %d over %d ms (goal no stall over %d ms: %s; by CPU: %s)\n",
        what, Beats, kWatchdogMilliseconds, Longest, LongestCpu, Over, kStallGoalMilliseconds, MostCpu, CpuOver,
        kStallGoalMilliseconds, kStallGoalMilliseconds, Verdict(Longest <= kStallGoalMilliseconds),
        Verdict(MostCpu <= kStallGoalMilliseconds));
  }
};

// Counts the paint events of the watched widgets.
class TPaintCounter : public QObject {
 public:
  void Watch(QWidget* widget, const char* name) {
    widget->installEventFilter(this);
    watched_.push_back({widget, name, 0});
  }
  void Print(double seconds) const {
    std::printf("crawl: paints in %.1f s:", seconds);
    for (const TWatched& w : watched_) std::printf(" %s %d (%.0f a second)", w.Name, w.Count, w.Count / seconds);
    std::printf("\n");
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      for (TWatched& w : watched_)
        if (w.Widget == watched) ++w.Count;
    return false;
  }

 private:
  struct TWatched {
    QObject* Widget;
    const char* Name;
    int Count;
  };
  std::vector<TWatched> watched_;
};

// A crawl through Run with the report shown, watched every few
// milliseconds; the run's end and the second after it (the task file saved,
// the images list read from the folder again) are shown apart.
void BenchCrawl(vdk::TMainForm& form, const std::string& url) {
  const std::shared_ptr<vdk::TTask> task = SelectNewTask(form, "Crawl", url);
  if (!task) {
    std::printf("crawl: the task could not be made\n");
    return;
  }
  form.TabSetChange(1);
  TPaintCounter paints;
  paints.Watch(&form, "window");
  paints.Watch(form.findChild<QTreeView*>(QStringLiteral("ItemsListView"))->viewport(), "found-files list");
  paints.Watch(form.findChild<QTableView*>(QStringLiteral("ImagesListView"))->viewport(), "downloaded-files list");
  TStalls running, end;
  QElapsedTimer since, afterEnd;
  double sinceCpu = 0;
  QEventLoop loop;
  QTimer watchdog;
  watchdog.setInterval(kWatchdogMilliseconds);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    const double stall = Ms(since) - kWatchdogMilliseconds;
    const double cpu = ThreadCpuMs() - sinceCpu;
    since.restart();
    sinceCpu = ThreadCpuMs();
    if (!task->Stopped()) {
      running.Add(stall, cpu);
      return;
    }
    // The run's end, and what follows it on the GUI thread (the downloaded
    // files listed again, the task file written) for a while.
    if (!afterEnd.isValid()) afterEnd.start();
    end.Add(stall, cpu);
    if (afterEnd.elapsed() >= kAfterEndMilliseconds) loop.quit();
  });
  QTimer::singleShot(kCrawlLimitMilliseconds, &loop, &QEventLoop::quit);
  const TStopwatch crawl;
  form.Execute(QStringLiteral("TasksRunAction"));
  since.start();
  sinceCpu = ThreadCpuMs();
  watchdog.start();
  if (!task->Stopped()) loop.exec();
  watchdog.stop();
  const bool ended = task->Stopped();
  if (!ended) form.Execute(QStringLiteral("TasksStopAction"));
  const double seconds = (crawl.Wall() - (afterEnd.isValid() ? afterEnd.elapsed() : 0)) / 1000;
  std::printf(
      "crawl: %s in %.1f s, CPU of the GUI thread %.1f s (with the second after the end), %d items, %d files "
      "saved\n",
      ended ? "ended" : "stopped at the limit", seconds, crawl.Cpu() / 1000, task->Items.Count(), task->SavedCount());
  paints.Print(seconds);
  running.Print("while running");
  end.Print("the run's end and the second after it");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vdk::SetTrayIconFactory([] { return std::make_unique<TNoTrayIcon>(); });
  QTemporaryDir dir;
  if (!dir.isValid()) {
    std::fprintf(stderr, "gui_bench: no temporary folder\n");
    return 1;
  }
  const std::string home = dir.path().toStdString() + "/";

  vdk::TMainForm form(PreparedStore(home), home);
  form.resize(1280, 800);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) {
    std::fprintf(stderr, "gui_bench: the window was never shown\n");
    return 1;
  }
  const std::shared_ptr<vdk::TTask> task = SelectNewTask(form, "Bench", "http://127.0.0.1:8000/gallery/");
  if (!task) {
    std::fprintf(stderr, "gui_bench: the task could not be made\n");
    return 1;
  }
  AddItems(*task, kRows);
  auto* items = form.findChild<QTreeView*>(QStringLiteral("ItemsListView"));
  auto* log = form.findChild<QListView*>(QStringLiteral("LogView"));

  BenchFill(form, *task, items);
  BenchRemovals(form, *task, items);
  BenchProgress(form, *task, items);
  form.TabSetChange(0);
  BenchLog(form, log, "from empty");
  BenchLog(form, log, "at its cap, dropping as many");
  form.TabSetChange(1);
  Settle(form.findChild<QTreeView*>(QStringLiteral("ReportListView")));
  BenchTicks(form);
  if (argc > 1) BenchCrawl(form, argv[1]);
  vdk::SetTrayIconFactory(nullptr);
  return 0;
}
