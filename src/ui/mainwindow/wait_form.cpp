#include "ui/mainwindow/wait_form.h"

#include <QGuiApplication>
#include <QScreen>

#include "ui_wait_form.h"

namespace vdk {

TWaitForm::TWaitForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TWaitForm>()) {
  ui_->setupUi(this);
  QFont bold = ui_->MessageLabel->font();
  bold.setBold(true);
  ui_->MessageLabel->setFont(bold);
  resize(QSize(166, 83).expandedTo(sizeHint()));
}

TWaitForm::~TWaitForm() = default;

void TWaitForm::ShowWaitMessage(const QString& text) {
  ui_->MessageLabel->setText(text);
  adjustSize();
  resize(size().expandedTo(QSize(166, 83)));
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  ++timesShown_;
  show();
  raise();
  repaint();
}

QString TWaitForm::Message() const { return ui_->MessageLabel->text(); }

}  // namespace vdk
