#include <QApplication>
#include <QtTest>

#include "app/AdminOptions.h"
#include "app/Colour.h"
#include "app/NewPasswordDlg.h"
#include "app/OptionsFile.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"

using namespace proctorium;
using testkit::TMessageScript;
using testkit::TModalScript;
using testkit::TTempProgramFolder;

namespace {

TOptionsRecord WithPassword(const std::string& plain) {
  TOptionsRecord o;
  o.AdminPassword = Scramble(UpperAscii(plain));
  o.ScreenColour = 0x00336699u;
  return o;
}

// Types text into the prompt and presses OK.
TModalScript::TStep EnterPassword(const QString& text) {
  return [text](QDialog* d) {
    auto* dlg = qobject_cast<TPasswordDlg*>(d);
    dlg->EditPassword->setText(text);
    return TModalScript::Click(d, "btnOk");
  };
}

TModalScript::TStep NewPassword(const QString& password, const QString& confirmation) {
  return [password, confirmation](QDialog* d) {
    auto* dlg = qobject_cast<TNewPasswordDlg*>(d);
    dlg->NewPassword->setText(password);
    dlg->ConfirmPassword->setText(confirmation);
    return TModalScript::Click(d, "btnOk");
  };
}

struct TBoxes {
  bool Answers, Clear, Score, Edits, Delete;
  std::uint32_t Colour;
  bool operator==(const TBoxes&) const = default;
};

TBoxes Boxes() {
  return {AdminOptions->cbEnableAnswers->isChecked(),      AdminOptions->cbEnableClearResults->isChecked(),
          AdminOptions->cbEnableRunningScore->isChecked(), AdminOptions->cbAllowEdits->isChecked(),
          AdminOptions->cbDeletePermitted->isChecked(),    AdminOptions->panelColour->Color()};
}

void FlipEverything() {
  for (QCheckBox* cb :
       {AdminOptions->cbEnableAnswers, AdminOptions->cbEnableClearResults, AdminOptions->cbEnableRunningScore,
        AdminOptions->cbAllowEdits, AdminOptions->cbDeletePermitted})
    cb->click();
  AdminOptions->panelColour->SetColor(0x00010203u);
}

}  // namespace

class AdminOptionsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TTempProgramFolder> folder;

  void Start(const TOptionsRecord& o) {
    folder = std::make_unique<TTempProgramFolder>(o);
    folder->CreateForms();
    StartForm->show();
  }

 private slots:
  void cleanup() { folder.reset(); }

  void passwordInAnyLetterCase_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same") << "secret"
                          << "secret" << true;
    QTest::newRow("capitals") << "secret"
                              << "SECRET" << true;
    QTest::newRow("mixed") << "SeCrEt"
                           << "sEcReT" << true;
    QTest::newRow("wrong") << "secret"
                           << "secrets" << false;
    QTest::newRow("empty accepts empty") << ""
                                         << "" << true;
    QTest::newRow("empty refuses text") << ""
                                        << "x" << false;
  }
  void passwordInAnyLetterCase() {
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    Start(WithPassword(stored.toStdString()));
    TMessageScript messages;
    TModalScript modals;
    if (accepted) {
      modals.Expect("PasswordDlg", EnterPassword(typed));
      modals.Expect("AdminOptions", [](QDialog* d) { return TModalScript::Click(d, "btnCancel"); });
    } else {
      messages.Expect("Password incorrect", TMsgDlgType::Warning, mbOK);
      modals.Expect("PasswordDlg", [typed](QDialog* d) {
        auto* dlg = qobject_cast<TPasswordDlg*>(d);
        dlg->EditPassword->setText(typed);
        const int result = TModalScript::Click(d, "btnOk");
        // Still open, with the attempt selected for retyping.
        const bool kept = dlg->isVisible() && dlg->EditPassword->selectedText() == typed;
        return kept && result == mrNone ? TModalScript::Click(d, "btnCancel") : -1;
      });
    }
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  void promptStartsEmptyEachTime() {
    Start(WithPassword("pw"));
    TModalScript modals;
    modals.Expect("PasswordDlg", [](QDialog* d) {
      qobject_cast<TPasswordDlg*>(d)->EditPassword->setText("left over");
      return TModalScript::Click(d, "btnCancel");
    });
    modals.Expect("PasswordDlg", [](QDialog* d) {
      auto* dlg = qobject_cast<TPasswordDlg*>(d);
      return dlg->EditPassword->text().isEmpty() && dlg->windowTitle() == "Adminstrator Options" ? mrCancel : -1;
    });
    StartForm->AdministratorClick();
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
  }

  void okSavesWhatTheDialogShows() {
    Start(WithPassword(""));
    const TBoxes before = Boxes();
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword(""));
    modals.Expect("AdminOptions", [](QDialog* d) {
      FlipEverything();
      return TModalScript::Click(d, "btnOk");
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    const TOptionsRecord o = folder->ReadOptions();
    QCOMPARE(o.EnableAnswers, !before.Answers);
    QCOMPARE(o.EnableClearResults, !before.Clear);
    QCOMPARE(o.EnableRunningScore, !before.Score);
    QCOMPARE(o.AllowEdits, !before.Edits);
    QCOMPARE(o.DeletePermitted, !before.Delete);
    QCOMPARE(o.ScreenColour, 0x00010203u);
    // The start window follows at once.
    QCOMPARE(!StartForm->btnAdd->isHidden(), o.AllowEdits);
  }

  void cancelRestoresEveryBoxAndTheColour() {
    Start(WithPassword(""));
    const TBoxes before = Boxes();
    const TOptionsRecord stored = folder->ReadOptions();
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword(""));
    modals.Expect("AdminOptions", [](QDialog* d) {
      FlipEverything();
      return TModalScript::Click(d, "btnCancel");
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    QVERIFY(Boxes() == before);
    QCOMPARE(AdminOptions->panelColour->Color(), 0x00336699u);
    QVERIFY(folder->ReadOptions() == stored);
  }

  void closeButtonCountsAsCancel() {
    Start(WithPassword(""));
    const TBoxes before = Boxes();
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword(""));
    modals.Expect("AdminOptions", [](QDialog* d) {
      FlipEverything();
      d->reject();
      return d->result();
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    QVERIFY(Boxes() == before);
  }

  void defaultsThenCancelChangesNothing() {
    TOptionsRecord o = WithPassword("");
    o.EnableAnswers = false;
    o.EnableClearResults = true;
    o.DeletePermitted = true;
    o.AllowEdits = true;
    o.EnableRunningScore = false;
    Start(o);
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword(""));
    modals.Expect("AdminOptions", [](QDialog* d) {
      TModalScript::Click(d, "btnDefault");
      const bool defaults = Boxes() == TBoxes{true, false, true, false, false, 0x00336699u};
      return defaults ? TModalScript::Click(d, "btnCancel") : -1;
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    QVERIFY(folder->ReadOptions() == o);
    QVERIFY((Boxes() == TBoxes{false, true, false, true, true, 0x00336699u}));
  }

  void defaultsThenOkKeepColourAndPassword() {
    TOptionsRecord o = WithPassword("keep");
    o.AllowEdits = true;
    o.DeletePermitted = true;
    Start(o);
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword("KEEP"));
    modals.Expect("AdminOptions", [](QDialog* d) {
      TModalScript::Click(d, "btnDefault");
      return TModalScript::Click(d, "btnOk");
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    const TOptionsRecord saved = folder->ReadOptions();
    QCOMPARE(saved.AllowEdits, false);
    QCOMPARE(saved.DeletePermitted, false);
    QCOMPARE(saved.EnableAnswers, true);
    QCOMPARE(saved.ScreenColour, 0x00336699u);
    QCOMPARE(saved.AdminPassword, Scramble("KEEP"));
  }

  void deletePermittedIsGreyedButKeepsItsMark() {
    TOptionsRecord o = WithPassword("");
    o.AllowEdits = true;
    o.DeletePermitted = true;
    Start(o);
    QVERIFY(AdminOptions->cbDeletePermitted->isEnabled());
    AdminOptions->cbAllowEdits->click();
    QVERIFY(!AdminOptions->cbDeletePermitted->isEnabled());
    QVERIFY(AdminOptions->cbDeletePermitted->isChecked());
    AdminOptions->cbAllowEdits->click();
    QVERIFY(AdminOptions->cbDeletePermitted->isEnabled());
    QVERIFY(AdminOptions->cbDeletePermitted->isChecked());
  }

  void changePasswordSavesAtOnce() {
    Start(WithPassword("old"));
    const TBoxes before = Boxes();
    TMessageScript messages;
    messages.Expect("New password and confirmation differ", TMsgDlgType::Warning, mbOK);
    messages.Expect("Password changed", TMsgDlgType::Information, mbOK);
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword("old"));
    modals.Expect("AdminOptions", [](QDialog* d) {
      AdminOptions->cbEnableAnswers->click();  // before the change: kept
      TModalScript::Click(d, "btnChangePassword");
      AdminOptions->cbEnableRunningScore->click();  // after the change: undone by Cancel
      return TModalScript::Click(d, "btnCancel");
    });
    modals.Expect("NewPasswordDlg", [](QDialog* d) {
      auto* dlg = qobject_cast<TNewPasswordDlg*>(d);
      // Differing only in letter case is still different.
      NewPassword("New", "new")(d);
      const bool kept = dlg->isVisible() && dlg->NewPassword->text().isEmpty() &&
                        dlg->ConfirmPassword->text().isEmpty() && dlg->result() == mrNone;
      return kept ? NewPassword("New", "New")(d) : -1;
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    const TOptionsRecord saved = folder->ReadOptions();
    QCOMPARE(saved.AdminPassword, Scramble("NEW"));
    QCOMPARE(saved.EnableAnswers, !before.Answers);
    QCOMPARE(saved.EnableRunningScore, before.Score);
    QCOMPARE(AdminOptions->cbEnableRunningScore->isChecked(), before.Score);
    QCOMPARE(PasswordDlg->AdminPassword(), Scramble("NEW"));

    // Either letter case opens the prompt now; the old password does not.
    TMessageScript again;
    again.Expect("Password incorrect", TMsgDlgType::Warning, mbOK);
    TModalScript next;
    next.Expect("PasswordDlg", EnterPassword("new"));
    next.Expect("AdminOptions", [](QDialog* d) { return TModalScript::Click(d, "btnCancel"); });
    next.Expect("PasswordDlg", [](QDialog* d) {
      EnterPassword("old")(d);
      return TModalScript::Click(d, "btnCancel");
    });
    StartForm->AdministratorClick();
    StartForm->AdministratorClick();
    VERIFY_MODALS(next);
    VERIFY_MESSAGES(again);
  }

  void changePasswordCancelKeepsTheOldOne() {
    Start(WithPassword("old"));
    const TOptionsRecord stored = folder->ReadOptions();
    TModalScript modals;
    modals.Expect("NewPasswordDlg", [](QDialog* d) {
      auto* dlg = qobject_cast<TNewPasswordDlg*>(d);
      dlg->NewPassword->setText("x");
      dlg->ConfirmPassword->setText("x");
      return TModalScript::Click(d, "btnCancel");
    });
    AdminOptions->btnChangePasswordClick();
    VERIFY_MODALS(modals);
    QCOMPARE(PasswordDlg->AdminPassword(), Scramble("OLD"));
    QVERIFY(folder->ReadOptions() == stored);
  }

  void emptyNewPasswordIsAccepted() {
    Start(WithPassword("old"));
    TMessageScript messages;
    messages.Expect("Password changed", TMsgDlgType::Information, mbOK);
    TModalScript modals;
    modals.Expect("NewPasswordDlg", NewPassword("", ""));
    AdminOptions->btnChangePasswordClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    QCOMPARE(folder->ReadOptions().AdminPassword, std::string());
  }

  void colourPicker() {
    Start(WithPassword(""));
    TModalScript modals;
    modals.Expect("ColorDialog1", [](QDialog* d) {
      auto* picker = qobject_cast<QColorDialog*>(d);
      const bool offered = picker->currentColor() == QColor(0x99, 0x66, 0x33);
      picker->setCurrentColor(QColor(0x11, 0x22, 0xEE));
      picker->reject();
      return offered ? picker->result() : -1;
    });
    modals.Expect("ColorDialog1", [](QDialog* d) {
      auto* picker = qobject_cast<QColorDialog*>(d);
      picker->setCurrentColor(QColor(0x11, 0x22, 0xEE));
      picker->accept();
      return picker->result();
    });
    AdminOptions->btnScreenColor->click();
    QCOMPARE(AdminOptions->panelColour->Color(), 0x00336699u);
    AdminOptions->btnScreenColor->click();
    VERIFY_MODALS(modals);
    // Stored the Windows way round: red in the low byte.
    QCOMPARE(AdminOptions->panelColour->Color(), 0x00EE2211u);
    QCOMPARE(AdminOptions->panelColour->palette().color(QPalette::Window), QColor(0x11, 0x22, 0xEE));
  }

  void hintsFollowTheStartWindow() {
    TOptionsRecord o = WithPassword("");
    o.ShowHints = false;
    Start(o);
    TModalScript modals;
    modals.Expect("PasswordDlg", [](QDialog* d) {
      const bool off = !PasswordDlg->ShowHint();
      EnterPassword("")(d);
      return off ? d->result() : -1;
    });
    modals.Expect("AdminOptions",
                  [](QDialog* d) { return !AdminOptions->ShowHint() ? TModalScript::Click(d, "btnCancel") : -1; });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
  }

  void colourValues_data() {
    QTest::addColumn<uint>("value");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("green") << 0x0000FF00u << QColor(0, 255, 0);
    QTest::newRow("blue") << 0x00FF0000u << QColor(0, 0, 255);
    QTest::newRow("mixed") << 0x00123456u << QColor(0x56, 0x34, 0x12);
    QTest::newRow("system window") << 0x80000005u << QApplication::palette().color(QPalette::Base);
    QTest::newRow("system button face") << 0x8000000Fu << QApplication::palette().color(QPalette::Button);
    QTest::newRow("system highlight") << 0x8000000Du << QApplication::palette().color(QPalette::Highlight);
  }
  void colourValues() {
    QFETCH(uint, value);
    QFETCH(QColor, colour);
    QCOMPARE(ColourToQColor(value), colour);
    if (!(value & 0x80000000u)) QCOMPARE(QColorToColour(colour), std::uint32_t(value));
  }
};

QTEST_MAIN(AdminOptionsTest)
#include "AdminOptions_test.moc"
