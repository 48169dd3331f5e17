// The image library at the size of a long-running collection: loading and
// saving 100,000 records, FindByName, and measuring one downloaded picture.
//
//   build/bench/library_bench [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include <QImage>
#include <QImageWriter>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "library/image_library.h"
#include "library/picture_size.h"

namespace {

constexpr int kRecords = 100000;

std::string PathOf(int i) {
  return "/home/ann/.local/share/vendrake/Images/Downloaded Files/site" + std::to_string(i % 97) + "/Saved/picture_" +
         std::to_string(i) + ".jpg";
}

// A scratch folder for the run, removed at exit.
class Scratch {
 public:
  Scratch() {
    std::string templ = (std::filesystem::temp_directory_path() / "vendrake-bench-XXXXXX").string();
    folder_ = ::mkdtemp(templ.data());
  }
  ~Scratch() { std::filesystem::remove_all(folder_); }
  std::string operator/(const std::string& name) const { return (folder_ / name).string(); }

 private:
  std::filesystem::path folder_;
};

Scratch& Folder() {
  static Scratch scratch;
  return scratch;
}

std::unique_ptr<vdk::TImageLibrary> FullLibrary() {
  auto library = std::make_unique<vdk::TImageLibrary>();
  for (int i = 0; i < kRecords; ++i) {
    auto detail = std::make_shared<vdk::TImageDetail>();
    detail->FileName = PathOf(i);
    detail->AddedTime = 45000.0 + i / 1000.0;
    detail->FileSize = 128 * (i % 5000);
    detail->Width = 640;
    detail->Height = 480;
    library->Add(std::move(detail));
  }
  return library;
}

const std::string& LibraryFile() {
  static const std::string path = [] {
    const std::string file = Folder() / "imglib.db";
    FullLibrary()->SaveToFile(file);
    return file;
  }();
  return path;
}

void BM_LoadFromFile(benchmark::State& state) {
  const std::string& path = LibraryFile();
  for (auto _ : state) {
    vdk::TImageLibrary library;
    library.LoadFromFile(path);
    benchmark::DoNotOptimize(library.Count());
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

void BM_SaveToFile(benchmark::State& state) {
  const auto library = FullLibrary();
  const std::string path = Folder() / "saved.db";
  for (auto _ : state) library->SaveToFile(path);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

void BM_FindByName(benchmark::State& state) {
  const auto library = FullLibrary();
  const bool hit = state.range(0) == 1;
  std::vector<std::string> paths;
  for (int i = 0; i < 4096; ++i) paths.push_back(hit ? PathOf(i * 24 % kRecords) : PathOf(i) + ".missing");
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(library->FindByName(paths[i++ & 4095]));
}
BENCHMARK(BM_FindByName)->Arg(1)->Arg(0)->ArgName("hit");

void BM_MeasurePicture(benchmark::State& state, const char* format) {
  QImage image(640, 480, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x & 255, y & 255, (x ^ y) & 255));
  const std::string path = Folder() / (std::string("picture.") + format);
  QImageWriter writer(QString::fromStdString(path), format);
  writer.write(image);
  for (auto _ : state) benchmark::DoNotOptimize(vdk::MeasurePicture(path, vdk::TPictureDecoder::General));
}
BENCHMARK_CAPTURE(BM_MeasurePicture, jpeg_640x480, "jpeg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MeasurePicture, png_640x480, "png")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
