#pragma once

#include <QFileIconProvider>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <vector>

namespace vdk {

// The file-type icons of the downloaded-files list, one per extension
// (compared without regard to letter case), asked from the desktop's icon
// provider the first time an extension is seen. The list starts with the two
// sort arrows, so an extension's position is the index of its icon.
class TExtIcons {
 public:
  static constexpr int kNone = -1;
  static constexpr int kAscending = 0;
  static constexpr int kDescending = 1;

  TExtIcons();

  // The icon index for a file of that extension, asking for its icon when the
  // extension is new.
  int IndexFor(const QString& ext, const QString& path);
  QIcon Icon(int index) const;
  const QStringList& Extensions() const { return extensions_; }

 private:
  QStringList extensions_;  // "Cursor", "Cursor", then the extensions seen
  std::vector<QIcon> icons_;
  QFileIconProvider provider_;
};

}  // namespace vdk
