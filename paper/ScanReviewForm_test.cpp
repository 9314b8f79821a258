// The review of scanned sheets with readings made by hand: the page list
// and its statuses, boxes changed by mouse and keyboard, an ID typed in,
// Accept writing every log (and refusing a page scored before), Cancel and
// Escape writing nothing, and the three box states drawn apart.

#include <QtTest>

#include "base/Form.h"
#include "base/ProgramFolder.h"
#include "candidates/core/Gradebook.h"
#include "paper/ScanReviewForm.h"
#include "paper/core/PaperScoring.h"
#include "session/core/DetailLog.h"
#include "testkit/MessageScript.h"
#include "testkit/TempProgramFolder.h"
#include "testkit/core/PaperSample.h"

using namespace proctorium;
using namespace proctorium::testkit;

namespace {

constexpr TBoxMark E = TBoxMark::Empty, M = TBoxMark::Marked, D = TBoxMark::Doubtful;

// Candidate 100001 on version A (all right), candidate 100002 on version B
// over two sheets (question 1 wrong), a page with no code, and a second
// copy of candidate 100001's sheet from another file.
std::vector<TPageReading> Batch() {
  const TPaperJob job = SamplePaperJob();
  TSetResponses wrong = SampleKey();
  wrong[1] = 0b0001;
  TPageReading failed;
  failed.Source = "/scans/tray.pdf";
  failed.Page = 3;
  failed.Failure = TPageFailure::NoQr;
  failed.Reason = "tray.pdf, page 4: no answer-sheet code found";
  return {FillSheet(job, 'A', 1, SampleKey(), "100001", "/scans/tray.pdf", 0, 101),
          FillSheet(job, 'B', 1, wrong, "100002", "/scans/tray.pdf", 1, 102),
          FillSheet(job, 'B', 2, wrong, "", "/scans/tray.pdf", 2, 103), failed,
          FillSheet(job, 'A', 1, SampleKey(), "100001", "/scans/again.png", 0, 104)};
}

struct TReview {
  TTempProgramFolder Folder;
  TMessageScript Messages;
  std::unique_ptr<TScanReviewForm> Form;

  explicit TReview(std::vector<TPageReading> pages = Batch()) {
    SetProgramFolder(Folder.Folder());
    Open(std::move(pages));
  }
  void Open(std::vector<TPageReading> pages) {
    Form = std::make_unique<TScanReviewForm>(SamplePaperJob(), std::move(pages));
    Form->ClassList = {{"100001", "Ann Smith"}, {"100002", "Bo Lee"}, {"100003", "Cy Doe"}};
    Form->PassMark = 50;
    Form->SetLoader([](const std::string&, int) { return QImage(); });
    Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
  }
  QStringList Items() const {
    QStringList items;
    for (int i = 0; i < Form->scanPages->count(); ++i) items << Form->scanPages->item(i)->text();
    return items;
  }
  TBoxMark Box(int page, int row, int box) const {
    return Form->Pages()[static_cast<std::size_t>(page)]
        .Answers[static_cast<std::size_t>(row)][static_cast<std::size_t>(box)];
  }
  void Click(int row, int box) {
    QTest::mouseClick(Form->scanPage, Qt::LeftButton, {},
                      Form->scanPage->BoxOnScreen(row, box).boundingRect().center().toPoint());
  }
  std::string Logs() const {
    return Folder.ReadFile("Tests/results.txt") + "|" + Folder.ReadFile("Tests/results-detail.csv") + "|" +
           Folder.ReadFile("Tests/gradebook.csv") + "|" + Folder.ReadFile("Tests/paper-scored.txt");
  }
};

const char* const DuplicateReason = "again.png, page 1: duplicate candidate ID 100001";

}  // namespace

class ScanReviewFormTest : public QObject {
  Q_OBJECT
 private slots:
  void everyPageIsListedWithWhatBecameOfIt() {
    std::vector<TPageReading> pages = Batch();
    pages[1].Answers[0][2] = D;
    TReview r(pages);
    QCOMPARE(r.Items(), (QStringList{QStringLiteral("tray.pdf, page 1 \u2014 read"),
                                     QStringLiteral("tray.pdf, page 2 \u2014 doubtful"),
                                     QStringLiteral("tray.pdf, page 3 \u2014 read"),
                                     QStringLiteral("tray.pdf, page 4 \u2014 failed: tray.pdf, page 4: no "
                                                    "answer-sheet code found"),
                                     QStringLiteral("again.png, page 1 \u2014 failed: ") + DuplicateReason}));
    QCOMPARE(r.Form->scanSummary->text(),
             QStringLiteral("5 pages: 2 read, 1 doubtful, 2 failed. 1 candidate ready to save."));
    // The review opens on the first page that needs the teacher, at its doubt.
    QCOMPARE(r.Form->scanPages->currentRow(), 1);
    QCOMPARE(r.Form->scanPage->CurrentRow(), 0);
    QCOMPARE(r.Form->scanPage->CurrentBox(), 2);
    QVERIFY(r.Form->scanStatus->text().contains(QStringLiteral("Question 1, box C: doubtful")));
    QCOMPARE(r.Form->scanPage->accessibleDescription(), QStringLiteral("Question 1, box C: doubtful"));
    // A page that was not read has no boxes and no ID to type.
    r.Form->SelectPage(3);
    QVERIFY(!r.Form->scanCandidateId->isEnabled());
    QVERIFY(r.Form->scanPage->BoxOnScreen(0, 0).isEmpty());
  }

