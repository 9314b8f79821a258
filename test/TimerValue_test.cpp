#include <QtTest>

#include "app/ModalSeam.h"
#include "app/StartForm.h"
#include "test/TimerValue.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;

class TimerValueTest : public QObject {
  Q_OBJECT
 private slots:
  void okSavesTheMinutesBeforeTheTestStarts() {
    TOptionsRecord o;
    o.TimeMode = 0;
    testkit::TTempProgramFolder folder(o);
    folder.WriteSet("Quiz.qst", testkit::MakeSet(1));
    folder.CreateForms();
    StartForm->show();
    TMessageScript messages;
    TModalScript modals;
    modals.Expect("TimerValue", [&](QDialog* d) {
      [&] {
        QCOMPARE(TimerValue->edTimeLimit->text(), QString("60"));
        QCOMPARE(TimerValue->pos(), StartForm->pos() + StartForm->btnStart->mapTo(StartForm, QPoint(0, -64)));
      }();
      TimerValue->edTimeLimit->setText(" 45 ");
      return TModalScript::Click(d, "btnOk");
    });
    modals.Expect("Form1", [&](QDialog* d) {
      [&] { QCOMPARE(folder.ReadOptions().CountdownMinutes, 45); }();
      return d->result();  // leave the test at once; nothing more to check here
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    QCOMPARE(TimerValue->Minutes(), 45);
  }

  void cancelDoesNotStartOrSave() {
    TOptionsRecord o;
    o.TimeMode = 0;
    testkit::TTempProgramFolder folder(o);
    folder.WriteSet("Quiz.qst", testkit::MakeSet(1));
    folder.CreateForms();
    StartForm->show();
    TModalScript modals;
    modals.Expect("TimerValue", [](QDialog* d) {
      TimerValue->edTimeLimit->setText("30");
      return TModalScript::Click(d, "btnCancel");
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);  // Form1 was never opened
    QCOMPARE(folder.ReadOptions().CountdownMinutes, 60);
    QCOMPARE(TimerValue->edTimeLimit->text(), QString("30"));  // the box is the setting
  }

  void textThatIsNoUsableLimitIsRefused_data() {
    QTest::addColumn<QString>("text");
    for (const char* t : {"abc", "", "0", "-5", "2.5", "1441", "99999999999"}) QTest::newRow(t) << QString(t);
  }
  void textThatIsNoUsableLimitIsRefused() {
    QFETCH(QString, text);
    TOptionsRecord o;
    o.TimeMode = 0;
    o.CountdownMinutes = 25;
    testkit::TTempProgramFolder folder(o);
    folder.WriteSet("Quiz.qst", testkit::MakeSet(1));
    folder.CreateForms();
    StartForm->show();
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
      }();
      return TModalScript::Click(d, "btnCancel");
    });
    StartForm->btnStartClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(folder.ReadOptions().CountdownMinutes, 25);
  }

  void invalidTextIsNotLeftForTheNextSave() {
    testkit::TTempProgramFolder folder;
    folder.WriteSet("Quiz.qst", testkit::MakeSet(1));
    folder.CreateForms();
    StartForm->show();
    TModalScript modals;
    modals.Expect("TimerValue", [](QDialog* d) {
      TimerValue->edTimeLimit->setText("soon");
      return TModalScript::Click(d, "btnCancel");
    });
    ExecModal(TimerValue);
    VERIFY_MODALS(modals);
    QCOMPARE(TimerValue->edTimeLimit->text(), QString("60"));
    StartForm->SaveOptions();
    QCOMPARE(folder.ReadOptions().CountdownMinutes, 60);
  }
};

QTEST_MAIN(TimerValueTest)
#include "TimerValue_test.moc"
