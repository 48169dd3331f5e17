#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "support/recorded_dialog_services.h"
#include "support/recorded_services.h"
#include "support/scripted_modals.h"
#include "support/temp_dir.h"
#include "ui/mainwindow/tray_icon.h"

class QTreeWidgetItem;

namespace vdk {
class TMainForm;
class TRegSettings;
class TTask;
}  // namespace vdk

namespace vdk::test {

// Stands in for the desktop's notification area while it lives.
class FakeTrays {
 public:
  FakeTrays();
  ~FakeTrays();
  bool available = true;
  int installed = 0;
  // The icon of the last window made; it can be clicked.
  TTrayIcon* last = nullptr;
  void Click();
};

// Processes the GUI thread's events until the condition holds; false when
// the time runs out first. Wakes on every event (the workers' reports), never
// sleeps.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(30000));

// A main window on a Vendrake home of its own, with recorded message boxes,
// shell, notification area, help and power-off, and scripted dialogs. The
// store starts with the sample tasks added and the tip switched off unless a
// test says otherwise.
class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest();
  ~MainFormTest() override;

  std::string RegistryPath() const { return home / "registry.reg"; }
  std::string ProjectPath() const { return home / "Images/Projects/"; }
  std::string DownloadPath() const { return home / "Images/Downloaded Files/"; }
  std::string LogPath() const { return home / "Images/Logs/"; }

  // Changes the stored settings before the window is made.
  void EditStore(const std::function<void(TRegSettings&)>& edit);
  // Makes (or remakes) the window over the home.
  TMainForm& Open();
  // Ends the window without its Exit sequence (as a test ends).
  void Discard();
  // Runs "Exit" and ends the window.
  void Exit();

  QTreeWidgetItem* Node(const QString& caption) const;
  // Selects the node and waits for its downloaded files to be listed.
  void Select(const QString& caption);
  bool WaitForImages();
  void Trigger(const char* action);
  bool Enabled(const char* action) const;
  // A task file with the standard options in a folder of the project folder.
  std::string AddTask(const std::string& folder, const std::string& name, const std::string& url);

  TempDir home;
  RecordedBoxes boxes;
  RecordedShell shell;
  ScriptedModals dialogs;
  RecordedHelp help;
  RecordedShutdown shutdown;
  FakeTrays trays;
  std::unique_ptr<TMainForm> form;
};

}  // namespace vdk::test
