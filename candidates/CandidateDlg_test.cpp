// The candidate dialog: who may start, with and without a class list, what
// is stored, and the keys and buttons a candidate uses.

#include "candidates/CandidateDlg.h"

#include <QAbstractItemView>
#include <QtTest>

#include "base/Form.h"
#include "testkit/MessageScript.h"

using namespace proctorium;
using testkit::TMessageScript;

namespace {

const std::vector<TCandidate> Class = {{"12", "Zo\xc3\xab M\xc3\xbcller"},
                                       {"13", "Ann Smith"},
                                       {"14", "Ann Smith"},
                                       {"15", "\xd7\xa9\xd7\xa8\xd7\x94 \xd7\x9c\xd7\x95\xd7\x99"}};

}  // namespace

class CandidateDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void foldingIgnoresCaseAndAccents() {
    const struct {
      const char* A;
      const char* B;
      bool Same;
    } cases[] = {
        {"Zo\xc3\xab M\xc3\xbcller", "ZOE MULLER", true},
        {"Fran\xc3\xa7ois", "francois", true},
        {"Stra\xc3\x9f"
         "e",
         "STRASSE", true},
        {"\xc5\x81\xc3\xb3"
         "d\xc5\xba",
         "lodz", true},
        {"  Ann   Smith ", "ann smith", true},
        {"\xce\x86\xce\xbd\xce\xbd\xce\xb1", "\xce\xb1\xce\xbd\xce\xbd\xce\xb1", true},
        {"Ann", "Anne", false},
        {"\xd7\xa9\xd7\xa8\xd7\x94", "\xd7\xa9\xd7\xa8", false},
    };
    for (const auto& c : cases)
      QVERIFY2((FoldForMatch(QString::fromUtf8(c.A)) == FoldForMatch(QString::fromUtf8(c.B))) == c.Same, c.A);
  }

  void okAcceptsOrSaysWhy_data() {
    QTest::addColumn<bool>("askId");
    QTest::addColumn<bool>("withList");
    QTest::addColumn<bool>("allowUnlisted");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("message");  // empty: accepted
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("storedId");
    const QString sixty(60, QChar(0x05D0)), sixtyOne(61, QChar('x'));
    const QString notListed = "This name is not on the class list. Please check it.";
    QTest::newRow("name trimmed") << false << false << false << "  Ann Smith \t"
                                  << ""
                                  << ""
                                  << "Ann Smith"
                                  << "";
    QTest::newRow("empty name") << false << false << false << " \u00a0 "
                                << ""
                                << "Please type the candidate's name."
                                << ""
                                << "";
    QTest::newRow("60 characters") << false << false << false << sixty << ""
                                   << "" << sixty << "";
    QTest::newRow("61 characters") << false << false << false << sixtyOne << ""
                                   << "The name can have at most 60 characters."
                                   << ""
                                   << "";
    QTest::newRow("anything typed") << false << false << false << "=cmd|' /C calc'!A0, \"Bo\""
                                    << ""
                                    << ""
                                    << "=cmd|' /C calc'!A0, \"Bo\""
                                    << "";
    QTest::newRow("control characters blanked") << false << false << false << "Ann\nSmith\x01"
                                                << ""
                                                << ""
                                                << "Ann Smith"
                                                << "";
    QTest::newRow("ID asked and missing") << true << false << false << "Ann"
                                          << "  "
                                          << "Please type the candidate's ID."
                                          << ""
                                          << "";
    QTest::newRow("ID kept") << true << false << false << "Ann"
                             << " A-7 "
                             << ""
                             << "Ann"
                             << "A-7";
    QTest::newRow("listed, any case and accents") << false << true << false << "zoe muller"
                                                  << ""
                                                  << ""
                                                  << "Zo\u00eb M\u00fcller"
                                                  << "12";
    QTest::newRow("listed right-to-left") << false << true << false << QString::fromUtf8(Class[3].Name.c_str()) << ""
                                          << "" << QString::fromUtf8(Class[3].Name.c_str()) << "15";
    QTest::newRow("not listed") << false << true << false << "Nobody"
                                << "" << notListed << ""
                                << "";
    QTest::newRow("not listed but allowed") << false << true << true << "Nobody"
                                            << ""
                                            << ""
                                            << "Nobody"
                                            << "";
    QTest::newRow("same name, ID picks") << true << true << false << "ANN SMITH"
                                         << "14"
                                         << ""
                                         << "Ann Smith"
                                         << "14";
    QTest::newRow("listed name, wrong ID") << true << true << false << "Ann Smith"
                                           << "12"
                                           << "This name and ID are not on the class list. Please check them."
                                           << ""
                                           << "";
  }
  void okAcceptsOrSaysWhy() {
    QFETCH(bool, askId);
    QFETCH(bool, withList);
    QFETCH(bool, allowUnlisted);
    QFETCH(QString, name);
    QFETCH(QString, id);
    QFETCH(QString, message);
    QFETCH(QString, storedName);
    QFETCH(QString, storedId);
    TCandidateDlg dlg;
    dlg.Prepare(askId, withList ? Class : std::vector<TCandidate>{}, allowUnlisted);
    QCOMPARE(dlg.edCandidateId->isHidden(), !askId);
    dlg.edCandidateName->setText(name);
    dlg.edCandidateId->setText(id);
    dlg.setResult(-1);
    TMessageScript messages;
    if (!message.isEmpty()) messages.Expect(message, TMsgDlgType::Warning, mbOK);
    dlg.btnOk->click();
    VERIFY_MESSAGES(messages);
    if (!message.isEmpty()) {
      QCOMPARE(dlg.result(), -1);  // still open
      return;
    }
    QCOMPARE(dlg.result(), int(mrOk));
    QCOMPARE(QString::fromStdString(dlg.CandidateName()), storedName);
    QCOMPARE(QString::fromStdString(dlg.CandidateId()), storedId);
  }

  // Typing part of a name, in any case and without its accents, offers the
  // listed spelling; choosing it fills in the ID when the name is unique.
  void typeAheadOffersListedNames() {
    TCandidateDlg dlg;
    dlg.Prepare(true, Class, false);
    QCompleter* completer = dlg.edCandidateName->completer();
    QVERIFY(completer);
    const struct {
      const char* Typed;
      QStringList Offered;
    } cases[] = {{"zo", {QString::fromUtf8("Zo\xc3\xab M\xc3\xbcller")}},
                 {"MULL", {QString::fromUtf8("Zo\xc3\xab M\xc3\xbcller")}},
                 {"ann", {"Ann Smith", "Ann Smith"}},
                 {"xyz", {}}};
    for (const auto& c : cases) {
      completer->setCompletionPrefix(QString::fromUtf8(c.Typed));
      QStringList offered;
      for (int row = 0; row < completer->completionCount(); ++row) {
        completer->setCurrentRow(row);
        offered << completer->currentCompletion();
      }
      QCOMPARE(offered, c.Offered);
    }
    dlg.show();
    QTest::keyClicks(dlg.edCandidateName, "zoe");
    QTRY_VERIFY(completer->popup()->isVisible());
    QTest::keyClick(completer->popup(), Qt::Key_Down);
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    QCOMPARE(dlg.edCandidateName->text(), QString::fromUtf8("Zo\xc3\xab M\xc3\xbcller"));
    QCOMPARE(dlg.edCandidateId->text(), QString("12"));
    // Without a class list nothing is offered.
    dlg.Prepare(false, {}, false);
    QVERIFY(!dlg.edCandidateName->completer());
  }

  void keysAndButtons() {
    std::string helpPage;
    SetHelpHandler([&](const std::string& page) { helpPage = page; });
    TCandidateDlg dlg;
    dlg.Prepare(false, {}, false);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(dlg.edCandidateName, Qt::Key_F1);
    QCOMPARE(helpPage, std::string("candidates.htm"));
    dlg.edCandidateName->setText("Ann");
    QTest::keyClick(dlg.edCandidateName, Qt::Key_Return);  // OK is the default button
    QCOMPARE(dlg.result(), int(mrOk));
    dlg.Prepare(false, {}, false);
    QVERIFY(dlg.edCandidateName->text().isEmpty());  // the next candidate starts afresh
    dlg.show();
    dlg.edCandidateName->setText("Bo");
    QTest::keyClick(dlg.edCandidateName, Qt::Key_Escape);
    QCOMPARE(dlg.result(), int(mrCancel));
    dlg.show();
    dlg.btnCancel->click();
    QCOMPARE(dlg.result(), int(mrCancel));
    SetHelpHandler({});
  }
};

QTEST_MAIN(CandidateDlgTest)
#include "CandidateDlg_test.moc"
