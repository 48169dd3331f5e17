#include "ui/mainwindow/report_model.h"

#include "core/model/task.h"
#include "ui/mainwindow/pictures.h"

namespace vdk {
namespace {

constexpr const char* kNames[] = {"Name", "URL", "Files"};
constexpr const char* kDescriptions[] = {"Name of project", "Primary URL", "Finished/Found"};

}  // namespace

int TReportModel::rowCount(const QModelIndex& parent) const { return parent.isValid() || !filled_ ? 0 : kRowCount; }
int TReportModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant TReportModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const int row = index.row();
  if (role == Qt::DecorationRole && index.column() == kNameColumn) {
    static const QIcon icon = ThemeIcon(QStringLiteral("vendrake-report"));
    return icon;
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kNameColumn:
      return QString::fromLatin1(kNames[row]);
    case kValueColumn:
      return values_[static_cast<std::size_t>(row)];
    default:
      return QString::fromLatin1(kDescriptions[row]);
  }
}

QVariant TReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kTitles[] = {"Name", "Value", "Description"};
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  return QString::fromLatin1(kTitles[section]);
}

QStringList TReportModel::Descriptions() {
  QStringList texts;
  for (const char* text : kDescriptions) texts << QString::fromLatin1(text);
  return texts;
}

QString TReportModel::FilesText(const TTask& task) {
  return QStringLiteral("%1/%2").arg(task.FinishedCount()).arg(task.Items.Count());
}

void TReportModel::FillReport(const TTask& task) {
  beginResetModel();
  values_ = {QString::fromUtf8(task.Name), QString::fromUtf8(task.URL.Text()), FilesText(task)};
  filled_ = true;
  endResetModel();
}

void TReportModel::UpdateReportFiles(const TTask& task) {
  if (!filled_) return;
  QString files = FilesText(task);
  if (files == values_[kFilesRow]) return;
  values_[kFilesRow] = std::move(files);
  emit dataChanged(index(kFilesRow, kValueColumn), index(kFilesRow, kValueColumn));
}

void TReportModel::ClearReport() {
  if (!filled_) return;
  beginResetModel();
  filled_ = false;
  values_ = {};
  endResetModel();
}

}  // namespace vdk
