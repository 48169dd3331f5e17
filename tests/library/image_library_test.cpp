#include <gtest/gtest.h>

#include <stdexcept>

#include "library/image_library.h"

namespace vdk {
namespace {

TImageDetailPtr Named(const std::string& name, std::int32_t width = 1) {
  auto detail = std::make_shared<TImageDetail>();
  detail->FileName = name;
  detail->Width = width;
  return detail;
}

TEST(LibraryList, FindByNameIsExactAndFindsTheFirstOfDuplicates) {
  TImageLibrary library;
  const auto first = Named("/p/a.jpg", 1);
  library.Add(Named("/p/b.jpg"));
  library.Add(first);
  library.Add(Named("/p/a.jpg", 2));
  EXPECT_EQ(library.FindByName("/p/a.jpg"), first);
  EXPECT_EQ(library.FindByName("/p/A.jpg"), nullptr);
  EXPECT_EQ(library.FindByName("/p/a.jpg "), nullptr);
  EXPECT_EQ(library.FindByName(""), nullptr);
}

TEST(LibraryList, RemovedRecordStaysValidAndTheNextDuplicateIsFound) {
  TImageLibrary library;
  const auto first = Named("/p/a.jpg", 1);
  const auto second = Named("/p/a.jpg", 2);
  library.Add(first);
  library.Add(Named("/p/b.jpg"));
  library.Add(second);
  EXPECT_EQ(library.Remove(first), 0);
  EXPECT_EQ(first->FileName, "/p/a.jpg");
  EXPECT_EQ(library.FindByName("/p/a.jpg"), second);
  EXPECT_EQ(library.Remove(first), -1);
  EXPECT_EQ(library.Remove(second), 1);
  EXPECT_EQ(library.FindByName("/p/a.jpg"), nullptr);
  EXPECT_EQ(library.Count(), 1);
}

TEST(LibraryList, AddIfAbsentRefusesACataloguedPath) {
  TImageLibrary library;
  EXPECT_TRUE(library.AddIfAbsent(Named("/p/a.jpg")));
  EXPECT_FALSE(library.AddIfAbsent(Named("/p/a.jpg")));
  EXPECT_TRUE(library.AddIfAbsent(Named("/p/A.jpg")));
  EXPECT_EQ(library.Count(), 2);
}

TEST(LibraryList, ItemsOutsideTheListRaiseAndClearEmptiesTheIndex) {
  TImageLibrary library;
  library.Add(Named("/p/a.jpg"));
  EXPECT_THROW(library.Items(1), std::out_of_range);
  EXPECT_THROW(library.Items(-1), std::out_of_range);
  library.Clear();
  EXPECT_EQ(library.Count(), 0);
  EXPECT_EQ(library.FindByName("/p/a.jpg"), nullptr);
  EXPECT_THROW(library.Items(0), std::out_of_range);
}

TEST(LibraryList, RemoveRecordsTakesThoseRecordsOutInOnePass) {
  TImageLibrary library;
  const auto a = Named("/p/a.jpg", 1), b = Named("/p/b.jpg"), a2 = Named("/p/a.jpg", 2), c = Named("/p/c.jpg");
  for (const auto& record : {a, b, a2, c}) library.Add(record);
  EXPECT_EQ(library.RemoveRecords({a, c, Named("/p/c.jpg"), c}), 2);
  ASSERT_EQ(library.Count(), 2);
  EXPECT_EQ(library.Items(0), b);
  EXPECT_EQ(library.Items(1), a2);
  EXPECT_EQ(library.FindByName("/p/a.jpg"), a2) << "the next duplicate is found";
  EXPECT_EQ(library.FindByName("/p/c.jpg"), nullptr);
  EXPECT_EQ(library.RemoveRecords({}), 0);
}

}  // namespace
}  // namespace vdk
