#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/ole_date.h"

namespace vdk {

// The schedule record of a task's options (SchemeType: 0 none, 1 every N
// hours, 2 daily, 3 weekly, 4 monthly).
struct TRegScheme {
  std::int32_t SchemeCount = 0;
  std::uint8_t SchemeType = 0;
  TDateTime SchemeStartDate = 0.0;
  TDateTime SchemeStartTime = 0.0;

  bool operator==(const TRegScheme&) const = default;
};

// An extension mask "ext, folder" split at its first comma, both parts trimmed;
// a mask without a comma gives two empty texts.
std::pair<std::string, std::string> SplitMask(std::string_view mask);
// The mask entry of an extension and its folder: "ext, folder".
std::string JoinMask(std::string_view ext, std::string_view folder);

// Download options: one instance holds the global defaults, every task owns a
// copy. Copying copies every field, the lists and the schedule by value.
struct TRegOptions {
  static constexpr std::size_t kBlockSize = 531520;
  static constexpr std::size_t kListSlots = 256;

  bool UseProxyServer = false;
  bool AutoSaveLog = true;
  bool AutoShutDown = false;
  std::int32_t FileMinSize = 10;     // KB
  std::int32_t FileMaxSize = 10240;  // KB
  std::int32_t SeekDeep = 5;
  std::int32_t ProxyServerPort = 80;
  // Until the settings replace them: a folder every Linux system has.
  std::string DefaultFolder = "/tmp/";
  std::string DefaultLogFolder = "/tmp/";
  std::string ProxyServerAddr = "192.168.0.1";
  TRegScheme Scheme;
  std::vector<std::string> ExcludeFiles;
  std::vector<std::string> FileMasks;
  bool EnableFileLimit = true;
  std::string ProjectPath = "/tmp/";  // global settings only
  bool NeedToLogin = false;
  std::string Password;
  std::string UserName;
  bool DefaultTaskAdded = false;  // global settings only
  std::int32_t TimeOut = 5;       // seconds

  bool operator==(const TRegOptions&) const = default;

  // The options block of a task file (kBlockSize bytes). Text is cut to 1023
  // bytes and each list to 256 entries; a shorter list is ended by "(end)".
  void SaveToStream(std::ostream& out) const;
  // Reads a whole block; raises EFormatError when the stream ends before it.
  // A list stops at its first slot reading exactly "(end)".
  void LoadFromStream(std::istream& in);
  void SaveToBlock(std::span<char> block) const;
  void LoadFromBlock(std::span<const char> block);

  // Index of the first mask whose extension matches ext (no leading dot),
  // trimmed and without regard to case; -1 when none.
  int FindMask(std::string_view ext) const;
};

}  // namespace vdk
