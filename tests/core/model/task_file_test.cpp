#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/base/fd_stream.h"
#include "core/model/task.h"
#include "support/temp_dir.h"

namespace vdk {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Byte image helpers written against the documented offsets, independent of
// the writer under test.
void Place(std::string& image, std::size_t offset, std::string_view bytes) {
  std::memcpy(image.data() + offset, bytes.data(), bytes.size());
}
void PlaceInt(std::string& image, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
void PlaceDouble(std::string& image, std::size_t offset, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  for (int i = 0; i < 8; ++i) image[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void LoadBytes(TTask& task, const std::string& bytes) {
  std::istringstream in(bytes);
  task.LoadFromStream(in);
}

std::string SaveBytes(const TTask& task) {
  std::ostringstream out;
  task.SaveToStream(out);
  return out.str();
}

std::string HeaderAndOptions() {
  TTask task;
  task.URL.SetURI("http://h/");
  return SaveBytes(task);
}

// The counters change only through the task itself: a task read from a file
// that counts this many saved files.
void ReadWithSavedCount(TTask& task, std::uint32_t saved) {
  std::string bytes = HeaderAndOptions();
  PlaceInt(bytes, 5136, saved);
  LoadBytes(task, bytes);
}

TEST(TaskFile, MatchesAHandAssembledImage) {
  TTask task;
  ReadWithSavedCount(task, 42);
  task.Name = "Gallery";
  task.Note = "a note";
  task.URL.SetURI("http://www.site.com/gallery/");
  task.TaskID = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
  task.Options.DefaultFolder = "/data/Gallery/";
  task.Options.FileMasks = {"gif, Saved", "jpg, Pics"};
  task.Options.ExcludeFiles = {"logo.gif"};
  task.Options.Scheme = {3, 2, 46000.0, 0.5};
  task.Options.NeedToLogin = true;
  task.Options.UserName = "me";
  task.Options.Password = "pw";
  task.Options.TimeOut = 7;
  task.Items.Append(std::make_shared<TTaskItem>(&task, "http://www.site.com/gallery/"));
  task.Items.Items(0)->Depth = 0;
  task.Items.Items(0)->SetDone(true);
  auto second = std::make_shared<TTaskItem>(&task, "http://www.site.com/a,b.jpg");
  second->Depth = 1;
  task.Items.Append(second);

  std::string image(536660, '\0');
  Place(image, 0, "Qorv");
  Place(image, 5, "VD");
  Place(image, 11, "Gallery");
  Place(image, 1035, "a note");
  Place(image, 2059, "http://www.site.com/gallery/");
  Place(image, 3083, "{01234567-89AB-CDEF-0123-456789ABCDEF}");
  PlaceInt(image, 5132, 1);  // not running
  PlaceInt(image, 5136, 42);
  const std::size_t o = 5140;
  Place(image, o + 0, "/data/Gallery/");
  image[o + 1024] = 1;  // EnableFileLimit
  PlaceInt(image, o + 1028, 10240);
  PlaceInt(image, o + 1032, 10);
  PlaceInt(image, o + 1040, 5);
  Place(image, o + 1047, "192.168.0.1");
  PlaceInt(image, o + 2072, 80);
  Place(image, o + 4124, "/tmp/");  // DefaultLogFolder of a fresh TRegOptions
  image[o + 5148] = 1;  // AutoSaveLog
  Place(image, o + 5149, "gif, Saved");
  Place(image, o + 5149 + 1024, "jpg, Pics");
  Place(image, o + 5149 + 2048, "(end)");
  Place(image, o + 267293, "logo.gif");
  Place(image, o + 267293 + 1024, "(end)");
  image[o + 529437] = 2;
  PlaceInt(image, o + 529440, 3);
  PlaceDouble(image, o + 529448, 46000.0);
  PlaceDouble(image, o + 529456, 0.5);
  image[o + 529464] = 1;
  Place(image, o + 529465, "me");
  Place(image, o + 530489, "pw");
  PlaceInt(image, o + 531516, 7);
  image += "1,0,http://www.site.com/gallery/\r\n0,1,http://www.site.com/a,b.jpg\r\n";

  const std::string written = SaveBytes(task);
  ASSERT_EQ(written.size(), image.size());
  for (std::size_t i = 0; i < image.size(); ++i) ASSERT_EQ(written[i], image[i]) << "first difference at offset " << i;

  TTask back;
  LoadBytes(back, image);
  EXPECT_EQ(back.Name, "Gallery");
  EXPECT_EQ(back.URL.URI(), "http://www.site.com/gallery/");
  EXPECT_EQ(back.SavedCount(), 42);
  EXPECT_EQ(back.Options.Scheme, task.Options.Scheme);
  EXPECT_EQ(back.Options.FileMasks, task.Options.FileMasks);
  ASSERT_EQ(back.Items.Count(), 2);
  EXPECT_EQ(back.Items.Items(1)->URL().URI(), "http://www.site.com/a,b.jpg");
  EXPECT_EQ(back.FinishedCount(), 1);
}

// Written as the task's state (see the run control's tests for a running
// task), but a task read is always stopped: no worker exists for it.
TEST(TaskFile, ATaskReadIsAlwaysStopped) {
  std::string bytes = HeaderAndOptions();
  EXPECT_EQ(bytes[5132], 1);
  PlaceInt(bytes, 5132, 0);  // saved while running
  TTask loaded;
  LoadBytes(loaded, bytes);
  EXPECT_TRUE(loaded.Stopped());
  EXPECT_EQ(SaveBytes(loaded)[5132], 1);
}

TEST(TaskFile, ItemLinesParseDoneDepthAndTheRestAsUrl) {
  TTask task;
  LoadBytes(task, HeaderAndOptions() +
                      "1,3,http://h/a,b.gif\r\n"
                      "x,y,http://h/notnumbers\r\n"
                      "0,2,http://h/waiting\r\n"
                      "+0,-1,http://h/signed");  // last line without CR LF
  ASSERT_EQ(task.Items.Count(), 4);
  const auto first = task.Items.Items(0);
  EXPECT_TRUE(first->Done());
  EXPECT_EQ(first->Depth, 3);
  EXPECT_EQ(first->URL().URI(), "http://h/a,b.gif");
  EXPECT_TRUE(task.Items.Items(1)->Done());
  EXPECT_EQ(task.Items.Items(1)->Depth, -1);
  EXPECT_FALSE(task.Items.Items(2)->Done());
  EXPECT_FALSE(task.Items.Items(3)->Done());
  EXPECT_EQ(task.FinishedCount(), 2);
}

TEST(TaskFile, LinesWithoutAUsableUrlAreSkipped) {
  TTask task;
  std::string items = "0,0,http://h/good1\r\n";
  items += "1,0,\r\n";                        // empty URL
  items += "1\r\n";                           // no commas at all
  items += "0,1,www.noscheme.com/x.gif\r\n";  // no protocol
  items += "0,1,http:///nohost\r\n";
  items += std::string("0,1,http://h/nul\0byte\r\n", 24);
  items += "\n\n\r\r";
  items += "0,1,http://h/good2\n";  // lone LF ends a line as well
  LoadBytes(task, HeaderAndOptions() + items);
  ASSERT_EQ(task.Items.Count(), 2);
  EXPECT_EQ(task.Items.Items(1)->URL().URI(), "http://h/good2");
  EXPECT_EQ(task.FinishedCount(), 0);
  // Adding works on after the skipped lines.
  EXPECT_EQ(task.Items.Add(std::make_shared<TTaskItem>(&task, "http://h/new")), 2);
}

TEST(TaskFile, DamagedFilesAreRefusedOrReadWithoutCrashing) {
  const std::string valid = HeaderAndOptions();
  TTask task;
  EXPECT_THROW(LoadBytes(task, valid.substr(0, 100)), EFormatError);
  EXPECT_THROW(LoadBytes(task, valid.substr(0, 6000)), EFormatError);
  EXPECT_THROW(LoadBytes(task, ""), EFormatError);

  // A file of zeros: empty texts, lists of empty entries, no items.
  LoadBytes(task, std::string(600000, '\0'));
  EXPECT_EQ(task.Name, "");
  EXPECT_EQ(task.Items.Count(), 0);

  // An item line of several megabytes and bytes above 127 in the header.
  std::string odd = valid;
  odd[11] = static_cast<char>(0xE9);
  odd += "0,1,http://h/" + std::string(3 << 20, 'a') + "\r\n0,1,http://h/after\r\n";
  LoadBytes(task, odd);
  EXPECT_EQ(task.Name, "\xE9noname>");
  ASSERT_EQ(task.Items.Count(), 2);
  EXPECT_EQ(task.Items.Items(0)->URL().URI().size(), 9u + (3 << 20));
  EXPECT_EQ(task.Items.Items(1)->URL().URI(), "http://h/after");
}

TEST(TaskFile, SaveToFileReplacesAtomicallyWithOwnerOnlyPermissions) {
  TempDir dir;
  const std::string path = dir / "t.wrp";
  TTask task;
  task.URL.SetURI("http://h/");
  task.Options.Password = "secret";
  task.SaveToFile(path);
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  TTask loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.FileName, path);
  EXPECT_EQ(loaded.Options.Password, "secret");
  EXPECT_THROW(loaded.LoadFromFile(dir / "missing.wrp"), EFileError);
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  const std::string path = dir / "data.bin";
  WriteFile(path, "old contents");
  EXPECT_THROW(WriteFileAtomically(path, 0644,
                                   [](std::ostream& out) {
                                     out << "half of the new";
                                     throw EFormatError("writer failed");
                                   }),
               EFormatError);
  EXPECT_EQ(ReadFile(path), "old contents");

  ::chmod(dir.Path().c_str(), 0500);
  if (::access(dir.Path().c_str(), W_OK) != 0) {  // root ignores the mode
    EXPECT_THROW(WriteFileAtomically(path, 0644, [](std::ostream& out) { out << "new"; }), EFileError);
    EXPECT_EQ(ReadFile(path), "old contents");
  }
  ::chmod(dir.Path().c_str(), 0700);

  WriteFileAtomically(path, 0644, [](std::ostream& out) { out << "new"; });
  EXPECT_EQ(ReadFile(path), "new");
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) entries += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, WriteErrorsAreReportedAndLoseNothing) {
  // /dev/full fails every write with ENOSPC, as a full disk does.
  const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  {
    FdStreamBuf buffer(fd, 16);
    std::ostream out(&buffer);
    out << std::string(100, 'x');
    out.flush();
    EXPECT_EQ(buffer.Error(), ENOSPC);
    EXPECT_FALSE(out);
  }
  ::close(fd);

  TempDir dir;
  const std::string path = dir / "x";
  WriteFile(path, "kept");
  EXPECT_THROW(WriteFileAtomically(path, 0644,
                                   [](std::ostream& out) {
                                     out << "abc";
                                     out.setstate(std::ios::badbit);
                                   }),
               EFileError);
  EXPECT_EQ(ReadFile(path), "kept");
}

}  // namespace
}  // namespace vdk
