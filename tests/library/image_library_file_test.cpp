// The "imglib.db" layout, checked against files assembled byte by byte by
// tests/data/make_library_fixtures.py.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/base/errors.h"
#include "library/image_library.h"
#include "library/library_file.h"
#include "library/library_merge.h"
#include "picture_files.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::Fixture;

TImageDetailPtr Detail(const std::string& name, TDateTime added, std::int32_t size, std::int32_t height,
                       std::int32_t width) {
  auto detail = std::make_shared<TImageDetail>();
  detail->FileName = name;
  detail->AddedTime = added;
  detail->FileSize = size;
  detail->Height = height;
  detail->Width = width;
  return detail;
}

std::string Saved(TImageLibrary& library) {
  std::ostringstream out;
  library.SaveToStream(out);
  return out.str();
}

void Load(TImageLibrary& library, const std::string& bytes) {
  std::istringstream in(bytes);
  library.LoadFromStream(in);
}

TEST(LibraryFile, EmptyLibraryIsTheBareHeaderAndLoadsEmpty) {
  TImageLibrary library;
  const std::string bytes = Saved(library);
  EXPECT_EQ(bytes.size(), 264u);
  EXPECT_EQ(bytes, Fixture("imglib_empty.db"));

  TImageLibrary loaded;
  Load(loaded, bytes);
  EXPECT_EQ(loaded.Count(), 0);
  EXPECT_TRUE(loaded.Header().HasSignature());
}

TEST(LibraryFile, RecordsMatchTheHandAssembledImage) {
  TImageLibrary library;
  library.Add(Detail("/home/ann/Images/Saved/cat.jpg", 45000.5, 256, 480, 640));
  library.Add(Detail("/home/ann/Images/Saved/broken.gif", 45000.75, 0, -1, -1));
  EXPECT_EQ(Saved(library), Fixture("imglib_two_records.db"));
  EXPECT_EQ(library.Header().Count, 2);
}

TEST(LibraryFile, LoadReadsSizeHeightWidthInStoredOrder) {
  TImageLibrary library;
  Load(library, Fixture("imglib_two_records.db"));
  ASSERT_EQ(library.Count(), 2);
  const TImageDetailPtr cat = library.Items(0);
  EXPECT_EQ(cat->FileName, "/home/ann/Images/Saved/cat.jpg");
  EXPECT_EQ(cat->AddedTime, 45000.5);
  EXPECT_EQ(cat->FileSize, 256);
  EXPECT_EQ(cat->Height, 480);
  EXPECT_EQ(cat->Width, 640);
  const TImageDetailPtr broken = library.Items(1);
  EXPECT_EQ(broken->FileName, "/home/ann/Images/Saved/broken.gif");
  EXPECT_EQ(broken->Height, -1);
  EXPECT_EQ(broken->Width, -1);
}

TEST(LibraryFile, ForeignVersionIsKeptAndWrittenBack) {
  const std::string bytes = Fixture("imglib_foreign_version.db");
  TImageLibrary library;
  Load(library, bytes);
  EXPECT_EQ(library.Header().Version, 300);
  EXPECT_EQ(library.Count(), 1);
  EXPECT_EQ(Saved(library), bytes);
}

TEST(LibraryFile, WrongSignatureLoadsNothingAndSavesACorrectHeader) {
  TImageLibrary library;
  library.Add(Detail("/a.png", 1, 128, 2, 3));
  std::istringstream in(Fixture("imglib_wrong_signature.db"));
  EXPECT_FALSE(library.LoadFromStream(in));
  EXPECT_EQ(library.Count(), 1);
  EXPECT_EQ(library.Header().Version, 227);
  EXPECT_TRUE(library.Header().HasSignature());
  EXPECT_EQ(Saved(library).substr(0, 29), std::string("Vendrake Images Library File\0", 29));
}

// Count says two billion; one full record and 40 bytes of the next follow.
TEST(LibraryFile, CountPastTheEndStopsWhereTheDataStops) {
  TImageLibrary library;
  Load(library, Fixture("imglib_count_past_end.db"));
  ASSERT_EQ(library.Count(), 2);
  const TImageDetailPtr partial = library.Items(1);
  EXPECT_EQ(partial->FileName, "/home/ann/Images/Saved/broken.gif");
  EXPECT_EQ(partial->AddedTime, 0.0);
  EXPECT_EQ(partial->FileSize, 0);
  EXPECT_EQ(partial->Height, 0);
  EXPECT_EQ(partial->Width, 0);
  EXPECT_EQ(Saved(library).size(), 264u + 2 * 280u);
}

TEST(LibraryFile, PathOf255BytesRoundTrips) {
  const std::string path = "/" + std::string(254, 'p');
  TImageLibrary library;
  library.Add(Detail(path, 45001.25, 1024, 7, 9));
  const std::string bytes = Saved(library);
  ASSERT_EQ(bytes.size(), 264u + 280u);
  EXPECT_EQ(bytes[264 + 255], '\0');

  TImageLibrary loaded;
  Load(loaded, bytes);
  ASSERT_EQ(loaded.Count(), 1);
  EXPECT_EQ(loaded.Items(0)->FileName, path);
  EXPECT_EQ(loaded.Items(0)->AddedTime, 45001.25);
}

// A longer path cut to 255 bytes would name another file: the record stays
// in memory and is left out of the file, and Count says what was written.
TEST(LibraryFile, PathTooLongForTheFieldIsLeftOutOfTheFile) {
  const std::string tooLong = "/" + std::string(255, 'q');
  TImageLibrary library;
  library.Add(Detail("/first.png", 1, 0, 1, 1));
  library.Add(Detail(tooLong, 2, 0, 1, 1));
  library.Add(Detail("/last.png", 3, 0, 1, 1));
  const std::string bytes = Saved(library);
  EXPECT_EQ(bytes.size(), 264u + 2 * 280u);
  EXPECT_EQ(library.Count(), 3);
  EXPECT_EQ(library.Header().Count, 2);

  TImageLibrary loaded;
  Load(loaded, bytes);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.Items(1)->FileName, "/last.png");

  std::ostringstream out;
  EXPECT_THROW(library.Items(1)->SaveToStream(out), EFormatError);
}

