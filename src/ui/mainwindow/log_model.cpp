#include "ui/mainwindow/log_model.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <algorithm>

namespace vdk {

TLogModel::TLogModel(QObject* parent, int maxLines) : QAbstractListModel(parent), maxLines_(maxLines) {
  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(kFlushMilliseconds);
  connect(&flushTimer_, &QTimer::timeout, this, &TLogModel::Flush);
}

int TLogModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant TLogModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return QString::fromUtf8(lines_[static_cast<std::size_t>(index.row())]);
}

void TLogModel::AppendLine(const std::string& line) {
  pending_.push_back(line);
  if (!flushTimer_.isActive()) flushTimer_.start();
}

void TLogModel::Flush() {
  flushTimer_.stop();
  if (pending_.empty()) return;
  const std::size_t max = static_cast<std::size_t>(maxLines_);
  // Of a burst longer than the cap only its last lines can stay.
  auto first = pending_.begin();
  if (pending_.size() > max) first = pending_.end() - static_cast<std::ptrdiff_t>(max);
  const std::size_t adding = static_cast<std::size_t>(pending_.end() - first);
  const std::size_t dropping = std::min(lines_.size(), lines_.size() + adding > max ? lines_.size() + adding - max : 0);
  if (dropping > 0) {
    beginRemoveRows({}, 0, static_cast<int>(dropping) - 1);
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(dropping));
    endRemoveRows();
  }
  const int at = rowCount();
  beginInsertRows({}, at, at + static_cast<int>(adding) - 1);
  lines_.insert(lines_.end(), std::make_move_iterator(first), std::make_move_iterator(pending_.end()));
  endInsertRows();
  pending_.clear();
}

std::vector<std::string> TLogModel::Lines() const {
  std::vector<std::string> all(lines_.begin(), lines_.end());
  all.insert(all.end(), pending_.begin(), pending_.end());
  const std::size_t max = static_cast<std::size_t>(maxLines_);
  if (all.size() > max) all.erase(all.begin(), all.end() - static_cast<std::ptrdiff_t>(max));
  return all;
}

void FollowLastRow(QAbstractItemView* view) {
  auto atEnd = std::make_shared<bool>(true);
  QScrollBar* bar = view->verticalScrollBar();
  QObject::connect(bar, &QScrollBar::valueChanged, view, [atEnd, bar](int value) { *atEnd = value >= bar->maximum(); });
  QObject::connect(view->model(), &QAbstractItemModel::rowsInserted, view, [atEnd, view] {
    if (*atEnd) view->scrollToBottom();
  });
}

}  // namespace vdk
