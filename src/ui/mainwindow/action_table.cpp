#include "ui/mainwindow/action_table.h"

#include <array>
#include <cstring>

namespace vdk {
namespace {

using K = TActionKind;

constexpr std::array<TActionSpec, 35> kActions{{
    {"TasksNewAction", "Tasks", "New", "Ctrl+Ins", "Create a new task", "document-new"},
    {"TasksNewFolderAction", "Tasks", "New Folder", "", "Create a new folder", "folder-new"},
    {"TasksImportAction", "Tasks", "&Import from Internet", "", "Download new tasks from internet", "document-import"},
    {"TasksDeleteAction", "Tasks", "Delete", "Ctrl+Del", "Delete current task", "edit-delete"},
    {"TasksPropAction", "Tasks", "Properties", "", "Properties of current task", "document-properties"},
    {"TasksRunAction", "Tasks", "Run", "Ctrl+R", "Run current task", "media-playback-start"},
    {"TasksStopAction", "Tasks", "Stop", "Ctrl+S", "Stop current task", "media-playback-stop"},
    {"TasksCollectAction", "Tasks", "Collect", "",
     "Copy picture files to another directory that is in current selected task", "edit-copy"},
    {"TasksSaveURLAction", "Tasks", "Save URL", "", "Save task URL", "document-save"},
    {"TasksLibraryAction", "Tasks", "Library", "", "Open images library", "applications-graphics"},
    {"TasksRestartAction", "Tasks", "Restart", "", "Restart current selected action", "media-skip-backward"},
    {"TasksStopAllAction", "Tasks", "Stop all", "", "Stop all running tasks", "process-stop"},
    {"TasksRefreshAction", "Tasks", "Refresh", "F5", "Refresh task folder", "view-refresh"},
    {"TasksExitAction", "Tasks", "Exit", "", "Exit and return to system", "application-exit"},
    {"ImagesCopyToAction", "Images", "Copy to ...", "", "Copy selected images to a folder", "edit-copy"},
    {"ImagesMoveToAction", "Images", "Move to ...", "", "Move selected images to a folder", "edit-cut"},
    {"ImagesDeleteAction", "Images", "Delete", "Del", "Delete selected images", "edit-delete"},
    {"ImagesDeleteAllAction", "Images", "Delete All", "", "Delete all downloaded images", "edit-clear"},
    {"ImagesDeleteByAction", "Images", "Delete By ...", "", "Delete images by some conditions", "edit-find"},
    {"ImagesSetWallpaperAction", "Images", "Wall", "Ctrl+W", "Set current selected image to desktop",
     "preferences-desktop-wallpaper"},
    {"ImagesOpenFolderAction", "Images", "Folder", "", "Open downloaded images folder of current task", "folder-open"},
    {"ImagesFitAction", "Images", "Zoom", "", "Fit image in page", "zoom-fit-best", K::Check},
    {"ImagesUnsortAction", "Images", "Unsort(&0)", "", "No any additional sort", "", K::Sort},
    {"ImagesSortByNameAction", "Images", "Sort by name(&1)", "", "Sort images by filename", "", K::Sort},
    {"ImagesSortByTypeAction", "Images", "Sort by type(&2)", "", "Sort images by file type", "", K::Sort},
    {"ImagesSortBySizeAction", "Images", "Sort by size(&3)", "", "Sort images by file size", "", K::Sort},
    {"ImagesBuildInAction", "Images", "Build-in", "", "Build-in these images in library", "list-add"},
    {"ViewShowHideStdBarAction", "View", "Standard tool bar", "", "Show / hide standard tool bar", "", K::Check},
    {"ViewShowHideStateAction", "View", "State", "", "Show / hide state panel", "", K::Check},
    {"ViewShowAllFilesAction", "View", "Show All", "", "Show all files in tasks tree view", "", K::Check},
    {"ViewOptionAction", "View", "Options", "", "Show current options", "preferences-system"},
    {"HelpTopicAction", "Help", "Help", "F1", "Help topic", "help-contents"},
    {"HelpTipAction", "Help", "&Tip of the day...", "", "Show tip of the day...", "dialog-information"},
    {"HelpAboutAction", "Help", "About", "", "About Vendrake", "help-about"},
    {"HelpVisitAction", "Help", "Visit our website", "", "Visit our site", "web-browser"},
}};

constexpr TBarItem kSep{};
constexpr TBarItem A(const char* name) { return {name, false}; }
constexpr TBarItem C(const char* name) { return {name, true}; }

constexpr TBarItem kTasksMenu[] = {
    A("TasksNewAction"),
    A("TasksNewFolderAction"),
    kSep,
    A("TasksImportAction"),
    kSep,
    A("TasksDeleteAction"),
    A("TasksPropAction"),
    kSep,
    A("TasksRunAction"),
    A("TasksStopAction"),
    kSep,
    A("TasksCollectAction"),
    A("TasksSaveURLAction"),
    A("TasksLibraryAction"),
    kSep,
    A("TasksRestartAction"),
    A("TasksStopAllAction"),
    kSep,
    A("TasksRefreshAction"),
    kSep,
    A("TasksExitAction"),
};
constexpr TBarItem kImagesMenu[] = {
    A("ImagesCopyToAction"),
    A("ImagesMoveToAction"),
    kSep,
    A("ImagesDeleteAction"),
    A("ImagesDeleteAllAction"),
    A("ImagesDeleteByAction"),
    kSep,
    A("ImagesSetWallpaperAction"),
    A("ImagesOpenFolderAction"),
    kSep,
    A("ImagesFitAction"),
    kSep,
    A("ImagesUnsortAction"),
    A("ImagesSortByNameAction"),
    A("ImagesSortByTypeAction"),
    A("ImagesSortBySizeAction"),
    kSep,
    A("ImagesBuildInAction"),
};
constexpr TBarItem kViewMenu[] = {
    A("ViewShowHideStdBarAction"), A("ViewShowHideStateAction"), kSep, A("ViewShowAllFilesAction"), kSep,
    A("ViewOptionAction"),
};
constexpr TBarItem kHelpMenu[] = {
    A("HelpTopicAction"), A("HelpTipAction"), kSep, A("HelpAboutAction"), kSep, A("HelpVisitAction"),
};
constexpr TBarItem kStandardBar[] = {
    C("TasksNewAction"),
    A("TasksDeleteAction"),
    kSep,
    A("TasksImportAction"),
    kSep,
    C("TasksRunAction"),
    A("TasksStopAction"),
    kSep,
    C("TasksCollectAction"),
    C("TasksLibraryAction"),
    kSep,
    C("ImagesSetWallpaperAction"),
    A("ImagesOpenFolderAction"),
    C("ImagesFitAction"),
    kSep,
    A("HelpTopicAction"),
};
constexpr TBarItem kImageBar[] = {
    C("ImagesCopyToAction"),
    A("ImagesMoveToAction"),
    kSep,
    A("ImagesDeleteAction"),
    C("ImagesDeleteAllAction"),
    C("ImagesDeleteByAction"),
    kSep,
    C("ImagesSetWallpaperAction"),
    A("ImagesOpenFolderAction"),
    kSep,
    C("ImagesFitAction"),
};
constexpr TBarItem kTreePopup[] = {
    A("TasksNewAction"),
    A("TasksNewFolderAction"),
    kSep,
    A("TasksImportAction"),
    kSep,
    A("TasksDeleteAction"),
    A("TasksPropAction"),
    kSep,
    A("TasksRunAction"),
    A("TasksStopAction"),
    kSep,
    A("TasksCollectAction"),
    A("TasksSaveURLAction"),
    kSep,
    A("TasksRestartAction"),
    A("TasksStopAllAction"),
    kSep,
    A("TasksRefreshAction"),
};
constexpr TBarItem kTrayPopup[] = {
    A("TasksNewAction"),
    A("TasksStopAllAction"),
    kSep,
    A("TasksCollectAction"),
    A("TasksLibraryAction"),
    kSep,
    A("ViewOptionAction"),
    kSep,
    A("TasksExitAction"),
};

constexpr TBarSpec kMenus[] = {
    {"TasksMenu", "Tasks", kTasksMenu},
    {"ImagesMenu", "Images", kImagesMenu},
    {"ViewMenu", "View", kViewMenu},
    {"HelpMenu", "Help", kHelpMenu},
};
// The images list's pop-up menu holds the items of the image tool bar.
constexpr TBarSpec kBars[] = {
    {"StandardToolBar", "", kStandardBar}, {"ImageToolBar", "", kImageBar},   {"TasksTreePopupMenu", "", kTreePopup},
    {"ImagesPopupMenu", "", kImageBar},    {"TrayPopupMenu", "", kTrayPopup},
};

}  // namespace

std::span<const TActionSpec> ActionTable() { return kActions; }
std::span<const TBarSpec> MenuTable() { return kMenus; }
std::span<const TBarSpec> BarTable() { return kBars; }

const TActionSpec* FindActionSpec(const char* name) {
  for (const TActionSpec& spec : kActions)
    if (std::strcmp(spec.Name, name) == 0) return &spec;
  return nullptr;
}

}  // namespace vdk
