#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/errors.h"
#include "core/base/ole_date.h"
#include "library/add_image.h"
#include "library/image_library.h"
#include "picture_files.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

class LibraryAddImage : public ::testing::Test {
 protected:
  test::TempDir dir_;
  TImageLibrary library_;
};

TEST_F(LibraryAddImage, MeasuresWholeBlocksAndDecodesThePicture) {
  const std::string png = dir_ / "photo.png";
  test::WriteFile(png, test::EncodePicture("png", 20, 10));
  const std::string small = dir_ / "small.dat";
  test::WriteFile(small, std::string(127, 'x'));
  const std::string medium = dir_ / "medium.dat";
  test::WriteFile(medium, std::string(300, 'x'));

  const TDateTime before = Now();
  AddImageToLibrary(library_, png);
  AddImageToLibrary(library_, small);
  AddImageToLibrary(library_, medium);
  const TDateTime after = Now();

  ASSERT_EQ(library_.Count(), 3);
  const TImageDetailPtr photo = library_.FindByName(png);
  ASSERT_NE(photo, nullptr);
  EXPECT_EQ(photo->Width, 20);
  EXPECT_EQ(photo->Height, 10);
  EXPECT_EQ(photo->FileSize % 128, 0);
  EXPECT_GE(photo->AddedTime, before);
  EXPECT_LE(photo->AddedTime, after);
  // Not pictures: catalogued all the same, as -1 x -1.
  EXPECT_EQ(library_.FindByName(small)->FileSize, 0);
  EXPECT_EQ(library_.FindByName(small)->Width, -1);
  EXPECT_EQ(library_.FindByName(small)->Height, -1);
  EXPECT_EQ(library_.FindByName(medium)->FileSize, 256);
}

TEST_F(LibraryAddImage, CataloguedPathLeavesTheLibraryUnchanged) {
  const std::string path = dir_ / "a.png";
  test::WriteFile(path, test::EncodePicture("png", 4, 4));
  AddImageToLibrary(library_, path);
  const TImageDetailPtr first = library_.Items(0);
  test::WriteFile(path, test::EncodePicture("png", 8, 8));
  AddImageToLibrary(library_, path);
  EXPECT_EQ(library_.Count(), 1);
  EXPECT_EQ(library_.Items(0), first);
  EXPECT_EQ(first->Width, 4);
}

TEST_F(LibraryAddImage, PathThatIsNotARegularFileRaisesAndAddsNothing) {
  EXPECT_THROW(AddImageToLibrary(library_, dir_ / "missing.png"), EFileError);
  EXPECT_THROW(AddImageToLibrary(library_, dir_.Path()), EFileError);
  const std::string fifo = dir_ / "pipe.png";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THROW(AddImageToLibrary(library_, fifo), EFileError);
  EXPECT_EQ(library_.Count(), 0);
}

TEST_F(LibraryAddImage, StopRequestedAddsNothing) {
  const std::string path = dir_ / "a.png";
  test::WriteFile(path, test::EncodePicture("png", 4, 4));
  std::stop_source stop;
  stop.request_stop();
  AddImageToLibrary(library_, path, stop.get_token());
  EXPECT_EQ(library_.Count(), 0);
}

TEST(LibraryFileSize, WholeBlocksClampedBelowTwoGiB) {
  EXPECT_EQ(StoredFileSize(0), 0);
  EXPECT_EQ(StoredFileSize(127), 0);
  EXPECT_EQ(StoredFileSize(128), 128);
  EXPECT_EQ(StoredFileSize(300), 256);
  EXPECT_EQ(StoredFileSize(2147483647), 2147483520);
  EXPECT_EQ(StoredFileSize(2147483648ULL), 2147483520);
  EXPECT_EQ(StoredFileSize(5ULL << 30), 2147483520);
}

// A sparse file: three GiB long without using the disk.
TEST_F(LibraryAddImage, FileOfThreeGiBIsClamped) {
  const std::string path = dir_ / "huge.jpg";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 3LL << 30), 0);
  ::close(fd);
  AddImageToLibrary(library_, path);
  ASSERT_EQ(library_.Count(), 1);
  EXPECT_EQ(library_.Items(0)->FileSize, 2147483520);
  EXPECT_EQ(library_.Items(0)->Width, -1);
}

}  // namespace
}  // namespace vdk
