#include <QApplication>
#include <QtTest>

#include "app/Colour.h"
#include "app/core/OptionsFile.h"
#include "app/shell/AdminOptions.h"
#include "app/shell/NewPasswordDlg.h"
#include "app/shell/PasswordDlg.h"
#include "app/shell/StartForm.h"
#include "testkit/MessageScript.h"
#include "testkit/ModalScript.h"
#include "testkit/TempProgramFolder.h"
#include "testkit/core/FileSizeLimit.h"

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

// Types text into the prompt and presses OK. The prompt must open empty,
// whatever was typed into it the time before.
TModalScript::TStep EnterPassword(const QString& text) {
  return [text](QDialog* d) {
    auto* edit = qobject_cast<TPasswordDlg*>(d)->EditPassword;
    if (!edit->text().isEmpty()) return -1;
    edit->setText(text);
    return TModalScript::Click(d, "btnOk");
  };
}

TModalScript::TStep NewPassword(const QString& password, const QString& confirmation, const QString& button = "btnOk") {
  return [=](QDialog* d) {
    auto* dlg = qobject_cast<TNewPasswordDlg*>(d);
    dlg->NewPassword->setText(password);
    dlg->ConfirmPassword->setText(confirmation);
    return TModalScript::Click(d, qPrintable(button));
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

TBoxes Boxes(const TOptionsRecord& o) {
  return {o.EnableAnswers, o.EnableClearResults, o.EnableRunningScore, o.AllowEdits, o.DeletePermitted, o.ScreenColour};
}

}  // namespace

class AdminOptionsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TTempProgramFolder> folder;

  void Start(const TOptionsRecord& o) {
    folder = std::make_unique<TTempProgramFolder>(o);
    folder->ShowStartWindow();
  }

 private slots:
  void cleanup() { folder.reset(); }

  void damagedOptionsKeepTheAdministratorOptionsClosed_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << QByteArray::fromStdString(EncodeOptions(WithPassword("secret")).substr(0, 30));
    std::string longer = EncodeOptions(WithPassword("secret"));
    longer[26] = 100;  // a password length beyond the end
    QTest::newRow("length past the end") << QByteArray::fromStdString(longer);
  }
  void damagedOptionsKeepTheAdministratorOptionsClosed() {
    QFETCH(QByteArray, file);
    folder = std::make_unique<TTempProgramFolder>(WithPassword("secret"));
    folder->WriteFile("Proctorium.opt", file.toStdString());
    folder->CreateForms();
    TMessageScript messages;
    messages.Answer(mrOk);  // the damage, told at start-up
    messages.Answer(mrOk);  // a setting changed: not saved
    messages.Answer(mrOk);  // the way to the administrator options: refused
    TModalScript modals;    // no password prompt may open
    StartForm->show();
    StartForm->ShowHints1->trigger();
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    for (const auto& shown : messages.Shown())
      QVERIFY2(shown.Text.contains("copy Proctorium.opt from the installation or from a backup"),
               qPrintable(shown.Text));
    QCOMPARE(messages.Shown()[0].Type, TMsgDlgType::Error);
    QCOMPARE(QByteArray::fromStdString(folder->ReadFile("Proctorium.opt")), file);  // no empty password stored

    // Restored: the administrator options open with the real password again.
    folder->WriteOptions(WithPassword("secret"));
    modals.Expect("PasswordDlg", EnterPassword("secret"));
    modals.Expect("AdminOptions", TModalScript::Press("btnCancel"));
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
  }

  void passwordChangeThatCannotBeStoredIsNotReportedDone() {
    Start(WithPassword("old"));
    TMessageScript messages;
    messages.Answer(mrOk);
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword("old"));
    modals.Expect("AdminOptions", [](QDialog* d) {
      TModalScript::Click(d, "btnChangePassword");
      return TModalScript::Click(d, "btnCancel");
    });
    modals.Expect("NewPasswordDlg", [](QDialog* d) {
      {
        testkit::TFileSizeLimit fullDisk(0);
        NewPassword("new", "new")(d);
      }
      return d->isVisible() ? TModalScript::Click(d, "btnCancel") : -1;
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    QCOMPARE(messages.Shown().size(), size_t(1));
    QVERIFY2(messages.Shown()[0].Text.startsWith("Cannot create file " +
                                                 QString::fromStdString(folder->Path("Proctorium.opt")) + ": "),
             qPrintable(messages.Shown()[0].Text));
    QCOMPARE(PasswordDlg->AdminPassword(), Scramble("OLD"));
    QCOMPARE(folder->ReadOptions().AdminPassword, Scramble("OLD"));
  }

  void passwordInAnyLetterCase_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("mixed") << QString("SeCrEt") << QString("sEcReT") << true;
    QTest::newRow("wrong") << QString("secret") << QString("secrets") << false;
    QTest::newRow("empty accepts empty") << QString() << QString() << true;
    QTest::newRow("empty refuses text") << QString() << QString("x") << false;
  }
  void passwordInAnyLetterCase() {
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    Start(WithPassword(stored.toStdString()));
    TModalScript modals;
    modals.Expect("PasswordDlg", [typed, accepted](QDialog* d) {
      auto* edit = qobject_cast<TPasswordDlg*>(d)->EditPassword;
      edit->setText(typed);
      const int result = TModalScript::Click(d, "btnOk");
      if (accepted) return result;
      // Still open, with the attempt selected for retyping.
      const bool kept = result == mrNone && d->isVisible() && edit->selectedText() == typed;
      return kept ? TModalScript::Click(d, "btnCancel") : -1;
    });
    TMessageScript messages;
    if (accepted)
      modals.Expect("AdminOptions", TModalScript::Press("btnCancel"));
    else
      messages.Expect("Password incorrect", TMsgDlgType::Warning, mbOK);
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
  }

  // OK stores what the dialog shows and the start window follows at once;
  // Cancel and the close box put back every box and the colour. Defaults
  // leave the colour and the password alone.
  void dialogButtons_data() {
    QTest::addColumn<bool>("defaults");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("saved");
    QTest::newRow("changes, OK") << false << "btnOk" << true;
    QTest::newRow("changes, Cancel") << false << "btnCancel" << false;
    QTest::newRow("changes, close box") << false << "" << false;
    QTest::newRow("defaults, OK") << true << "btnOk" << true;
    QTest::newRow("defaults, Cancel") << true << "btnCancel" << false;
  }
  void dialogButtons() {
    QFETCH(bool, defaults);
    QFETCH(QString, button);
    QFETCH(bool, saved);
    TOptionsRecord o = WithPassword("keep");
    o.EnableAnswers = false;
    o.EnableClearResults = true;
    o.DeletePermitted = true;
    o.AllowEdits = true;
    o.EnableRunningScore = false;
    o.ShowHints = false;
    Start(o);
    const TBoxes before = Boxes();
    // Delete is greyed once edits are off, but keeps its mark.
    const TBoxes changed{true, false, true, false, !defaults, defaults ? 0x00336699u : 0x00010203u};
    TModalScript modals;
    modals.Expect("PasswordDlg", [](QDialog* d) {
      // Hints follow the start window's setting.
      return PasswordDlg->ShowHint() ? -1 : EnterPassword("KEEP")(d);
    });
    modals.Expect("AdminOptions", [&](QDialog* d) {
      if (AdminOptions->ShowHint()) return -1;
      if (defaults) {
        TModalScript::Click(d, "btnDefault");
      } else {
        for (QCheckBox* cb :
             {AdminOptions->cbEnableAnswers, AdminOptions->cbEnableClearResults, AdminOptions->cbEnableRunningScore,
              AdminOptions->cbAllowEdits, AdminOptions->cbDeletePermitted})
          cb->click();
        AdminOptions->panelColour->SetColor(0x00010203u);
        if (AdminOptions->cbDeletePermitted->isEnabled()) return -1;
      }
      if (!button.isEmpty()) return TModalScript::Click(d, qPrintable(button));
      d->reject();
      return d->result();
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    QVERIFY(Boxes() == (saved ? changed : before));
    const TOptionsRecord stored = folder->ReadOptions();
    QVERIFY(Boxes(stored) == (saved ? changed : before));
    QCOMPARE(stored.AdminPassword, Scramble("KEEP"));
    QCOMPARE(!StartForm->btnAdd->isHidden(), stored.AllowEdits);
  }

  // A cancelled change keeps the old password; a confirmed one is saved at
  // once, with the boxes as they stood then, while Cancel afterwards undoes
  // only what came later.
  void changePassword_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("mistyped");
    QTest::newRow("letter case matters") << "New"
                                         << "new";
    QTest::newRow("empty is accepted") << ""
                                       << "x";
  }
  void changePassword() {
    QFETCH(QString, password);
    QFETCH(QString, mistyped);
    Start(WithPassword("old"));
    const std::string stored = Scramble(UpperAscii(password.toStdString()));
    const TBoxes before = Boxes();
    TMessageScript messages;
    messages.Expect("New password and confirmation differ", TMsgDlgType::Warning, mbOK);
    messages.Expect("Password changed", TMsgDlgType::Information, mbOK);
    TModalScript modals;
    modals.Expect("PasswordDlg", EnterPassword("old"));
    modals.Expect("AdminOptions", [this](QDialog* d) {
      AdminOptions->cbEnableAnswers->click();
      TModalScript::Click(d, "btnChangePassword");
      const bool unchanged = folder->ReadOptions().AdminPassword == Scramble("OLD");
      TModalScript::Click(d, "btnChangePassword");
      AdminOptions->cbEnableRunningScore->click();
      return unchanged ? TModalScript::Click(d, "btnCancel") : -1;
    });
    modals.Expect("NewPasswordDlg", NewPassword(password, password, "btnCancel"));
    modals.Expect("NewPasswordDlg", [=](QDialog* d) {
      auto* dlg = qobject_cast<TNewPasswordDlg*>(d);
      NewPassword(password, mistyped)(d);
      const bool kept = dlg->isVisible() && dlg->NewPassword->text().isEmpty() &&
                        dlg->ConfirmPassword->text().isEmpty() && dlg->result() == mrNone;
      return kept ? NewPassword(password, password)(d) : -1;
    });
    StartForm->AdministratorClick();
    VERIFY_MODALS(modals);
    VERIFY_MESSAGES(messages);
    const TOptionsRecord saved = folder->ReadOptions();
    QCOMPARE(saved.AdminPassword, stored);
    QCOMPARE(PasswordDlg->AdminPassword(), stored);
    QCOMPARE(saved.EnableAnswers, !before.Answers);
    QCOMPARE(saved.EnableRunningScore, before.Score);
    QCOMPARE(AdminOptions->cbEnableRunningScore->isChecked(), before.Score);
  }

  void colourPicker() {
    Start(WithPassword(""));
    TModalScript modals;
    for (bool accept : {false, true}) {
      modals.Expect("ColorDialog1", [accept](QDialog* d) {
        auto* picker = qobject_cast<QColorDialog*>(d);
        const bool offered = picker->currentColor() == QColor(0x99, 0x66, 0x33);
        picker->setCurrentColor(QColor(0x11, 0x22, 0xEE));
        accept ? picker->accept() : picker->reject();
        return offered ? picker->result() : -1;
      });
    }
    AdminOptions->btnScreenColor->click();
    QCOMPARE(AdminOptions->panelColour->Color(), 0x00336699u);
    AdminOptions->btnScreenColor->click();
    VERIFY_MODALS(modals);
    // Stored the Windows way round: red in the low byte.
    QCOMPARE(AdminOptions->panelColour->Color(), 0x00EE2211u);
    QCOMPARE(AdminOptions->panelColour->palette().color(QPalette::Window), QColor(0x11, 0x22, 0xEE));
  }

  void colourValues_data() {
    QTest::addColumn<uint>("value");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("red") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("mixed") << 0x00123456u << QColor(0x56, 0x34, 0x12);
    QTest::newRow("system window") << 0x80000005u << QApplication::palette().color(QPalette::Base);
    QTest::newRow("system button face") << 0x8000000Fu << QApplication::palette().color(QPalette::Button);
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
