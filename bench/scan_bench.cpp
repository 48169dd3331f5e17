// Scanning throughput of THTMLScan on generated pages: a realistic gallery
// page of 2 MB, the same kind of page at 50 MB (the rate should not drop:
// the scan is linear), and a 50 MB page made of nothing but small link tags.
// Run: build/bench/scan_bench

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "core/url/html_scan.h"

namespace {

constexpr std::size_t kMB = 1000 * 1000;
constexpr const char* kFolder = "https://www.example.com/galleries/2024/summer/";

// A gallery page as such sites write them: a head with styles and an inline
// script full of "<" and ">" operators, then a grid of thumbnails, each a
// link to a photo page around a lazily loaded image, with captions and text.
std::string GalleryPage(std::size_t size) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>Summer 2024 - Photo gallery</title>\n"
      "<link rel=\"stylesheet\" href=\"/static/css/site.css?v=3.2.1\">\n"
      "<link rel=\"alternate\" hreflang=\"de\" href=\"https://de.example.com/galleries/2024/summer/\">\n"
      "<script src=\"https://cdn.example.net/js/lightbox.min.js\" defer></script>\n"
      "<script>\nfunction fit(a, b) { for (let i = 0; i < a.length; i++) { if (a[i].w > b) a[i].w = b; } "
      "return a.filter(x => x.h >= 10 && x.w <= 4000); }\n</script>\n"
      "<style>.thumb > img { border: 1px solid #ccc } .grid { background: url(/static/img/paper.png) }</style>\n"
      "</head>\n<body class=\"gallery\">\n<nav><a href=\"/\">Home</a> &gt; <a href=\"../\">2024</a> &gt; "
      "Summer</nav>\n<div class=\"grid\">\n";
  for (std::size_t n = 0; page.size() < size; ++n) {
    const std::string id = std::to_string(100000 + n);
    page += "<div class=\"thumb\">\n  <a href=\"photo-" + id + ".html\" title=\"Photo " + id +
            "\">\n    <img src=\"https://img.example.com/thumbs/2024/summer/IMG_" + id +
            "_t.jpg\" data-full=\"../../../photos/2024/summer/IMG_" + id +
            ".JPG\" width=\"240\" height=\"160\"\n         alt=\"Evening light over the harbour, frame " + id +
            "\" loading=\"lazy\">\n  </a>\n  <p class=\"caption\">Frame " + id +
            " &mdash; taken at f/8, 1/250 s, ISO 100. <a href=\"#comments-" + id + "\">3 comments</a></p>\n</div>\n";
    if (n % 50 == 49)
      page += "<p>Page " + std::to_string(n / 50 + 1) +
              " of the summer series. Prices start at 20 &lt; 30 EUR; see <a href='/shop/prints?series=summer&page=" +
              std::to_string(n / 50 + 1) + "'>the shop</a> for prints.</p>\n";
  }
  page += "</div>\n<footer><a href=\"mailto:photos@example.com\">Contact</a></footer>\n</body>\n</html>\n";
  return page;
}

std::string TinyTagPage(std::size_t size) {
  std::string page;
  page.reserve(size + 32);
  for (std::size_t n = 0; page.size() < size; ++n) page += "<a href=p" + std::to_string(n % 1000) + ".html>";
  return page;
}

const std::string& Page(int kind, std::size_t megabytes) {
  static const std::string gallery2 = GalleryPage(2 * kMB);
  static const std::string gallery50 = GalleryPage(50 * kMB);
  static const std::string tiny50 = TinyTagPage(50 * kMB);
  if (kind == 1) return tiny50;
  return megabytes == 2 ? gallery2 : gallery50;
}

// Arguments: page kind (0 gallery, 1 tiny tags), size in MB, read every link
// back (1) or only count them (0).
void BM_Scan(benchmark::State& state) {
  const std::string& page = Page(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
  const bool readLinks = state.range(2) != 0;
  std::size_t links = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string text = page;
    state.ResumeTiming();
    vdk::THTMLScan scan;
    scan.SetMainURL(kFolder);
    scan.SetHTML(std::move(text));
    links = scan.Links().Count();
    if (readLinks) {
      std::size_t bytes = 0;
      for (const vdk::TURLPath& link : scan.Links()) bytes += link.ResolvedURL().size();
      benchmark::DoNotOptimize(bytes);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.counters["links"] = static_cast<double>(links);
  state.counters["page_MB"] = static_cast<double>(page.size()) / kMB;
}

BENCHMARK(BM_Scan)
    ->ArgNames({"tiny", "MB", "read"})
    ->Args({0, 2, 0})
    ->Args({0, 50, 0})
    ->Args({1, 50, 0})
    ->Args({0, 2, 1})
    ->Args({0, 50, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