  void boxesChangeByClickAndByKeys_data() {
    QTest::addColumn<QString>("keys");  // l r u d and space as ' '
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("marks");  // row 0 of the page afterwards
    // Page 1 (version B, sheet 1) row 0 starts E M M E E: the key of
    // question 3 printed first.
    QTest::newRow("space on the first box marks it") << " " << 0 << 0 << "MMMEE";
    QTest::newRow("right then space clears the mark") << "r " << 0 << 1 << "EEMEE";
    QTest::newRow("twice returns to where it was") << "rr  " << 0 << 2 << "EMMEE";
    QTest::newRow("left stops at the first box") << "ll " << 0 << 0 << "MMMEE";
    QTest::newRow("right stops at the last box") << "rrrrrrr " << 0 << 4 << "EMMEM";
    QTest::newRow("down and up move between rows") << "rrrrddu" << 1 << 3 << "EMMEE";
    QTest::newRow("up stops at the first row") << "uu" << 0 << 0 << "EMMEE";
  }
  void boxesChangeByClickAndByKeys() {
    QFETCH(QString, keys);
    QFETCH(int, row);
    QFETCH(int, box);
    QFETCH(QString, marks);
    TReview r;
    r.Form->SelectPage(1);
    r.Form->scanPage->setFocus();
    for (QChar c : keys) {
      const Qt::Key key = c == 'l'   ? Qt::Key_Left
                          : c == 'r' ? Qt::Key_Right
                          : c == 'u' ? Qt::Key_Up
                          : c == 'd' ? Qt::Key_Down
                                     : Qt::Key_Space;
      QTest::keyClick(r.Form->scanPage, key);
    }
    QCOMPARE(r.Form->scanPage->CurrentRow(), row);
    QCOMPARE(r.Form->scanPage->CurrentBox(), box);
    QString shown;
    for (int k = 0; k < 5; ++k) shown += QLatin1Char("EMD"[static_cast<int>(r.Box(1, 0, k))]);
    QCOMPARE(shown, marks);
  }

  void aClickChangesTheBoxUnderIt() {
    std::vector<TPageReading> pages = Batch();
    pages[1].Answers[2][1] = D;
    TReview r(pages);
    r.Form->SelectPage(1);
    struct {
      int Row, Box;
      TBoxMark After;
    } clicks[] = {{2, 1, M}, {2, 1, E}, {2, 1, M}, {0, 0, M}, {0, 1, E}, {1, 1, E}};
    for (const auto& c : clicks) {
      r.Click(c.Row, c.Box);
      QCOMPARE(r.Box(1, c.Row, c.Box), c.After);
      QCOMPARE(r.Form->scanPage->CurrentRow(), c.Row);
      QCOMPARE(r.Form->scanPage->CurrentBox(), c.Box);
    }
    QCOMPARE(r.Items()[1], QStringLiteral("tray.pdf, page 2 \u2014 read"));
  }

  void theThreeStatesAreDrawnApart() {
    std::vector<TPageReading> pages = Batch();
    pages[0].Answers[0] = {M, E, D, E};
    TReview r(pages);
    r.Form->SelectPage(0);
    r.Form->scanPages->setFocus();
    const QImage shot = r.Form->scanPage->grab().toImage();
    auto inside = [&](int box) {
      const QRect at = r.Form->scanPage->BoxOnScreen(0, box).boundingRect().toAlignedRect().adjusted(2, 2, -2, -2);
      QSet<QRgb> colours;
      for (int y = at.top(); y <= at.bottom(); ++y)
        for (int x = at.left(); x <= at.right(); ++x) colours.insert(shot.pixel(x, y));
      return colours;
    };
    const QSet<QRgb> marked = inside(0), empty = inside(1), doubtful = inside(2);
    // Filled: one solid colour; empty: the page shows through; doubtful: a
    // pattern, several colours, none of them the marked fill.
    QCOMPARE(marked.size(), 1);
    QCOMPARE(empty, QSet<QRgb>{qRgb(255, 255, 255)});
    QVERIFY(doubtful.size() >= 2);
    QVERIFY(!doubtful.contains(*marked.begin()));
    QVERIFY(doubtful.contains(qRgb(255, 255, 255)));
    QVERIFY(*marked.begin() != qRgb(255, 255, 255));
  }

