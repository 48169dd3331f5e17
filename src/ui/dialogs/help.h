#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace vdk {

// The program's help pages, one per topic: the main window's contents and
// the windows that have a "&Help" button.
enum class THelpTopic { Contents, DefaultOptions, NewTask, Collect, Library };

// The page of a topic, a file name in the help folder ("index.html", ...).
QString HelpPageOf(THelpTopic topic);

// The folder holding the installed help pages: share/vendrake/help beside the
// program's installation, else in the system's data folders, else the
// source tree's docs/help of a build that was not installed. Empty when none
// holds the contents page.
QString HelpFolder();

// Opens the help at a topic: "&Help" buttons and F1. Reached through Help()
// so that tests record the topics instead of opening windows. Used on the GUI
// thread only.
class THelp {
 public:
  virtual ~THelp() = default;
  virtual void Show(QWidget* parent, THelpTopic topic) = 0;
};

THelp& Help();
// Puts a help in place of the current one (null: the help window) and returns
// the one it replaced, so a test can restore it.
std::unique_ptr<THelp> SetHelp(std::unique_ptr<THelp> help);

// Help().Show(parent, topic).
void ShowHelp(QWidget* parent, THelpTopic topic);
// Makes F1 in window open the help at topic.
void AddHelpKey(QWidget* window, THelpTopic topic);

}  // namespace vdk
