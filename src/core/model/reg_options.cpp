#include "core/model/reg_options.h"

#include <istream>
#include <ostream>

#include "core/base/errors.h"
#include "core/base/fixed_fields.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

constexpr std::size_t kText = 1024;
constexpr std::string_view kEndOfList = "(end)";

// Offsets inside the options block.
enum : std::size_t {
  kDefaultFolder = 0,
  kEnableFileLimit = 1024,
  kFileMaxSize = 1028,
  kFileMinSize = 1032,
  kSeekDeep = 1040,
  kAutoShutDown = 1045,
  kUseProxyServer = 1046,
  kProxyServerAddr = 1047,
  kProxyServerPort = 2072,
  kDefaultLogFolder = 4124,
  kAutoSaveLog = 5148,
  kFileMasks = 5149,
  kExcludeFiles = 267293,
  kSchemeType = 529437,
  kSchemeCount = 529440,
  kSchemeStartDate = 529448,
  kSchemeStartTime = 529456,
  kNeedToLogin = 529464,
  kUserName = 529465,
  kPassword = 530489,
  kTimeOut = 531516,
};

void PutList(std::span<char> block, std::size_t offset, const std::vector<std::string>& list) {
  const std::size_t n = std::min(list.size(), TRegOptions::kListSlots);
  for (std::size_t i = 0; i < n; ++i) PutText(block, offset + i * kText, kText, list[i]);
  if (n < TRegOptions::kListSlots) PutText(block, offset + n * kText, kText, kEndOfList);
}

std::vector<std::string> GetList(std::span<const char> block, std::size_t offset) {
  std::vector<std::string> list;
  for (std::size_t i = 0; i < TRegOptions::kListSlots; ++i) {
    std::string entry = GetText(block, offset + i * kText, kText);
    if (entry == kEndOfList) break;
    list.push_back(std::move(entry));
  }
  return list;
}

}  // namespace

std::pair<std::string, std::string> SplitMask(std::string_view mask) {
  const auto comma = mask.find(',');
  if (comma == std::string_view::npos) return {};
  return {std::string(Trim(mask.substr(0, comma))), std::string(Trim(mask.substr(comma + 1)))};
}

std::string JoinMask(std::string_view ext, std::string_view folder) {
  return std::string(ext) + ", " + std::string(folder);
}

void TRegOptions::SaveToBlock(std::span<char> b) const {
  PutText(b, kDefaultFolder, kText, DefaultFolder);
  PutFlag(b, kEnableFileLimit, EnableFileLimit);
  PutInt32(b, kFileMaxSize, FileMaxSize);
  PutInt32(b, kFileMinSize, FileMinSize);
  PutInt32(b, kSeekDeep, SeekDeep);
  PutFlag(b, kAutoShutDown, AutoShutDown);
  PutFlag(b, kUseProxyServer, UseProxyServer);
  PutText(b, kProxyServerAddr, kText, ProxyServerAddr);
  PutInt32(b, kProxyServerPort, ProxyServerPort);
  PutText(b, kDefaultLogFolder, kText, DefaultLogFolder);
  PutFlag(b, kAutoSaveLog, AutoSaveLog);
  PutList(b, kFileMasks, FileMasks);
  PutList(b, kExcludeFiles, ExcludeFiles);
  b[kSchemeType] = static_cast<char>(Scheme.SchemeType);
  PutInt32(b, kSchemeCount, Scheme.SchemeCount);
  PutDouble(b, kSchemeStartDate, Scheme.SchemeStartDate);
  PutDouble(b, kSchemeStartTime, Scheme.SchemeStartTime);
  PutFlag(b, kNeedToLogin, NeedToLogin);
  PutText(b, kUserName, kText, UserName);
  PutText(b, kPassword, kText, Password);
  PutInt32(b, kTimeOut, TimeOut);
}

void TRegOptions::LoadFromBlock(std::span<const char> b) {
  DefaultFolder = GetText(b, kDefaultFolder, kText);
  EnableFileLimit = GetFlag(b, kEnableFileLimit);
  FileMaxSize = GetInt32(b, kFileMaxSize);
  FileMinSize = GetInt32(b, kFileMinSize);
  SeekDeep = GetInt32(b, kSeekDeep);
  AutoShutDown = GetFlag(b, kAutoShutDown);
  UseProxyServer = GetFlag(b, kUseProxyServer);
  ProxyServerAddr = GetText(b, kProxyServerAddr, kText);
  ProxyServerPort = GetInt32(b, kProxyServerPort);
  DefaultLogFolder = GetText(b, kDefaultLogFolder, kText);
  AutoSaveLog = GetFlag(b, kAutoSaveLog);
  FileMasks = GetList(b, kFileMasks);
  ExcludeFiles = GetList(b, kExcludeFiles);
  Scheme.SchemeType = static_cast<std::uint8_t>(b[kSchemeType]);
  Scheme.SchemeCount = GetInt32(b, kSchemeCount);
  Scheme.SchemeStartDate = GetDouble(b, kSchemeStartDate);
  Scheme.SchemeStartTime = GetDouble(b, kSchemeStartTime);
  NeedToLogin = GetFlag(b, kNeedToLogin);
  UserName = GetText(b, kUserName, kText);
  Password = GetText(b, kPassword, kText);
  TimeOut = GetInt32(b, kTimeOut);
}

void TRegOptions::SaveToStream(std::ostream& out) const {
  std::vector<char> block(kBlockSize, '\0');
  SaveToBlock(block);
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

void TRegOptions::LoadFromStream(std::istream& in) {
  std::vector<char> block(kBlockSize, '\0');
  in.read(block.data(), static_cast<std::streamsize>(block.size()));
  if (static_cast<std::size_t>(in.gcount()) != kBlockSize) throw EFormatError("The options block is truncated");
  LoadFromBlock(block);
}

int TRegOptions::FindMask(std::string_view ext) const {
  const std::string wanted = LowerCase(Trim(ext));
  for (std::size_t i = 0; i < FileMasks.size(); ++i)
    if (LowerCase(SplitMask(FileMasks[i]).first) == wanted) return static_cast<int>(i);
  return -1;
}

}  // namespace vdk
