#pragma once

#include <QWidget>
#include <memory>

#include "core/model/reg_options.h"

namespace Ui {
class TWebSitePage;
}

namespace vdk {

// The "Web site" page of the Options and Task dialogs: the crawl depth and
// the excluded file names of a TRegOptions.
class TWebSitePage : public QWidget {
  Q_OBJECT

 public:
  explicit TWebSitePage(QWidget* parent = nullptr);
  ~TWebSitePage() override;

  void Fill(const TRegOptions& options);
  void Store(TRegOptions& options) const;

 private:
  void AddExclude();

  std::unique_ptr<Ui::TWebSitePage> ui_;
};

}  // namespace vdk
