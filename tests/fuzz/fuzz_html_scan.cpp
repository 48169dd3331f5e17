// Pages from anywhere. The first line of the input is the page's folder URL,
// the rest the page text. Every link the scanner gives must be fetchable, and
// scanning the page must give what scanning its tag bodies one by one gives
// (which checks the cheap handling of bodies repeated by a stray ">").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text_utils.h"
#include "core/url/html_scan.h"

namespace {

std::vector<std::string> ResolvedURLs(const vdk::TURLPathItems& links) {
  std::vector<std::string> urls;
  for (const vdk::TURLPath& link : links) {
    const std::string& url = link.ResolvedURL();
    if (url.empty() || vdk::HasControlByte(url) || !vdk::TIdURI(url).IsValid()) __builtin_trap();
    if (url.find('#') != std::string::npos) __builtin_trap();
    urls.push_back(url);
  }
  return urls;
}

std::vector<std::string> ScanBodyByBody(std::string_view folder, const std::string& html) {
  vdk::TTags tags;
  tags.SetText(html);
  std::vector<std::string> urls;
  std::vector<std::string> last;
  std::string_view lastBody;
  for (std::size_t i = 0; i < tags.Tags().size(); ++i) {
    const std::string_view body = tags.Tags()[i];
    if (i == 0 || body != lastBody) {
      vdk::THTMLScan one;
      one.SetMainURL(folder);
      one.SetHTML("<" + std::string(body) + ">");
      last = ResolvedURLs(one.Links());
      lastBody = body;
    }
    urls.insert(urls.end(), last.begin(), last.end());
  }
  return urls;
}

void CheckCleanValue(std::string_view text) {
  const std::string value = vdk::CleanAttributeValue(text);
  if (value.find_first_of(" \"'\t\n\v\f\r") != std::string::npos) __builtin_trap();
  if (!value.empty() && static_cast<unsigned char>(value.front()) <= ' ') __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = input.find('\n');
  const std::string_view folder = newline == std::string_view::npos ? std::string_view() : input.substr(0, newline);
  const std::string html(newline == std::string_view::npos ? input : input.substr(newline + 1));

  vdk::THTMLScan scan;
  scan.SetMainURL(folder);
  scan.SetHTML(html);
  if (ResolvedURLs(scan.Links()) != ScanBodyByBody(folder, html)) __builtin_trap();
  CheckCleanValue(html);
  return 0;
}
