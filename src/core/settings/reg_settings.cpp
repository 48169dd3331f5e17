#include "core/settings/reg_settings.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "core/base/errors.h"
#include "core/base/path_utils.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

constexpr std::string_view kWindowKey = "\\Software\\Vendrake\\Window";
constexpr std::string_view kMenuKey = "\\Software\\Vendrake\\Menu";
constexpr std::string_view kOptionsKey = "\\Software\\Vendrake\\Options";
constexpr std::string_view kFileMasksKey = "\\Software\\Vendrake\\Options\\FileMasks";
constexpr std::string_view kExcludeFilesKey = "\\Software\\Vendrake\\Options\\ExcludeFiles";
constexpr std::string_view kSchemeKey = "\\Software\\Vendrake\\Options\\Scheme";

constexpr std::string_view kImagesFolder = "Images/";
constexpr std::string_view kDownloadFolder = "Images/Downloaded Files/";
constexpr std::string_view kLogFolder = "Images/Logs/";
constexpr std::string_view kProjectFolder = "Images/Projects/";

constexpr std::string_view kDefaultMasks[] = {"gif, Saved", "jpg, Saved", "jpeg, Saved", "pcx, Saved", "tiff, Saved",
                                              "tif, Saved", "bmp, Saved", "png, Saved",  "wmf, Saved"};

// The value layout of each key, in the order values are read and written.
// Io is ValueReader or ValueWriter; folders get their own call since they are
// held ending with "/".

template <class Window, class Io>
void WindowValues(Window& w, Io& io) {
  io("Left", w.Left);
  io("Top", w.Top);
  io("Width", w.Width);
  io("Height", w.Height);
  io("State", w.State);
  io("ShowMinPrompt", w.ShowMinPrompt);
  io("TipIndex", w.TipIndex);
  io("ShowTip", w.ShowTip);
}

template <class Menu, class Io>
void MenuValues(Menu& m, Io& io) {
  io("ShowStandardToolBar", m.ShowStandardToolBar);
  io("ShowStatePanel", m.ShowStatePanel);
  io("ShowAllFiles", m.ShowAllFiles);
  io("FitImages", m.FitImages);
  io("ImageSort", m.ImageSort);
}

template <class Options, class Io>
void OptionValues(Options& o, Io& io) {
  io.Folder("DefaultFolder", o.DefaultFolder);
  io("EnableFileLimit", o.EnableFileLimit);
  io("FileMaxSize", o.FileMaxSize);
  io("FileMinSize", o.FileMinSize);
  io("SeekDeep", o.SeekDeep);
  io("AutoShutDown", o.AutoShutDown);
  io("UseProxyServer", o.UseProxyServer);
  io("ProxyServerAddr", o.ProxyServerAddr);
  io("ProxyServerPort", o.ProxyServerPort);
  io.Folder("DefaultLogFolder", o.DefaultLogFolder);
  io("AutoSaveLog", o.AutoSaveLog);
  io.Folder("ProjectPath", o.ProjectPath);
  io("DefaultTaskAdded", o.DefaultTaskAdded);
  io("TimeOut", o.TimeOut);
}

template <class Scheme, class Io>
void SchemeValues(Scheme& s, Io& io) {
  io("SchemeType", s.SchemeType);
  io("SchemeCount", s.SchemeCount);
  io("SchemeStartDate", s.SchemeStartDate);
  io("SchemeStartTime", s.SchemeStartTime);
}

// Each read raises ERegistryError when the value breaks its reading rule.
class ValueReader {
 public:
  explicit ValueReader(const TRegistry& registry) : r_(registry) {}
  void operator()(std::string_view name, std::int32_t& v) const { v = r_.ReadInteger(name); }
  // Byte-sized settings keep the low byte of the stored number.
  void operator()(std::string_view name, std::uint8_t& v) const { v = static_cast<std::uint8_t>(r_.ReadInteger(name)); }
  void operator()(std::string_view name, bool& v) const { v = r_.ReadBool(name); }
  void operator()(std::string_view name, std::string& v) const { v = r_.ReadString(name); }
  void operator()(std::string_view name, TDateTime& v) const { v = r_.ReadDate(name); }
  void Folder(std::string_view name, std::string& v) const { v = AddSlash(r_.ReadString(name)); }

 private:
  const TRegistry& r_;
};

class ValueWriter {
 public:
  explicit ValueWriter(TRegistry& registry) : r_(registry) {}
  void operator()(std::string_view name, std::int32_t v) const { r_.WriteInteger(name, v); }
  void operator()(std::string_view name, std::uint8_t v) const { r_.WriteInteger(name, v); }
  void operator()(std::string_view name, bool v) const { r_.WriteBool(name, v); }
  void operator()(std::string_view name, const std::string& v) const { r_.WriteString(name, v); }
  void operator()(std::string_view name, TDateTime v) const { r_.WriteDate(name, v); }
  void Folder(std::string_view name, const std::string& v) const { r_.WriteString(name, v); }

