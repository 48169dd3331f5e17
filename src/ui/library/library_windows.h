#pragma once

#include <string>

class QWidget;

namespace vdk {

class TImageLibrary;

// The main window's "Library": the library window on the program's library,
// made for one modal showing.
void ShowLibraryWindow(QWidget* parent, TImageLibrary& library);

// The main window's "Collect" for the selected task: the collect tool on the
// task's save folder (its options' DefaultFolder), made for one modal showing.
void ShowCollectTool(QWidget* parent, TImageLibrary& library, const std::string& saveFolder);

}  // namespace vdk
