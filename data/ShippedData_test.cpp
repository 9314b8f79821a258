#include <QDir>
#include <QImage>
#include <QtTest>
#include <set>

#include "app/core/OptionsFile.h"
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

  void sampleSetsAreCompleteAndTheirPicturesExist() {
    const QStringList sets = QDir(QString::fromStdString(Root + "Tests")).entryList({"*.qst"}, QDir::Files);
    QVERIFY(!sets.isEmpty());
    for (const QString& name : sets) {
      TQuestionSet set;
      QVERIFY(set.LoadFromFile(Root + "Tests/" + name.toStdString()));
      QVERIFY2(set.LastIndex >= 15, qPrintable(name));
      bool single = false, multiple = false, shuffled = false;
      int withRemarks = 0;
      std::set<std::string> pictures;
      if (!set.Questions[0].ExhibitFile.empty()) pictures.insert(set.Questions[0].ExhibitFile);
      for (int i = 1; i <= set.LastIndex; ++i) {
        const TQuestion& q = set.Questions[i];
        (q.AnswerType == TAnswerType::Single ? single : multiple) = true;
        shuffled |= q.RandomizeAnswers != 0;
        withRemarks += q.Remarks.empty() ? 0 : 1;
        QVERIFY2(q.CorrectMask != 0, qPrintable(QString("%1 question %2 has no correct answer").arg(name).arg(i)));
        QVERIFY2((q.CorrectMask >> AnswersInUse(q)) == 0, qPrintable(QString("%1 question %2").arg(name).arg(i)));
        if (q.AnswerType == TAnswerType::Single) QCOMPARE(q.CorrectMask & (q.CorrectMask - 1), 0);
        if (!q.ExhibitFile.empty()) pictures.insert(q.ExhibitFile);
      }
      QVERIFY(single && multiple && shuffled);
      QVERIFY(withRemarks * 2 > set.LastIndex);
      bool wide = false, tall = false;
      for (const auto& p : pictures) {
        QImage img(QString::fromStdString(Root + "Tests/" + p));
        QVERIFY2(!img.isNull(), p.c_str());
        wide |= img.width() > 2 * img.height();
        tall |= img.height() > img.width();
      }
      QVERIFY(wide && tall);
    }
  }
};

QTEST_APPLESS_MAIN(ShippedDataTest)
#include "ShippedData_test.moc"
