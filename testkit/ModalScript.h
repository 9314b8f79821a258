#pragma once
// Scripts modal windows for a test. Each queued step receives the window
// when the program "shows it modally" (it is shown, its show handler has
// run) and returns the window's result; for example it fills a box, clicks
// OK and returns the dialog's result().

#include <QAbstractButton>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "base/ModalSeam.h"

namespace proctorium::testkit {

class TModalScript {
 public:
  using TStep = std::function<int(QDialog*)>;
  TModalScript() {
    SetModalHook([this](QDialog* dlg) { return OnModal(dlg); });
  }
  ~TModalScript() { SetModalHook(nullptr); }
  TModalScript(const TModalScript&) = delete;
  TModalScript& operator=(const TModalScript&) = delete;

  // The next modal window must have this objectName.
  TModalScript& Expect(const QString& objectName, TStep step) {
    Queue_.push_back({objectName, std::move(step)});
    return *this;
  }
  // Clicks the child button of that name and returns the window's result.
  static int Click(QDialog* dlg, const char* buttonName) {
    if (auto* b = dlg->findChild<QAbstractButton*>(QString::fromLatin1(buttonName))) b->click();
    return dlg->result();
  }
  // Steps that close the window with result, or by clicking a button.
  static TStep Return(int result) {
    return [result](QDialog*) { return result; };
  }
  static TStep Press(const char* buttonName) {
    return [buttonName](QDialog* dlg) { return Click(dlg, buttonName); };
  }

  QString Verify() const {
    QStringList all = Errors_;
    for (const auto& e : Queue_) all << QStringLiteral("modal window %1 never opened").arg(e.Name);
    return all.join(QStringLiteral("; "));
  }

 private:
  int OnModal(QDialog* dlg) {
    if (Queue_.empty()) {
      Errors_ << QStringLiteral("unexpected modal window %1").arg(dlg->objectName());
      return 0;
    }
    TExpected e = std::move(Queue_.front());
    Queue_.pop_front();
    if (e.Name == dlg->objectName()) return e.Step(dlg);
    Errors_ << QStringLiteral("expected modal window %1 but %2 opened").arg(e.Name, dlg->objectName());
    return 0;
  }
  struct TExpected {
    QString Name;
    TStep Step;
  };
  std::deque<TExpected> Queue_;
  QStringList Errors_;
};

}  // namespace proctorium::testkit

#define VERIFY_MODALS(script)                                                   \
  do {                                                                          \
    const QString proctoriumModalError = (script).Verify();                     \
    QVERIFY2(proctoriumModalError.isEmpty(), qPrintable(proctoriumModalError)); \
  } while (0)
