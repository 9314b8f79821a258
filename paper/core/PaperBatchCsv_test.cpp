// The batch table of the converter: a line per candidate, a line per page
// left out, and no cell a spreadsheet would run.

#include "paper/core/PaperBatchCsv.h"

#include <gtest/gtest.h>

#include "testkit/core/PaperSample.h"

using namespace proctorium;
using namespace proctorium::testkit;

TEST(PaperBatchCsv, ListsCandidatesThenThePagesLeftOut) {
  const TPaperJob job = SamplePaperJob();
  TSetResponses wrong = SampleKey();
  wrong[5] = 0;
  std::vector<TPageReading> pages = {
      FillSheet(job, 'A', 1, SampleKey(), "100001", "/in/a.pdf", 0),
      FillSheet(job, 'B', 1, wrong, "100002", "/in/a.pdf", 1),
      FillSheet(job, 'B', 2, wrong, "", "/in/a.pdf", 2),
      FillSheet(job, 'A', 1, SampleKey(), "=1+2", "b.png", 0),
      FillSheet(job, 'A', 1, SampleKey(), "100004", "c.png", 0),
  };
  pages[4].Answers[3][1] = TBoxMark::Doubtful;
  TPageReading failed;
  failed.Source = "d.tif";
  failed.Reason = "d.tif, page 1: corner marks not found";
  pages.push_back(failed);
  EXPECT_EQ(PaperBatchCsv(job, pages, {{"100002", "Bo, \"the\" Lee"}}),
            "\xEF\xBB\xBF"
            "Candidate ID,Name,Version,Correct,Questions,Per cent,Status,Pages\r\n"
            "100001,,A,5,5,100,scored,a.pdf page 1\r\n"
            "100002,\"Bo, \"\"the\"\" Lee\",B,4,5,80,scored,a.pdf page 2; a.pdf page 3\r\n"
            "'=1+2,,A,5,5,100,scored,b.png page 1\r\n"
            "100004,,A,,,,\"c.png, page 1: 1 box is doubtful; mark or clear it\",c.png page 1\r\n"
            ",,,,,,\"d.tif, page 1: corner marks not found\",d.tif page 1\r\n");
}