// Merging into the file reports only what reached it.
TEST(LibraryFile, MergeLeavesPathsTooLongForTheFieldOutAndDoesNotCountThem) {
  test::TempDir dir;
  const std::string path = dir / "imglib.db";
  TImageLibrary additions;
  additions.Add(Detail("/" + std::string(255, 'q'), 1, 0, 1, 1));
  EXPECT_EQ(MergeIntoLibraryFile(path, additions), 0);
  EXPECT_FALSE(test::FileExists(path)) << "nothing to write";
  additions.Add(Detail("/short.png", 2, 128, 3, 4));
  EXPECT_EQ(MergeIntoLibraryFile(path, additions), 1);
  TImageLibrary loaded;
  loaded.LoadFromFile(path);
  ASSERT_EQ(loaded.Count(), 1);
  EXPECT_EQ(loaded.Items(0)->FileName, "/short.png");
  EXPECT_EQ(additions.Count(), 2) << "the long path stays in memory";
}

TEST(LibraryFile, SaveToFileReplacesTheFileAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::string path = dir / "imglib.db";
  test::WriteFile(path, "old contents");
  TImageLibrary library;
  library.Add(Detail("/x.jpg", 1, 128, 10, 20));
  library.SaveToFile(path);
  EXPECT_EQ(test::ReadFile(path).size(), 264u + 280u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

  TImageLibrary loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Count(), 1);
  EXPECT_THROW(loaded.LoadFromFile(dir / "missing.db"), EFileError);
}

// The files of a folder whose names start with prefix.
std::vector<std::string> FilesStartingWith(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().starts_with(prefix)) paths.push_back(entry.path());
  return paths;
}

// One changed signature byte must not cost the records at the next save.
TEST(LibraryFileOnDisk, ADamagedFileIsKeptAsideAndTheLibraryStartsAfresh) {
  test::TempDir dir;
  const std::string path = dir / "imglib.db";
  std::string damaged = Fixture("imglib_two_records.db");
  damaged[0] = 'v';
  test::WriteFile(path, damaged);

  TImageLibrary additions;
  additions.Add(Detail("/new.jpg", 1, 128, 10, 20));
  std::string keptAs;
  EXPECT_EQ(MergeIntoLibraryFile(path, additions, &keptAs), 1);
  EXPECT_EQ(FilesStartingWith(dir.Path(), "imglib.db.bad-"), std::vector<std::string>{keptAs});
  EXPECT_EQ(test::ReadFile(keptAs), damaged);
  TImageLibrary saved;
  EXPECT_TRUE(saved.LoadFromFile(path));
  ASSERT_EQ(saved.Count(), 1);
  EXPECT_EQ(saved.Items(0)->FileName, "/new.jpg");

  // A sound file is read, and a missing one is an empty library; neither is kept aside.
  TImageLibrary loaded;
  const TLibraryFileLoad sound = LoadLibraryFile(path, loaded);
  EXPECT_TRUE(sound.Found);
  EXPECT_TRUE(sound.KeptAs.empty());
  EXPECT_EQ(loaded.Count(), 1);
  EXPECT_FALSE(LoadLibraryFile(dir / "missing.db", loaded).Found);

  test::WriteFile(path, "");
  TImageLibrary empty;
  const TLibraryFileLoad cut = LoadLibraryFile(path, empty);
  EXPECT_FALSE(cut.KeptAs.empty());
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_EQ(FilesStartingWith(dir.Path(), "imglib.db.bad-").size(), 2u);
  EXPECT_FALSE(test::FileExists(path));
}

}  // namespace
}  // namespace vdk

namespace vdk {
namespace {

TEST(LibraryFile, SavingAWindowsLibraryKeepsWhatOthersAddedAndDropsWhatItRemoved) {
  test::TempDir dir;
  const std::string path = dir / "imglib.db";
  {
    TImageLibrary start;
    start.Add(Detail("/p/a.jpg", 1, 128, 10, 10));
    start.Add(Detail("/p/b.jpg", 1, 128, 10, 10));
    start.SaveToFile(path);
  }
  TImageLibrary window;
  window.LoadFromFile(path);
  std::unordered_set<std::string> loaded;
  for (int i = 0; i < window.Count(); ++i) loaded.insert(window.Items(i)->FileName);
  window.Remove(window.FindByName("/p/a.jpg"));
  window.Add(Detail("/p/mine.jpg", 2, 256, 20, 20));
  {
    // Another program catalogues a file meanwhile.
    TImageLibrary other;
    other.Add(Detail("/p/theirs.jpg", 3, 384, 30, 30));
    ASSERT_EQ(MergeIntoLibraryFile(path, other), 1);
  }
  SaveLibraryFile(path, window, loaded);
  TImageLibrary saved;
  saved.LoadFromFile(path);
  EXPECT_EQ(saved.Count(), 3);
  EXPECT_EQ(saved.FindByName("/p/a.jpg"), nullptr) << "removed by the window";
  EXPECT_NE(saved.FindByName("/p/b.jpg"), nullptr);
  EXPECT_NE(saved.FindByName("/p/mine.jpg"), nullptr);
  EXPECT_NE(saved.FindByName("/p/theirs.jpg"), nullptr) << "added by the other program";
}

}  // namespace
}  // namespace vdk
