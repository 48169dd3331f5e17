#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

namespace vdk {

// A list of files shown by name, each with a check box, checked at first.
// GUI thread only.
class TCheckedFilesModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit TCheckedFilesModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetFiles(std::vector<std::string> paths);
  const std::string& Path(int row) const { return paths_.at(std::size_t(row)); }
  std::vector<std::string> CheckedPaths() const;

 private:
  std::vector<std::string> paths_;
  std::vector<bool> checked_;
};

}  // namespace vdk
