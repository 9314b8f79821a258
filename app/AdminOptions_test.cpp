#include <QApplication>
#include <QColorDialog>
#include <QtTest>

#include "app/AdminOptions.h"
#include "app/NewPasswordDlg.h"
#include "app/PasswordDlg.h"
#include "app/StartForm.h"
#include "base/Colour.h"
#include "base/core/OptionsFile.h"
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

TModalScript::TStep NewPassword(const QString& password, const QString& confirmation, const char* button = "btnOk") {
  return [=](QDialog* d) {
    auto* dlg = qobject_cast<TNewPasswordDlg*>(d);
    dlg->NewPassword->setText(password);
    dlg->ConfirmPassword->setText(confirmation);
    return TModalScript::Click(d, button);
  };
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

  void damagedOptionsKeepTheAdministratorOptionsClosed() {
    std::string longer = EncodeOptions(WithPassword("secret"));
    longer[26] = 100;  // a password length beyond the end
    for (const std::string& file : {std::string(), longer}) {
      folder = std::make_unique<TTempProgramFolder>(WithPassword("secret"));
      folder->WriteFile("Proctorium.opt", file);
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
      QCOMPARE(folder->ReadFile("Proctorium.opt"), file);  // no empty password stored

      // Restored: the administrator options open with the real password again.
      folder->WriteOptions(WithPassword("secret"));
      modals.Expect("PasswordDlg", EnterPassword("secret"));
      modals.Expect("AdminOptions", TModalScript::Press("btnCancel"));
      StartForm->AdministratorClick();
      VERIFY_MODALS(modals);
    }
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
    VERIFY_MESSAGES(messages);
    const QString text = messages.Shown()[0].Text;
    QVERIFY2(text.startsWith("Cannot create file " + QString::fromStdString(folder->Path("Proctorium.opt")) + ": "),
             qPrintable(text));
    QCOMPARE(PasswordDlg->AdminPassword(), Scramble("OLD"));
    QCOMPARE(folder->ReadOptions().AdminPassword, Scramble("OLD"));
  }

  void passwordInAnyLetterCase() {
    const std::tuple<const char*, QString, bool> cases[] = {
        {"SeCrEt", "sEcReT", true}, {"secret", "secrets", false}, {"", "", true}, {"", "x", false}};
    for (const auto& [stored, typed, accepted] : cases) {
      Start(WithPassword(stored));
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
  }

  // A cancelled change keeps the old password; a confirmed one is saved at
  // once, with the boxes as they stood then, while Cancel afterwards undoes
  // only what came later. Letter case matters; an empty one is accepted.
  void changePassword() {
    for (const auto& [password, mistyped] : {std::pair<QString, QString>{"New", "new"}, {"", "x"}}) {
      Start(WithPassword("old"));
      const std::string stored = Scramble(UpperAscii(password.toStdString()));
      const bool answers = AdminOptions->cbEnableAnswers->isChecked();
      const bool score = AdminOptions->cbEnableRunningScore->isChecked();
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
      QCOMPARE(saved.EnableAnswers, !answers);
      QCOMPARE(saved.EnableRunningScore, score);
      QCOMPARE(AdminOptions->cbEnableRunningScore->isChecked(), score);
    }
  }

  // Stored the Windows way round: red in the low byte; the top bit names a
  // system colour.
  void colours() {
    const std::pair<std::uint32_t, QColor> values[] = {
        {0x00123456u, QColor(0x56, 0x34, 0x12)},
        {0x8000000Fu, QApplication::palette().color(QPalette::Button)},
    };
    for (const auto& [value, colour] : values) {
      QCOMPARE(ColourToQColor(value), colour);
      if (!(value & 0x80000000u)) QCOMPARE(QColorToColour(colour), value);
    }
  }
  // Defaults sets the five switches to what a new installation has and
  // leaves the colour; the picker starts on the colour shown and changes it
  // only when accepted. OK stores the dialog as it stands, Cancel nothing.
  void defaultsAndColourPicker() {
    // Default pressed, the picker accepted, the dialog's closing button
    const std::tuple<bool, bool, const char*> rows[] = {
        {true, true, "btnOk"}, {false, true, "btnOk"}, {true, false, "btnOk"}, {true, true, "btnCancel"}};
    for (const auto& [defaults, accepted, button] : rows) {
      TOptionsRecord o = WithPassword("");
      o.EnableAnswers = false;
      o.EnableClearResults = true;
      o.DeletePermitted = true;
      o.AllowEdits = true;
      o.EnableRunningScore = false;
      o.ScreenColour = 0x00123456u;
      Start(o);
      TModalScript modals;
      modals.Expect("PasswordDlg", EnterPassword(""));
      modals.Expect("AdminOptions", [&](QDialog* d) {
        if (defaults) AdminOptions->btnDefault->click();
        AdminOptions->btnScreenColor->click();
        return TModalScript::Click(d, button);
      });
      QColor offered;
      modals.Expect("ColorDialog1", [&](QDialog* d) {
        auto* picker = static_cast<QColorDialog*>(d);
        offered = picker->currentColor();
        picker->setCurrentColor(QColor(0, 0, 128));
        return accepted ? int(QDialog::Accepted) : int(QDialog::Rejected);
      });
      StartForm->AdministratorClick();
      VERIFY_MODALS(modals);
      QCOMPARE(offered, QColor(0x56, 0x34, 0x12));
      const TOptionsRecord saved = folder->ReadOptions();
      const bool ok = QString(button) == "btnOk";
      const bool reset = ok && defaults;
      QCOMPARE((QList<bool>{saved.EnableAnswers, saved.EnableClearResults, saved.DeletePermitted, saved.AllowEdits,
                            saved.EnableRunningScore}),
               (QList<bool>{reset, !reset, !reset, !reset, reset}));
      QCOMPARE(saved.ScreenColour, ok && accepted ? 0x00800000u : 0x00123456u);
      // What Cancel left is what the window shows again.
      QCOMPARE(StartForm->ScreenColour(), saved.ScreenColour);
    }
  }
};

QTEST_MAIN(AdminOptionsTest)
#include "AdminOptions_test.moc"
