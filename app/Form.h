#pragma once
// Base of the program's dialogs and secondary windows: a show handler that
// runs each time the window is shown by the program, and the window's own
// hint setting.

#include <QDialog>

namespace proctorium {

class TForm : public QDialog {
  Q_OBJECT
 public:
  explicit TForm(QWidget* parent = nullptr);

  bool ShowHint() const;
  void SetShowHint(bool on);
  void SetFontSize(int points);

 protected:
  // Runs whenever the window is shown (not when it is restored from a
  // minimised state).
  virtual void FormShow() {}
  void showEvent(QShowEvent* e) override;
};

// Hover hints of a window show only while its ShowHint is on; installed once
// on the application.
void InstallHintFilter();
void SetWindowShowHint(QWidget* window, bool on);
bool WindowShowHint(const QWidget* window);

}  // namespace proctorium
