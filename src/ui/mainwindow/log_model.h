#pragma once

#include <QAbstractListModel>
#include <QTimer>
#include <deque>
#include <string>
#include <vector>

#include "core/run/views.h"

class QAbstractItemView;

namespace vdk {

// The log shared by every task: one row per line, keeping the last
// kMaxLines lines (older ones are dropped from memory). Lines are gathered
// and shown in one change per short interval, so a crawl that logs thousands
// of lines a second costs the GUI thread one insertion per interval. Used on
// the GUI thread only.
class TLogModel : public QAbstractListModel, public TLogView {
  Q_OBJECT

 public:
  static constexpr int kMaxLines = 100000;
  static constexpr int kFlushMilliseconds = 50;

  explicit TLogModel(QObject* parent = nullptr, int maxLines = kMaxLines);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // TLogView: the line is shown at the next flush.
  void AppendLine(const std::string& line) override;
  // Shows the gathered lines now.
  void Flush();
  // The retained lines, oldest first, those not shown yet included.
  std::vector<std::string> Lines() const;

 private:
  int maxLines_;
  std::deque<std::string> lines_;
  std::vector<std::string> pending_;
  QTimer flushTimer_;
};

// Keeps the view scrolled to its last row while new rows arrive, as long as
// the user has not scrolled away from the end.
void FollowLastRow(QAbstractItemView* view);

}  // namespace vdk
