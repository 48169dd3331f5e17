#pragma once

#include <string>
#include <vector>

#include "library/saved_files.h"

class QWidget;

namespace vdk {

class TImageLibrary;

// "Delete By ...": shows the delete-by dialog; after "&OK", picks the
// candidates among the rows of the downloaded-files list (a file filter picks
// in savedFolder, the selected task's "Saved" folder, empty when no task is
// selected), lists them in the delete confirmation and returns the files it
// deleted, for the opener to remove from its list. Nothing is deleted unless
// both dialogs end with "&OK". Library records are left alone (Verify
// removes them). GUI thread.
std::vector<std::string> DeleteByExecute(QWidget* parent, const TImageLibrary& library,
                                         const std::vector<TSavedFile>& rows, const std::string& savedFolder);

}  // namespace vdk
