#include "ui/imageview/jpeg_browser.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace vdk {

TJpegBrowser::TJpegBrowser(QWidget* parent, int loaderThreads) : QAbstractScrollArea(parent), loader_(loaderThreads) {
  resize(200, 200);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setBackgroundRole(QPalette::Window);
  orphanTimer_.setSingleShot(true);
  orphanTimer_.setInterval(0);
  connect(&orphanTimer_, &QTimer::timeout, this, &TJpegBrowser::CancelOrphans);
  visibleTimer_.setSingleShot(true);
  visibleTimer_.setInterval(0);
  connect(&visibleTimer_, &QTimer::timeout, this, &TJpegBrowser::PrioritizeVisible);
  connect(&loader_, &TThumbnailLoader::Loaded, this, &TJpegBrowser::ThumbnailLoaded);
}

TJpegBrowser::~TJpegBrowser() { loader_.CancelAll(); }

void TJpegBrowser::SetPictureWidth(int width) {
  if (width == pictureWidth_) return;
  pictureWidth_ = width;
  loader_.CancelAll();
  thumbs_.clear();
}

void TJpegBrowser::AddFile(const QString& path) {
  const QString folded = path.toCaseFolded();
  if (foldedFiles_.contains(folded)) return;
  foldedFiles_.insert(folded);
  files_ << path;
}

void TJpegBrowser::ClearPanels() {
  selected_ = nullptr;
  panelOfFile_.clear();
  panels_.clear();
  contentHeight_ = 0;
  orphanTimer_.start();
  viewport()->update();
}

void TJpegBrowser::ClearFiles() {
  files_.clear();
  foldedFiles_.clear();
  loader_.CancelAll();
  thumbs_.clear();
}

void TJpegBrowser::UnselectAll() {
  for (const auto& panel : panels_) panel->SetSelected(false);
}

void TJpegBrowser::RemovePanel(TJpegPanel* panel) {
  const auto found = std::find_if(panels_.begin(), panels_.end(), [panel](const auto& p) { return p.get() == panel; });
  if (found == panels_.end()) return;
  if (selected_ == panel) selected_ = nullptr;
  const QRect area = panel->Geometry();
  panelOfFile_.erase(panel->Index());
  panels_.erase(found);
  orphanTimer_.start();
  viewport()->update(area.translated(0, -verticalScrollBar()->value()));
}

int TJpegBrowser::Columns() const {
  const int step = splitterWidth_ + pictureWidth_;
  return step > 0 ? width() / step : 0;
}

void TJpegBrowser::BuildPanels() {
  ClearPanels();
  const int step = splitterWidth_ + pictureWidth_;
  const int columns = Columns();
  int column = 0, row = 0;
  panels_.reserve(files_.size());
  for (int k = 0; k < files_.size(); ++k) {
    const QRect geometry(column * step, row * step, pictureWidth_, pictureWidth_);
    panels_.push_back(std::make_unique<TJpegPanel>(this, k, files_.at(k), geometry));
    TJpegPanel& panel = *panels_.back();
    panelOfFile_[k] = &panel;
    StartLoading(panel);
    contentHeight_ = std::max(contentHeight_, geometry.bottom() + 1 + splitterWidth_);
    if (++column == columns) {
      column = 0;
      ++row;
    }
  }
  UpdateScrollRange();
  visibleTimer_.start();
}

QSize TJpegBrowser::ThumbnailSize() const {
  const int side = std::max(1, pictureWidth_ - 2 * TJpegPanel::kDefaultBorder);
  return QSize(side, side) * devicePixelRatio();
}

void TJpegBrowser::StartLoading(TJpegPanel& panel) {
  TThumb& thumb = thumbs_[panel.Index()];
  if (thumb.loaded) {
    panel.SetPicture(thumb.image, thumb.pictureSize);
    return;
  }
  if (thumb.requested) return;
  thumb.requested = true;
  loader_.Request(TThumbnailLoader::Key(panel.Index()), panel.Filename(), ThumbnailSize());
}

void TJpegBrowser::ThumbnailLoaded(TThumbnailLoader::Key key, const QImage& image, QSize pictureSize) {
  const int index = int(key);
  TThumb& thumb = thumbs_[index];
  thumb.loaded = true;
  thumb.requested = false;
  // Only the scaled copy is kept, in as few bytes as the picture needs.
  thumb.image = image.hasAlphaChannel() ? image : image.convertToFormat(QImage::Format_RGB888);
  thumb.pictureSize = image.isNull() ? QSize() : pictureSize;
  if (const auto panel = panelOfFile_.find(index); panel != panelOfFile_.end())
    panel->second->SetPicture(thumb.image, thumb.pictureSize);
}

void TJpegBrowser::CancelOrphans() {
  for (auto& [index, thumb] : thumbs_)
    if (thumb.requested && !panelOfFile_.contains(index)) {
      loader_.Cancel(TThumbnailLoader::Key(index));
      thumb.requested = false;
    }
}

QRect TJpegBrowser::VisibleContent() const {
  return QRect(QPoint(0, verticalScrollBar()->value()), viewport()->size());
}

void TJpegBrowser::PrioritizeVisible() {
  const QRect visible = VisibleContent();
  std::vector<TThumbnailLoader::Key> keys;
  for (const auto& panel : panels_)
    if (!panel->Loaded() && panel->Geometry().intersects(visible)) keys.push_back(panel->Index());
  loader_.Prioritize(keys);
}

void TJpegBrowser::UpdateScrollRange() {
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setSingleStep(std::max(1, (pictureWidth_ + splitterWidth_) / 4));
  verticalScrollBar()->setRange(0, std::max(0, contentHeight_ - viewport()->height()));
}

TJpegPanel* TJpegBrowser::PanelAt(QPoint viewportPosition) const {
  const QPoint at = viewportPosition + QPoint(0, verticalScrollBar()->value());
  for (const auto& panel : panels_)
    if (panel->Geometry().contains(at)) return panel.get();
  return nullptr;
}

void TJpegBrowser::RepaintPanel(const TJpegPanel* panel) {
  viewport()->update(panel->Geometry().translated(0, -verticalScrollBar()->value()));
}

void TJpegBrowser::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  const int top = verticalScrollBar()->value();
  painter.translate(0, -top);
  const QRect dirty = event->rect().translated(0, top);
  for (const auto& panel : panels_)
    if (panel->Geometry().intersects(dirty)) panel->Paint(painter, palette());
}

void TJpegBrowser::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
  visibleTimer_.start();
}

void TJpegBrowser::scrollContentsBy(int, int) {
  viewport()->update();
  visibleTimer_.start();
}

void TJpegBrowser::mousePressEvent(QMouseEvent* event) {
  TJpegPanel* panel = event->button() == Qt::LeftButton ? PanelAt(event->position().toPoint()) : nullptr;
  if (panel && !panel->Selected()) {
    UnselectAll();
    selected_ = panel;
    emit PanelClick(panel);
    // The handler may have cleared the grid.
    if (selected_ == panel) panel->SetSelected(true);
  }
  QAbstractScrollArea::mousePressEvent(event);
}

void TJpegBrowser::mouseDoubleClickEvent(QMouseEvent* event) {
  if (TJpegPanel* panel = PanelAt(event->position().toPoint())) emit PanelDoubleClick(panel);
  QAbstractScrollArea::mouseDoubleClickEvent(event);
}

}  // namespace vdk