  void acceptScoresAndWritesEveryLog() {
    TReview r;
    r.Messages.Expect(QStringLiteral("Saved 2 candidates.\n\nNot saved:\n"
                                     "tray.pdf, page 4: no answer-sheet code found\n") +
                          DuplicateReason,
                      TMsgDlgType::Information, mbOK);
    r.Form->scanAccept->click();
    VERIFY_MESSAGES(r.Messages);
    QCOMPARE(r.Form->result(), int(QDialog::Accepted));
    const std::string results = r.Folder.ReadFile("Tests/results.txt");
    QVERIFY(results.find("Quiz.qst     Time taken: 00:00:00\r\n   5 of 5 Correct [100%]  \r\n\r\n") !=
            std::string::npos);
    QVERIFY(results.find("   4 of 5 Correct [80%]  Incorrect; 1\r\n\r\n") != std::string::npos);
    const TGradebookFile book = ReadGradebook(r.Folder.ReadFile("Tests/gradebook.csv"));
    QCOMPARE(book.Rows.size(), std::size_t{2});
    QCOMPARE(book.Rows[0].Entry.CandidateName, std::string("Ann Smith"));
    QCOMPARE(book.Rows[1].Entry.CandidateName, std::string("Bo Lee"));
    QCOMPARE(book.Rows[1].Entry.Source, std::string(SourcePaper));
    QCOMPARE(book.Rows[1].Entry.Result, std::string(ResultPassed));
    const std::vector<TDetailTest> detail = ReadDetailLog(r.Folder.ReadFile("Tests/results-detail.csv"));
    QCOMPARE(detail.size(), std::size_t{2});
    QCOMPARE(detail[1].TestId, book.Rows[1].Entry.TestId);
    QCOMPARE(ParseLedger(r.Folder.ReadFile("Tests/paper-scored.txt")).size(), std::size_t{3});
  }

  void aPageScoredBeforeIsRefused() {
    TReview r;
    r.Messages.Answer(mrOk);
    r.Form->scanAccept->click();
    const std::string before = r.Logs();
    // The same scans read again, the sheets of the first candidate rescanned
    // into other images.
    std::vector<TPageReading> pages = Batch();
    pages[0].ImageHash = 201;
    r.Open(pages);
    r.Messages.Expect(
        QStringLiteral("Saved 0 candidates.\n\nNot saved:\n"
                       "tray.pdf, page 4: no answer-sheet code found\n%1\n"
                       "Candidate ID 100001 (Version A): sheet 1 of version A was scored already on %2\n"
                       "Candidate ID 100002 (Version B): sheet 1 of version B was scored already on %2")
            .arg(DuplicateReason, QString::fromStdString(
                                      ReadGradebook(r.Folder.ReadFile("Tests/gradebook.csv")).Rows[0].Entry.DateTime)),
        TMsgDlgType::Warning, mbOK);
    r.Form->scanAccept->click();
    VERIFY_MESSAGES(r.Messages);
    QCOMPARE(r.Logs(), before);
  }

  void doubtfulBoxesHoldTheirCandidateBack() {
    std::vector<TPageReading> pages = Batch();
    pages[2].Answers[1][0] = D;
    pages.resize(3);
    TReview r(pages);
    const QString question = QStringLiteral(
        "1 candidate cannot be scored yet:\ntray.pdf, page 3: 1 box is doubtful; mark or clear it\n\n"
        "Save the others now and leave these out?");
    // No: back to the review, nothing saved.
    r.Messages.Expect(question, TMsgDlgType::Confirmation, mbYes | mbNo, mrNo);
    r.Form->scanAccept->click();
    VERIFY_MESSAGES(r.Messages);
    QVERIFY(r.Form->isVisible());
    QCOMPARE(r.Logs(), std::string("|||"));
    // Yes: the others are saved and the held one is named.
    r.Messages.Expect(question, TMsgDlgType::Confirmation, mbYes | mbNo, mrYes)
        .Expect(
            QStringLiteral("Saved 1 candidate.\n\nNot saved:\ntray.pdf, page 3: 1 box is doubtful; mark or clear it"),
            TMsgDlgType::Information, mbOK);
    r.Form->scanAccept->click();
    VERIFY_MESSAGES(r.Messages);
    QCOMPARE(ReadGradebook(r.Folder.ReadFile("Tests/gradebook.csv")).Rows.size(), std::size_t{1});
  }

