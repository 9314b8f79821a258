#include <QDir>
#include <QImage>
#include <QtTest>
#include <set>

#include "base/core/OptionsFile.h"
#include "questions/core/QuestionSet.h"

using namespace proctorium;

// Checks the files that ship in the program folder: a newcomer must be able
// to take the sample set at once and make new sets from the template.
class ShippedDataTest : public QObject {
  Q_OBJECT
  const std::string Root = std::string(GENERATED_DIR) + "/";

 private slots:
  void templateIsAnEditableEmptySet() {
    TQuestionSet set;
    QVERIFY(set.LoadFromFile(Root + "Tests/Blank.dat"));
    QCOMPARE(set.OwnerCode, 0);
    QCOMPARE(set.LastIndex, 0);
    QVERIFY(!set.Questions[0].Text.empty());
  }

  void optionsOpenWithTheDocumentedPassword() {
    const TOptionsRecord o = ReadOptionsFile(Root + "Proctorium.opt");
    QCOMPARE(o.AdminPassword, Scramble("ADMIN"));
    QVERIFY(o.FontSize == 8 || o.FontSize == 10 || o.FontSize == 12);
    QVERIFY(o.CountdownMinutes > 0);
  }

  // Every question can be answered right, and every picture it names loads.
  void sampleSetsAreCompleteAndTheirPicturesExist() {
    const QStringList sets = QDir(QString::fromStdString(Root + "Tests")).entryList({"*.qst"}, QDir::Files);
    QVERIFY(!sets.isEmpty());
    for (const QString& name : sets) {
      TQuestionSet set;
      QVERIFY(set.LoadFromFile(Root + "Tests/" + name.toStdString()));
      QVERIFY2(set.LastIndex >= 15, qPrintable(name));
      std::set<std::string> pictures{set.Questions[0].ExhibitFile};
      for (int i = 1; i <= set.LastIndex; ++i) {
        const TQuestion& q = set.Questions[i];
        const QString where = QString("%1 question %2").arg(name).arg(i);
        QVERIFY2(q.CorrectMask != 0 && (q.CorrectMask >> AnswersInUse(q)) == 0, qPrintable(where));
        if (q.AnswerType == TAnswerType::Single)
          QVERIFY2((q.CorrectMask & (q.CorrectMask - 1)) == 0, qPrintable(where));
        pictures.insert(q.ExhibitFile);
      }
      pictures.erase("");
      for (const auto& p : pictures) QVERIFY2(!QImage(QString::fromStdString(Root + "Tests/" + p)).isNull(), p.c_str());
    }
  }
};

QTEST_APPLESS_MAIN(ShippedDataTest)
#include "ShippedData_test.moc"
