// The task file: a 5140-byte header, the options block, then one
// "done,depth,url" line per work item ended by CR LF.

#include <fstream>
#include <istream>
#include <ostream>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/errors.h"
#include "core/base/fixed_fields.h"
#include "core/base/text_utils.h"
#include "core/model/task.h"

namespace vdk {
namespace {

constexpr std::size_t kText = 1024;

enum : std::size_t {
  kMagic = 0,
  kSubMagic = 5,
  kName = 11,
  kNote = 1035,
  kURL = 2059,
  kTaskID = 3083,
  kStopped = 5132,
  kSavedCount = 5136,
};

// Item lines longer than this are skipped: no real URL comes near it, and a
// corrupt file must not make the reader hold gigabytes.
constexpr std::size_t kMaxItemLine = 8 << 20;

struct ItemLine {
  bool done = true;
  std::int32_t depth = -1;
  std::string_view url;
};

ItemLine ParseItemLine(std::string_view line) {
  ItemLine out;
  const auto first = line.find(',');
  if (first == std::string_view::npos) {
    out.done = ParseInt32(line).value_or(1) != 0;
    return out;
  }
  out.done = ParseInt32(line.substr(0, first)).value_or(1) != 0;
  const auto second = line.find(',', first + 1);
  const auto depthEnd = second == std::string_view::npos ? line.size() : second;
  out.depth = ParseInt32(line.substr(first + 1, depthEnd - first - 1)).value_or(-1);
  if (second != std::string_view::npos) out.url = line.substr(second + 1);
  return out;
}

// Reads the next line ended by CR, LF or CR LF; false at the end of the
// stream. A line over the limit is consumed and returned empty.
bool ReadLine(std::istream& in, std::string& line) {
  line.clear();
  bool any = false, overlong = false;
  std::streambuf* buf = in.rdbuf();
  for (;;) {
    const int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      return any;
    }
    any = true;
    if (c == '\n') return true;
    if (c == '\r') {
      if (buf->sgetc() == '\n') buf->sbumpc();
      return true;
    }
    if (overlong) continue;
    if (line.size() >= kMaxItemLine) {
      overlong = true;
      line.clear();
      continue;
    }
    line.push_back(static_cast<char>(c));
  }
}

void ReadExactly(std::istream& in, std::span<char> block, const char* what) {
  in.read(block.data(), static_cast<std::streamsize>(block.size()));
  if (static_cast<std::size_t>(in.gcount()) != block.size())
    throw EFormatError(std::string("The task file is truncated (") + what + ")");
}

}  // namespace

void TTask::SaveToStream(std::ostream& out) const {
  std::vector<char> header(kHeaderSize, '\0');
  PutText(header, kMagic, 5, "Qorv");
  PutText(header, kSubMagic, 3, "VD");
  PutText(header, kName, kText, Name);
  PutText(header, kNote, kText, Note);
  PutText(header, kURL, kText, URL.Text());
  PutText(header, kTaskID, kText, TaskID);
  PutInt32(header, kStopped, stopped_ ? 1 : 0);
  PutInt32(header, kSavedCount, savedCount_.load());
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  Options.SaveToStream(out);

  std::string line;
  Items.ForEach([&](const TaskItemPtr& item) {
    line.clear();
    line += item->Done() ? '1' : '0';
    line += ',';
    line += std::to_string(item->Depth);
    line += ',';
    line += item->URL().Text();
    line += "\r\n";
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  });
}

void TTask::LoadFromStream(std::istream& in) {
  std::vector<char> header(kHeaderSize, '\0');
  ReadExactly(in, header, "header");
  std::vector<char> block(TRegOptions::kBlockSize, '\0');
  ReadExactly(in, block, "options");

  Name = GetText(header, kName, kText);
  Note = GetText(header, kNote, kText);
  URL.SetURI(GetText(header, kURL, kText));
  TaskID = GetText(header, kTaskID, kText);
  stopped_ = true;  // no worker exists for a task just read
  savedCount_ = GetInt32(header, kSavedCount);
  Options.LoadFromBlock(block);

  Items.Clear();
  finishedCount_ = 0;
  const std::string startHost(URL.Host());
  std::string line;
  while (ReadLine(in, line)) {
    const ItemLine parsed = ParseItemLine(line);
    auto item = std::make_shared<TTaskItem>(this, parsed.url, startHost);
    if (parsed.url.empty() || !item->URL().IsValid()) continue;
    item->Depth = parsed.depth;
    item->SetDone(parsed.done);
    if (parsed.done) ++finishedCount_;
    Items.Append(item);
  }
}

void TTask::SaveToFile(const std::string& path) const {
  WriteFileAtomically(path, 0600, [this](std::ostream& out) { SaveToStream(out); });
}

void TTask::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFileError("Cannot open the task file", path, errno);
  FileName = path;
  LoadFromStream(in);
}

}  // namespace vdk