  void anIdTypedInCompletesTheSheet() {
    std::vector<TPageReading> pages = Batch();
    pages.resize(1);
    pages[0].CandidateId = "1000?3";
    TReview r(pages);
    QCOMPARE(r.Items()[0], QStringLiteral("tray.pdf, page 1 \u2014 doubtful"));
    QCOMPARE(r.Form->scanCandidateId->text(), QStringLiteral("1000?3"));
    r.Form->scanCandidateId->selectAll();
    QTest::keyClicks(r.Form->scanCandidateId, QStringLiteral("100003"));
    QCOMPARE(r.Items()[0], QStringLiteral("tray.pdf, page 1 \u2014 read"));
    r.Messages.Expect(QStringLiteral("Saved 1 candidate."), TMsgDlgType::Information, mbOK);
    r.Form->scanAccept->click();
    VERIFY_MESSAGES(r.Messages);
    const TGradebookFile book = ReadGradebook(r.Folder.ReadFile("Tests/gradebook.csv"));
    QCOMPARE(book.Rows.size(), std::size_t{1});
    QCOMPARE(book.Rows[0].Entry.CandidateId, std::string("100003"));
    QCOMPARE(book.Rows[0].Entry.CandidateName, std::string("Cy Doe"));
  }

  void theSameImageUnderTwoIdsGoesInOnce() {
    std::vector<TPageReading> pages = Batch();
    pages.resize(1);
    pages.push_back(FillSheet(SamplePaperJob(), 'A', 1, SampleKey(), "100003", "/scans/copy.png"));
    pages[0].ImageHash = 0;
    TReview r(pages);
    // Both pages load as the same picture: the loader's hash tells.
    r.Form->SetLoader([](const std::string&, int) {
      QImage image(200, 300, QImage::Format_Grayscale8);
      image.fill(255);
      image.setPixel(10, 10, 0);
      return image;
    });
    r.Messages.Answer(mrOk);
    r.Form->scanAccept->click();
    QCOMPARE(r.Messages.Shown().size(), std::size_t{1});
    QVERIFY(
        r.Messages.Shown()[0].Text.startsWith(QStringLiteral("Saved 1 candidate.\n\nNot saved:\nCandidate ID "
                                                             "100003 (Version A): the same page image")));
  }

  void cancelAndEscapeSaveNothing_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Escape") << true;
  }
  void cancelAndEscapeSaveNothing() {
    QFETCH(bool, escape);
    TReview r;
    r.Form->SelectPage(0);
    r.Click(0, 0);
    if (escape)
      QTest::keyClick(r.Form.get(), Qt::Key_Escape);
    else
      r.Form->scanCancel->click();
    QCOMPARE(r.Form->result(), int(QDialog::Rejected));
    QVERIFY(!r.Form->isVisible());
    QCOMPARE(r.Logs(), std::string("|||"));
    VERIFY_MESSAGES(r.Messages);
  }

  void anEditedSetIsPointedOut() {
    TReview r;
    r.Form->SetCurrentFingerprint(SampleFingerprint);
    QVERIFY(r.Form->scanSetChanged->isHidden());
    r.Form->SetCurrentFingerprint(SampleFingerprint + 1);
    QVERIFY(!r.Form->scanSetChanged->isHidden());
  }

  void helpButtonAndF1OpenTheScanningPage() {
    std::string page;
    SetHelpHandler([&](const std::string& p) { page = p; });
    TReview r;
    QTest::keyClick(r.Form->scanPage, Qt::Key_F1);
    SetHelpHandler(nullptr);
    QCOMPARE(page, std::string("scanning.htm"));
    // No help folder here: the button says which page it looked for.
    r.Messages.Answer(mrOk);
    r.Form->scanHelp->click();
    QCOMPARE(r.Messages.Shown().size(), std::size_t{1});
    QVERIFY(r.Messages.Shown()[0].Text.contains(QStringLiteral("scanning.htm")));
  }

  void controlsHaveNamesForScreenReaders() {
    TReview r;
    for (QWidget* w : std::initializer_list<QWidget*>{r.Form->scanPages, r.Form->scanPage, r.Form->scanCandidateId,
                                                      r.Form->scanAccept, r.Form->scanCancel, r.Form->scanHelp}) {
      QVERIFY2(w->objectName().startsWith(QStringLiteral("scan")), qPrintable(w->objectName()));
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
    QCOMPARE(r.Form->scanIdLabel->buddy(), r.Form->scanCandidateId);
    QVERIFY(r.Form->scanAccept->isDefault());
  }
};

QTEST_MAIN(ScanReviewFormTest)
#include "ScanReviewForm_test.moc"
