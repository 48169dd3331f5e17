#include "main_form_fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "core/model/task_factory.h"
#include "core/run/task_thread.h"
#include "core/settings/reg_settings.h"
#include "platform/registry_file.h"
#include "ui/imageview/images_panel.h"
#include "ui/mainwindow/main_form.h"
#include "ui/mainwindow/task_tree.h"

namespace vdk::test {
namespace {

class FakeTrayIcon : public TTrayIcon {
 public:
  explicit FakeTrayIcon(FakeTrays& owner) : owner_(owner) {}
  bool IsAvailable() const override { return owner_.available; }
  void Install(const QIcon&, const QString&, QMenu*) override { ++owner_.installed; }

 private:
  FakeTrays& owner_;
};

}  // namespace

FakeTrays::FakeTrays() {
  SetTrayIconFactory([this] {
    auto icon = std::make_unique<FakeTrayIcon>(*this);
    last = icon.get();
    return icon;
  });
}

FakeTrays::~FakeTrays() { SetTrayIconFactory(nullptr); }

void FakeTrays::Click() { emit last->LeftClicked(); }

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  // The deadline is an event too, so the wait for the next event ends there.
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.start(timeout);
  while (!condition() && deadline.isActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return condition();
}

MainFormTest::MainFormTest() {
  EditStore([](TRegSettings& settings) {
    settings.Options.DefaultTaskAdded = true;
    settings.Window.ShowTip = false;
  });
}

MainFormTest::~MainFormTest() {
  Discard();
  EXPECT_TRUE(TTaskThread::WaitForAll(std::chrono::seconds(30)));
  QCoreApplication::processEvents();
}

void MainFormTest::EditStore(const std::function<void(TRegSettings&)>& edit) {
  TRegSettings settings(std::make_unique<TRegistryFile>(RegistryPath()), home.Path());
  settings.LoadFromRegistry();
  edit(settings);
  settings.SaveToRegistry();
}

TMainForm& MainFormTest::Open() {
  Discard();
  form = std::make_unique<TMainForm>(std::make_unique<TRegistryFile>(RegistryPath()), home.Path());
  form->SetShutdown(&shutdown);
  return *form;
}

void MainFormTest::Discard() { form.reset(); }

void MainFormTest::Exit() {
  form->Execute(QStringLiteral("TasksExitAction"));
  form.reset();
}

QTreeWidgetItem* MainFormTest::Node(const QString& caption) const { return form->Tree().FindByCaption(caption); }

void MainFormTest::Select(const QString& caption) {
  QTreeWidgetItem* node = Node(caption);
  ASSERT_NE(node, nullptr) << caption.toStdString();
  form->Tree().Select(node);
  // A task's downloaded files are listed on a thread: the test goes on with
  // them listed, as a user looking at the window would.
  ASSERT_TRUE(WaitForImages());
}

bool MainFormTest::WaitForImages() {
  return WaitUntil([this] { return !form->ImagesPanel()->IsListing(); });
}

void MainFormTest::Trigger(const char* action) { form->Execute(QString::fromLatin1(action)); }

bool MainFormTest::Enabled(const char* action) const { return form->Action(QString::fromLatin1(action))->isEnabled(); }

std::string MainFormTest::AddTask(const std::string& folder, const std::string& name, const std::string& url) {
  TRegSettings settings(std::make_unique<TRegistryFile>(RegistryPath()), home.Path());
  settings.LoadFromRegistry();
  const std::string path = ProjectPath() + folder;
  std::filesystem::create_directories(path);
  return CreateTaskFile(name, url, settings.Options, path)->FileName;
}

}  // namespace vdk::test
