#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>

class QWidget;

namespace vdk {

// Every modal message box of the program goes through one TMessageBoxes, so a
// test can put a recording fake in its place and answer the boxes without a
// modal loop. Used on the GUI thread only.
class TMessageBoxes {
 public:
  virtual ~TMessageBoxes() = default;
  virtual QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                           const QString& text, QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) = 0;
};

// The boxes in use: real QMessageBoxes unless a test replaced them.
TMessageBoxes& MessageBoxes();
// Puts boxes in place of the current ones (null: the real ones) and returns
// the boxes it replaced, so a test can restore them.
std::unique_ptr<TMessageBoxes> SetMessageBoxes(std::unique_ptr<TMessageBoxes> boxes);

// The program's kinds of box, with their fixed captions and icons.
// "Error": a refusal or failure, error icon, OK.
void ShowError(QWidget* parent, const QString& text);
// "Information": a notice, information icon, OK.
void ShowInformation(QWidget* parent, const QString& text);
// "Confirm": a destructive task operation, question icon, Yes and No; true on Yes.
bool AskConfirm(QWidget* parent, const QString& text);
// "Question" with the given buttons: deletions and long operations.
QMessageBox::StandardButton AskQuestion(QWidget* parent, const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);
// "Wait": the program is busy with what the user asked for.
void ShowWait(QWidget* parent, const QString& text);

}  // namespace vdk
