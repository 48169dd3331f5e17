// The library window and the collect tool at scale: a library of 100,000
// records (half of them naming files that exist) and a "Saved" folder of
// 10,000 files, made once into the folder given.
//
//   library_window_bench [FOLDER]     (default: build/library-bench-data)
//
// Prints the time to the first rows and to the whole list, Verify's check
// of every record (run twice: the second on a warm cache) and the collect
// tool's listing of the folder.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <fstream>

#include "library/collect_list.h"
#include "library/image_library.h"
#include "library/library_verify.h"
#include "ui/library/image_library_form.h"
#include "ui/library/image_library_model.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kSavedFiles = 10000;

std::string Prepare(const QString& root, vdk::TImageLibrary& library) {
  const std::string saved = QDir(root).filePath("Saved").toStdString() + "/";
  QDir().mkpath(QString::fromStdString(saved));
  for (int i = 0; i < kSavedFiles; ++i) {
    const std::string path = saved + "picture" + std::to_string(i) + ".jpg";
    if (!QFile::exists(QString::fromStdString(path)))
      std::ofstream(path) << std::string(std::size_t(i % 50) * 100, 'x');
  }
  for (int i = 0; i < kRecords; ++i) {
    auto record = std::make_shared<vdk::TImageDetail>();
    // Every other record names a file of the folder; the rest are gone.
    record->FileName = i % 2 == 0 ? saved + "picture" + std::to_string(i / 2 % kSavedFiles) + ".jpg"
                                  : saved + "gone/picture" + std::to_string(i) + ".jpg";
    record->Width = 640;
    record->Height = 480;
    record->FileSize = 4096;
    library.Add(record);
  }
  return saved;
}

double Ms(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/library-bench-data");
  vdk::TImageLibrary library;
  const std::string saved = Prepare(root, library);

  QElapsedTimer timer;
  timer.start();
  vdk::TImageLibraryForm form(library);
  QSignalSpy listed(&form, &vdk::TImageLibraryForm::ListingEnded);
  form.show();
  if (!QTest::qWaitFor([&] { return form.Model()->rowCount() > 0; }, 10000)) std::printf("no row in 10 s\n");
  std::printf("library window: first %d rows shown in %.0f ms\n", form.Model()->rowCount(), Ms(timer));
  if (!listed.wait(60000)) std::printf("not listed in a minute\n");
  std::printf("library window: all %d rows listed in %.0f ms\n", form.Model()->rowCount(), Ms(timer));

  for (const char* pass : {"cold", "warm"}) {
    timer.restart();
    const std::vector<int> invalid = vdk::FindInvalidRecords(form.Model()->Records());
    std::printf("verify (%s): %zu of %d records gone, found in %.0f ms\n", pass, invalid.size(), kRecords, Ms(timer));
  }
  std::vector<vdk::TImageDetailPtr> gone;
  for (const int position : vdk::FindInvalidRecords(form.Model()->Records()))
    gone.push_back(form.Model()->Records()[std::size_t(position)]);
  timer.restart();
  library.RemoveRecords(gone);
  form.Model()->RemoveRecords(gone);
  std::printf("verify: %zu records removed from the library and the list in %.0f ms\n", gone.size(), Ms(timer));

  timer.restart();
  const auto rows = vdk::ListCollectRows(saved, library);
  std::printf("collect: %zu files listed with their dimensions in %.0f ms\n", rows.size(), Ms(timer));
  return 0;
}
