#include <QtTest>
#include <memory>

#include "app/ModalSeam.h"
#include "app/shell/StartForm.h"
#include "session/TimerValue.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;

namespace {

// A program folder in countdown mode with one set, its start window shown.
std::unique_ptr<testkit::TTempProgramFolder> Countdown(int minutes) {
  TOptionsRecord o;
  o.TimeMode = TTimeMode::Countdown;
  o.CountdownMinutes = minutes;
  auto folder = std::make_unique<testkit::TTempProgramFolder>(o);
  folder->WriteSet("Quiz.qst", testkit::MakeSet(1));
  folder->CreateForms();
  StartForm->show();
  return folder;
}

}  // namespace

class TimerValueTest : public QObject {
  Q_OBJECT
 private slots:
  // Cancel (the button or Esc) neither starts the test nor saves; the box
  // keeps a usable limit as the setting and drops anything else.
  void cancelDoesNotStartOrSave_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<QString>("kept");
    QTest::newRow("usable") << "30" << false << "30";
    QTest::newRow("unusable") << "soon" << false << "60";
    QTest::newRow("unusable, Esc") << "soon" << true << "60";
  }
  void cancelDoesNotStartOrSave() {
    QFETCH(QString, typed);
    QFETCH(bool, escape);
    QFETCH(QString, kept);
    auto folder = Countdown(60);
    TModalScript modals;
    modals.Expect("TimerValue", [&](QDialog* d) {
      TimerValue->edTimeLimit->setText(typed);
      if (!escape) return TModalScript::Click(d, "btnCancel");
      QTest::keyClick(TimerValue->edTimeLimit, Qt::Key_Escape);
      return d->result();
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);  // Form1 was never opened
    QCOMPARE(folder->ReadOptions().CountdownMinutes, 60);
    QCOMPARE(TimerValue->edTimeLimit->text(), kept);
    StartForm->SaveOptions();
    QCOMPARE(folder->ReadOptions().CountdownMinutes, kept.toInt());
  }

  void badTextIsRefusedAndAGoodLimitSavedBeforeTheTestStarts_data() {
    QTest::addColumn<QString>("text");
    for (const char* t : {"abc", "", "0", "-5", "2.5", "1441", "99999999999"}) QTest::newRow(t) << QString(t);
  }
  void badTextIsRefusedAndAGoodLimitSavedBeforeTheTestStarts() {
    QFETCH(QString, text);
    auto folder = Countdown(25);
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("TimerValue", [&](QDialog* d) {
      TimerValue->edTimeLimit->setText(text);
      messages.Expect("Please enter the time limit as a whole number of minutes from 1 to 1440.", TMsgDlgType::Warning,
                      mbOK);
      TimerValue->btnOk->click();
      [&] {
        QVERIFY(d->isVisible());
        QCOMPARE(TimerValue->edTimeLimit->text(), QString("25"));
        QCOMPARE(folder->ReadOptions().CountdownMinutes, 25);
        QCOMPARE(TimerValue->pos(), StartForm->pos() + StartForm->btnStart->mapTo(StartForm, QPoint(0, -64)));
      }();
      TimerValue->edTimeLimit->setText(" 45 ");
      return TModalScript::Click(d, "btnOk");
    });
    modals.Expect("Form1", [&](QDialog* d) {
      [&] { QCOMPARE(folder->ReadOptions().CountdownMinutes, 45); }();
      return d->result();  // leave the test at once; nothing more to check here
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(TimerValue->Minutes(), 45);
  }
};

QTEST_MAIN(TimerValueTest)
#include "TimerValue_test.moc"
