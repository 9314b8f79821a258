#pragma once
// Base of the program's dialogs and secondary windows: a show handler that
// runs each time the window is shown by the program, and the window's own
// hint setting.

#include <QDialog>
#include <functional>
#include <string>

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

// F1 opens the help page of the window in hand: the page named for that
// window, or for the nearest window it was opened over.
void SetWindowHelpPage(QWidget* window, const char* page);
std::string WindowHelpPage(const QWidget* window);
// What opens a help page (the start window's ShowHelpPage).
using THelpHandler = std::function<void(const std::string& page)>;
void SetHelpHandler(THelpHandler handler);

}  // namespace proctorium
