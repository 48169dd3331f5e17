#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <unordered_map>
#include <vector>

#include "ui/imageview/jpeg_panel.h"
#include "ui/imageview/thumbnail_loader.h"

namespace vdk {

// The thumbnail browser: a scrolling grid of square cells, one per file of
// Files(), PictureWidth wide with SplitterWidth after each cell to the right
// and below. BuildPanels lays the grid out for the browser's width. Each
// file's thumbnail is decoded once by a bounded loader, the visible cells
// first, and kept as a copy scaled to the cell; laying the grid out again
// (after every resize) reuses the thumbnails and the loads under way, and
// loads for cells that are gone are cancelled once the event loop turns.
class TJpegBrowser : public QAbstractScrollArea {
  Q_OBJECT
 public:
  using TJpegPanels = std::vector<std::unique_ptr<TJpegPanel>>;

  static constexpr int kDefaultPictureWidth = 100;
  static constexpr int kDefaultSplitterWidth = 10;

  explicit TJpegBrowser(QWidget* parent = nullptr, int loaderThreads = TThumbnailLoader::DefaultThreads());
  ~TJpegBrowser() override;

  int PictureWidth() const { return pictureWidth_; }
  // A new cell size drops the thumbnails made for the old one.
  void SetPictureWidth(int width);
  int SplitterWidth() const { return splitterWidth_; }
  void SetSplitterWidth(int width) { splitterWidth_ = width; }

  // Appends the path unless it is there already (compared without regard to
  // letter case).
  void AddFile(const QString& path);
  const QStringList& Files() const { return files_; }
  const TJpegPanels& Panels() const { return panels_; }
  TJpegPanel* Selected() const { return selected_; }

  // No cell selected; every cell freed (their loads stop unless the grid is
  // laid out again at once).
  void ClearPanels();
  // Empties the file list and forgets the thumbnails.
  void ClearFiles();
  void UnselectAll();
  // Frees one cell; the other cells keep their places and indexes, and the
  // file stays in Files().
  void RemovePanel(TJpegPanel* panel);
  // Lays the grid out again: one cell per file, row by row.
  void BuildPanels();
  // Cells per row: the width div (PictureWidth + SplitterWidth).
  int Columns() const;

  TJpegPanel* PanelAt(QPoint viewportPosition) const;
  TThumbnailLoader& Loader() { return loader_; }
  // Called by a cell whose look changed.
  void RepaintPanel(const TJpegPanel* panel);

 signals:
  // A left press on a cell that was not selected (it is selected then).
  void PanelClick(vdk::TJpegPanel* panel);
  void PanelDoubleClick(vdk::TJpegPanel* panel);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // A file's thumbnail, made for the current cell size.
  struct TThumb {
    bool requested = false;
    bool loaded = false;
    QImage image;
    QSize pictureSize;
  };

  void StartLoading(TJpegPanel& panel);
  void ThumbnailLoaded(TThumbnailLoader::Key key, const QImage& image, QSize pictureSize);
  void CancelOrphans();
  void PrioritizeVisible();
  void UpdateScrollRange();
  QSize ThumbnailSize() const;
  QRect VisibleContent() const;

  int pictureWidth_ = kDefaultPictureWidth;
  int splitterWidth_ = kDefaultSplitterWidth;
  QStringList files_;
  QSet<QString> foldedFiles_;  // files_ in lower case, for AddFile
  TJpegPanels panels_;
  std::unordered_map<int, TJpegPanel*> panelOfFile_;
  std::unordered_map<int, TThumb> thumbs_;  // by file index
  TJpegPanel* selected_ = nullptr;
  int contentHeight_ = 0;
  QTimer orphanTimer_;
  QTimer visibleTimer_;
  TThumbnailLoader loader_;
};

}  // namespace vdk
