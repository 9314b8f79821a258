#pragma once
// Scripts modal windows for a test. Each queued step receives the window
// when the program "shows it modally" (it is shown, its show handler has
// run) and returns the window's result; for example it fills a box, clicks
// OK and returns the dialog's result().

#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

namespace proctorium::testkit {

class TModalScript {
 public:
  using TStep = std::function<int(QDialog*)>;
  TModalScript();
  ~TModalScript();
  TModalScript(const TModalScript&) = delete;
  TModalScript& operator=(const TModalScript&) = delete;

  // The next modal window must have this objectName.
  TModalScript& Expect(const QString& objectName, TStep step);
  // Clicks the child button of that name and returns the window's result.
  static int Click(QDialog* dlg, const char* buttonName);
  // Steps that close the window with result, or by clicking a button.
  static TStep Return(int result);
  static TStep Press(const char* buttonName);

  QString Verify() const;

 private:
  int OnModal(QDialog* dlg);
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