 private:
  TRegistry& r_;
};

void Open(TRegistry& registry, std::string_view key) {
  if (!registry.OpenKey(key, true)) throw ERegistryError("Cannot open settings key " + std::string(key));
}

// List values are read in the store's enumeration order; their names are not
// interpreted.
void ReadList(TRegistry& registry, std::string_view key, std::vector<std::string>& list) {
  Open(registry, key);
  list.clear();
  for (const std::string& name : registry.GetValueNames()) list.push_back(registry.ReadString(name));
}

void WriteList(TRegistry& registry, std::string_view key, const std::vector<std::string>& list) {
  registry.DeleteKey(key);
  Open(registry, key);
  for (std::size_t i = 0; i < list.size(); ++i) registry.WriteString(std::to_string(i), list[i]);
}

constexpr std::string_view kProjectServerValue = "ProjectServer";

// Read apart from the other options: a store written before the value
// existed, or holding a wrong type, keeps all its other settings.
std::string ReadProjectServer(const TRegistry& registry) {
  const auto value = registry.GetValue(kProjectServerValue);
  if (!value || value->Type != TRegType::String || Trim(value->Data).empty()) return std::string(kDefaultProjectServer);
  return value->Data;
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

TRegSettings::TRegSettings(std::unique_ptr<TRegistry> registry, std::string programFolder)
    : Registry(std::move(registry)), programFolder_(AddSlash(programFolder)) {}

void TRegSettings::Assign(const TRegSettings& other) {
  Window = other.Window;
  Menu = other.Menu;
  Options = other.Options;
  ProjectServer = other.ProjectServer;
}

bool TRegSettings::LoadFromRegistry() {
  try {
    ReadAll();
    return true;
  } catch (const EVendrakeError&) {
    // A missing or mistyped value, or a store that cannot be read: the
    // defaults below repair it.
  }
  ApplyDefaults();
  SaveToRegistry();
  return false;
}

void TRegSettings::ReadAll() {
  TRegistry& registry = *Registry;
  const ValueReader read(registry);
  // First, so that a repair of the other values keeps it.
  Open(registry, kOptionsKey);
  ProjectServer = ReadProjectServer(registry);
  Open(registry, kWindowKey);
  WindowValues(Window, read);
  Open(registry, kMenuKey);
  MenuValues(Menu, read);
  Open(registry, kOptionsKey);
  OptionValues(Options, read);
  if (!IsFolder(Options.DefaultFolder) || !IsFolder(Options.DefaultLogFolder) || !IsFolder(Options.ProjectPath))
    ResetFolders();
  ReadList(registry, kFileMasksKey, Options.FileMasks);
  ReadList(registry, kExcludeFilesKey, Options.ExcludeFiles);
  Open(registry, kSchemeKey);
  SchemeValues(Options.Scheme, read);
}

void TRegSettings::SaveToRegistry() {
  TRegistry& registry = *Registry;
  const ValueWriter write(registry);
  Open(registry, kWindowKey);
  WindowValues(std::as_const(Window), write);
  Open(registry, kMenuKey);
  MenuValues(std::as_const(Menu), write);
  Open(registry, kOptionsKey);
  OptionValues(std::as_const(Options), write);
  write(kProjectServerValue, ProjectServer);
  WriteList(registry, kFileMasksKey, Options.FileMasks);
  WriteList(registry, kExcludeFilesKey, Options.ExcludeFiles);
  Open(registry, kSchemeKey);
  SchemeValues(std::as_const(Options.Scheme), write);
  registry.Flush();
}

void TRegSettings::SaveProjectServer() {
  Open(*Registry, kOptionsKey);
  Registry->WriteString(kProjectServerValue, ProjectServer);
  Registry->Flush();
}

void TRegSettings::ApplyDefaults() {
  ResetFolders();
  for (std::string_view mask : kDefaultMasks) Options.FileMasks.emplace_back(mask);
}

void TRegSettings::ResetFolders() {
  CreateDefaultFolders();
  Options.DefaultFolder = programFolder_ + std::string(kDownloadFolder);
  Options.DefaultLogFolder = programFolder_ + std::string(kLogFolder);
  Options.ProjectPath = programFolder_ + std::string(kProjectFolder);
}

// Failures are ignored: a folder that cannot be made is reported by whoever
// uses it. The program folder itself may be new (a fresh home), so it is
// made with its parents; the tree below it one level at a time.
void TRegSettings::CreateDefaultFolders() const {
  std::error_code ec;
  std::filesystem::create_directories(programFolder_, ec);
  for (std::string_view folder : {kImagesFolder, kDownloadFolder, kLogFolder, kProjectFolder})
    std::filesystem::create_directory(programFolder_ + std::string(folder), ec);
}

}  // namespace vdk
