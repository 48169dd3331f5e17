// Work-list costs at crawl scale: a million distinct ranked adds, a million
// duplicate adds, URL look-ups that hit and miss, and the memory each item
// takes beyond its URL text.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>
#include <vector>

#include "core/model/task.h"

namespace {

constexpr int kItems = 1000000;

// Gallery-like URLs over the three rank classes.
std::vector<std::string> MakeUrls(int n, const char* salt) {
  static const char* hosts[] = {"www.site.com", "img.site.com", "cdn.other.net"};
  std::vector<std::string> urls;
  urls.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    urls.push_back(std::string("http://") + hosts[i % 3] + "/gallery/" + salt + std::to_string(i % 977) + "/photo-" +
                   std::to_string(i) + (i % 4 ? ".jpg" : ".html"));
  }
  return urls;
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

std::vector<vdk::TaskItemPtr> MakeItems(vdk::TTask& task, const std::vector<std::string>& urls) {
  std::vector<vdk::TaskItemPtr> items;
  items.reserve(urls.size());
  for (const auto& url : urls) items.push_back(std::make_shared<vdk::TTaskItem>(&task, url));
  return items;
}

void BM_AddDistinct(benchmark::State& state) {
  const auto urls = MakeUrls(kItems, "a");
  for (auto _ : state) {
    state.PauseTiming();
    auto task = std::make_unique<vdk::TTask>();
    task->URL.SetURI("http://www.site.com/");
    const auto items = MakeItems(*task, urls);
    state.ResumeTiming();
    for (const auto& item : items) benchmark::DoNotOptimize(task->Items.Add(item));
    state.PauseTiming();
    task.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_AddDistinct)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AddDuplicate(benchmark::State& state) {
  const auto urls = MakeUrls(kItems, "a");
  vdk::TTask task;
  task.URL.SetURI("http://www.site.com/");
  for (const auto& item : MakeItems(task, urls)) task.Items.Add(item);
  const auto duplicates = MakeItems(task, urls);
  for (auto _ : state) {
    for (const auto& item : duplicates) benchmark::DoNotOptimize(task.Items.Add(item));
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_AddDuplicate)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IndexOfURL(benchmark::State& state) {
  const bool hits = state.range(0) != 0;
  const auto urls = MakeUrls(kItems, "a");
  const auto probes = hits ? urls : MakeUrls(kItems, "b");
  vdk::TTask task;
  task.URL.SetURI("http://www.site.com/");
  for (const auto& item : MakeItems(task, urls)) task.Items.Add(item);
  for (auto _ : state) {
    for (const auto& url : probes) benchmark::DoNotOptimize(task.Items.IndexOfURL(url));
  }
  state.SetItemsProcessed(state.iterations() * kItems);
  state.SetLabel(hits ? "hits" : "misses");
}
BENCHMARK(BM_IndexOfURL)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

// Heap bytes per listed item beyond the URL text (string capacity counted as
// text), measured with the allocator's own statistics.
void BM_MemoryPerItem(benchmark::State& state) {
  const auto urls = MakeUrls(kItems, "a");
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    std::size_t text = 0;
    {
      vdk::TTask task;
      task.URL.SetURI("http://www.site.com/");
      for (const auto& url : urls) {
        auto item = std::make_shared<vdk::TTaskItem>(&task, url);
        text += item->URL().Text().capacity() + 1;
        task.Items.Add(item);
      }
      const std::size_t after = HeapInUse();
      state.counters["bytes_per_item"] = static_cast<double>(after - before - text) / kItems;
      state.counters["text_per_item"] = static_cast<double>(text) / kItems;
    }
  }
}
BENCHMARK(BM_MemoryPerItem)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
