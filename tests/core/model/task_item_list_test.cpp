#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "core/base/errors.h"
#include "core/model/task.h"

namespace vdk {
namespace {

TaskItemPtr MakeItem(TTask& task, const std::string& url) { return std::make_shared<TTaskItem>(&task, url); }

std::vector<std::string> Urls(const TTaskItemList& list) {
  std::vector<std::string> out;
  list.ForEach([&](const TaskItemPtr& item) { out.push_back(item->URL().URI()); });
  return out;
}

TEST(TaskItemRank, ClassByHostThenUrlLength) {
  TTask task;
  task.URL.SetURI("http://s.d.t/");
  const std::string same = "http://S.D.T/x.html";
  const std::string sibling = "http://x.d.t/x.html";
  const std::string parent = "http://d.t/x.html";  // its parent domain is t, not d.t
  EXPECT_EQ(MakeItem(task, same)->Rank(), 9000 + static_cast<int>(same.size()));
  EXPECT_EQ(MakeItem(task, sibling)->Rank(), 6000 + static_cast<int>(sibling.size()));
  EXPECT_EQ(MakeItem(task, parent)->Rank(), 3000 + static_cast<int>(parent.size()));
  // The length is that of the full text, which gains the "/" of an empty path.
  EXPECT_EQ(MakeItem(task, "http://s.d.t")->Rank(), 9000 + 13);
}

TEST(TaskItemList, AddRanksRefusesDuplicatesAndKeepsInsertionOrderOfEqualRanks) {
  TTask task;
  task.URL.SetURI("http://h.site.com/");
  TTaskItemList& list = task.Items;
  EXPECT_EQ(list.Add(MakeItem(task, "http://h.site.com/")), 0);
  EXPECT_EQ(list.Add(MakeItem(task, "http://other.org/a.gif")), 1);
  EXPECT_EQ(list.Add(MakeItem(task, "http://h.site.com/aa.htm")), 0);  // longer, same host: first
  EXPECT_EQ(list.Add(MakeItem(task, "http://h.site.com/bb.htm")), 1);  // equal rank: after aa
  EXPECT_EQ(list.Add(MakeItem(task, "http://img.site.com/b.gif")), 3);

  auto duplicate = MakeItem(task, "http://h.site.com/bb.htm");
  const int index = list.Add(duplicate);
  EXPECT_EQ(index, 1);
  EXPECT_NE(list.Items(index), duplicate);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(Urls(list),
            (std::vector<std::string>{"http://h.site.com/aa.htm", "http://h.site.com/bb.htm", "http://h.site.com/",
                                      "http://img.site.com/b.gif", "http://other.org/a.gif"}));
}

TEST(TaskItemList, IndexOfUrlIsExactAndFindsTheLastOfAppendedDuplicates) {
  TTask task;
  task.URL.SetURI("http://h/");
  TTaskItemList& list = task.Items;
  list.Append(MakeItem(task, "http://h/a"));
  list.Append(MakeItem(task, "http://h/b"));
  list.Append(MakeItem(task, "http://h/a"));
  EXPECT_EQ(list.IndexOfURL("http://h/a"), 2);
  EXPECT_EQ(list.IndexOfURL("http://h/b"), 1);
  EXPECT_EQ(list.IndexOfURL("http://H/b"), -1);
  EXPECT_EQ(list.IndexOfURL("http://h/c"), -1);
  EXPECT_THROW(list.Add(MakeItem(task, "no-scheme/x")), EURIError);
  EXPECT_THROW(list.Items(3), std::out_of_range);
}

// The list against a plain vector doing the same operations the slow way.
TEST(TaskItemList, MatchesAPlainListOverRandomOperations) {
  TTask task;
  task.URL.SetURI("http://a.s.t/");
  TTaskItemList& list = task.Items;
  std::vector<TaskItemPtr> model;
  std::mt19937 rng(7);
  const char* hosts[] = {"a.s.t", "b.s.t", "c.x"};

  const auto modelIndexOf = [&](const std::string& url) {
    for (int i = static_cast<int>(model.size()) - 1; i >= 0; --i)
      if (model[static_cast<std::size_t>(i)]->URL().URI() == url) return i;
    return -1;
  };
  for (int step = 0; step < 4000; ++step) {
    const int op = static_cast<int>(rng() % 10);
    const std::string url =
        std::string("http://") + hosts[rng() % 3] + "/" + std::string(rng() % 6, 'p') + std::to_string(rng() % 300);
    if (op < 6) {
      auto item = MakeItem(task, url);
      int expected = modelIndexOf(url);
      if (expected < 0) {
        const auto at =
            std::find_if(model.begin(), model.end(), [&](const auto& m) { return m->Rank() < item->Rank(); });
        expected = static_cast<int>(at - model.begin());
        model.insert(at, item);
      }
      ASSERT_EQ(list.Add(item), expected);
    } else if (op == 6) {
      // Appends may put a lower rank before a higher one; Add must still find
      // the first lower rank, not assume a sorted list.
      auto item = MakeItem(task, url);
      model.push_back(item);
      ASSERT_EQ(list.Append(item), static_cast<int>(model.size()) - 1);
    } else if (op == 7 && !model.empty()) {
      auto& item = model[rng() % model.size()];
      if (rng() % 2)
        item->SetDone(!item->Done());
      else
        item->SetRunningFlag(!item->Running());
    } else {
      ASSERT_EQ(list.IndexOfURL(url), modelIndexOf(url));
    }
  }
  ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
  for (std::size_t i = 0; i < model.size(); ++i) ASSERT_EQ(list.Items(static_cast<int>(i)), model[i]);

  std::vector<TaskItemPtr> waiting;
  std::copy_if(model.begin(), model.end(), std::back_inserter(waiting), [](const auto& m) { return m->Waiting(); });
  waiting.resize(std::min<std::size_t>(waiting.size(), 25));
  EXPECT_EQ(list.FirstWaiting(25), waiting);
  EXPECT_EQ(list.RunningCount(),
            static_cast<int>(std::count_if(model.begin(), model.end(), [](const auto& m) { return m->Running(); })));
}

TEST(TaskItemList, WaitingAndRunningFollowItemState) {
  TTask task;
  task.URL.SetURI("http://h/");
  for (int i = 0; i < 20; ++i) task.Items.Add(MakeItem(task, "http://h/" + std::to_string(i)));
  const auto first8 = task.Items.FirstWaiting(8);
  ASSERT_EQ(first8.size(), 8u);
  for (const auto& item : first8) item->SetRunningFlag(true);
  EXPECT_EQ(task.Items.RunningCount(), 8);
  EXPECT_EQ(task.Items.WaitingCount(), 12);
  EXPECT_EQ(task.Items.FirstWaiting(1).front(), task.Items.Items(8));

  first8[0]->SetRunningFlag(false);
  first8[0]->SetDone(true);
  EXPECT_EQ(task.Items.RunningCount(), 7);
  EXPECT_EQ(task.Items.WaitingCount(), 12);

  task.Items.Clear();
  EXPECT_EQ(task.Items.Count(), 0);
  EXPECT_EQ(task.Items.RunningCount(), 0);
  first8[1]->SetDone(true);  // an item no longer in a list changes only itself
  EXPECT_EQ(task.Items.WaitingCount(), 0);
}

TEST(TaskItemList, ConcurrentAddsKeepEveryDistinctUrlOnce) {
  TTask task;
  task.URL.SetURI("http://h/");
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&task, t] {
      for (int i = 0; i < 500; ++i) {
        // Half of the URLs are shared by all threads.
        const std::string url = "http://h/" + (i % 2 ? std::to_string(i) : std::to_string(t) + "-" + std::to_string(i));
        task.Items.Add(MakeItem(task, url));
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(task.Items.Count(), 250 + 8 * 250);
  int previousRank = 1 << 30;
  task.Items.ForEach([&](const TaskItemPtr& item) {
    EXPECT_LE(item->Rank(), previousRank);
    previousRank = item->Rank();
  });
}

}  // namespace
}  // namespace vdk
