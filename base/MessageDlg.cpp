#include "base/MessageDlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "base/AnsiText.h"

namespace proctorium {

namespace {

TMessageHook& Hook() {
  static TMessageHook hook;
  return hook;
}

}  // namespace

void SetMessageHook(TMessageHook hook) { Hook() = std::move(hook); }

int MessageDlg(const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton) {
  if (Hook()) return Hook()(text, type, buttons, defaultButton);
  QMessageBox box(QApplication::activeWindow());
  box.setText(text);
  // A message box is a fixed dialog: a close button only.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowCloseButtonHint);
  switch (type) {
    case TMsgDlgType::Warning:
      box.setIcon(QMessageBox::Warning);
      box.setWindowTitle(QObject::tr("Warning"));
      break;
    case TMsgDlgType::Error:
      box.setIcon(QMessageBox::Critical);
      box.setWindowTitle(QObject::tr("Error"));
      break;
    case TMsgDlgType::Information:
      box.setIcon(QMessageBox::Information);
      box.setWindowTitle(QObject::tr("Information"));
      break;
    case TMsgDlgType::Confirmation:
      box.setIcon(QMessageBox::Question);
      box.setWindowTitle(QObject::tr("Confirm"));
      break;
    case TMsgDlgType::Custom:
      box.setWindowTitle(QStringLiteral("Proctorium"));
      break;
  }
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  if (buttons & mbYes) yes = box.addButton(QMessageBox::Yes);
  if (buttons & mbNo) no = box.addButton(QMessageBox::No);
  if (buttons & mbOK) ok = box.addButton(QMessageBox::Ok);
  if (buttons & mbCancel) cancel = box.addButton(QMessageBox::Cancel);
  QPushButton* chosen = nullptr;
  switch (defaultButton) {
    case mbYes:
      chosen = yes;
      break;
    case mbNo:
      chosen = no;
      break;
    case mbOK:
      chosen = ok;
      break;
    case mbCancel:
      chosen = cancel;
      break;
    default:
      break;
  }
  if (chosen) box.setDefaultButton(chosen);
  if (no)
    box.setEscapeButton(no);
  else if (cancel)
    box.setEscapeButton(cancel);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && clicked == yes) return mrYes;
  if (clicked && clicked == no) return mrNo;
  if (clicked && clicked == ok) return mrOk;
  if (clicked && clicked == cancel) return mrCancel;
  // Closed from the title bar: the safe answer.
  if (no) return mrNo;
  if (cancel) return mrCancel;
  return mrOk;
}

void ShowMessage(const QString& text) { MessageDlg(text, TMsgDlgType::Custom, mbOK); }

void ShowException(const std::exception& e) { MessageDlg(FromAnsi(e.what()), TMsgDlgType::Error, mbOK); }

bool Guarded(const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    ShowException(e);
  }
  return false;
}

}  // namespace proctorium
