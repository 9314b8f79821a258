// A save cut short at any moment ends, after the repair, with the test in
// every log or in none; links and odd files in a log's place are refused.

#include "candidates/core/SaveJournal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/core/FileIO.h"
#include "session/core/ResultsLog.h"
#include "testkit/core/TempDir.h"

using namespace proctorium;

namespace {

struct TKilled {};

struct TLogs {
  testkit::TTempDir Dir;
  std::string Journal = Dir.Path("Tests/results-save.journal");

  TLogs() {
    Dir.WriteFile("Tests/results.txt", "old entry\r\n   torn");
    Dir.WriteFile("Tests/detail.csv", "");
  }
  std::vector<TLogAddition> Save(int n) const {
    const std::string k = std::to_string(n);
    return {{Dir.Path("Tests/results.txt"), "entry " + k + "\r\n"},
            {Dir.Path("Tests/detail.csv"), "detail " + k + "\r\n", "HEADER\r\n"},
            {Dir.Path("Tests/gradebook.csv"), "grade " + k + "\r\n", "GB HEADER\r\n"}};
  }
  std::string State() const {
    return Dir.ReadFile("Tests/results.txt") + "|" + Dir.ReadFile("Tests/detail.csv") + "|" +
           Dir.ReadFile("Tests/gradebook.csv") + "|" + (FileExists(Journal) ? "journal" : "");
  }
};

}  // namespace

TEST(SaveJournal, SavesAppendToEveryLogWithHeadersOnce) {
  TLogs logs;
  AppendAsOneUnit(logs.Journal, logs.Save(1));
  AppendAsOneUnit(logs.Journal, logs.Save(2));
  EXPECT_EQ(logs.State(),
            "old entry\r\n   torn\r\nentry 1\r\nentry 2\r\n|HEADER\r\ndetail 1\r\ndetail 2\r\n|"
            "GB HEADER\r\ngrade 1\r\ngrade 2\r\n|");
  EXPECT_FALSE(CompleteInterruptedSave(logs.Journal));
}

// Every moment a kill can hit: before the journal is in place, after it,
// after each log, and part-way through the next log's bytes.
TEST(SaveJournal, KillAtAnyMomentEndsInAllLogsOrNone) {
  TLogs whole;
  AppendAsOneUnit(whole.Journal, whole.Save(1));
  AppendAsOneUnit(whole.Journal, whole.Save(2));
  const std::string both = whole.State();
  TLogs first;
  AppendAsOneUnit(first.Journal, first.Save(1));
  const std::string onlyFirst = first.State();

  for (int killAt = -1; killAt <= 3; ++killAt) {
    for (const char* tornTail : {"", "ent", "GB HEAD"}) {
      TLogs logs;
      AppendAsOneUnit(logs.Journal, logs.Save(1));
      SetSaveStepHook([&](int step) {
        if (step == killAt) throw TKilled{};
      });
      bool journalled = false;
      if (killAt < 0) {
        // Killed while the journal was being written: only part of it is there.
        SetSaveStepHook([](int step) {
          if (step == 0) throw TKilled{};
        });
        EXPECT_THROW(AppendAsOneUnit(logs.Journal, logs.Save(2)), TKilled);
        const std::string journal = logs.Dir.ReadFile("Tests/results-save.journal");
        const std::size_t cut = *tornTail ? journal.size() * std::strlen(tornTail) / 8 : journal.size() - 1;
        logs.Dir.WriteFile("Tests/results-save.journal", journal.substr(0, cut));
      } else {
        EXPECT_THROW(AppendAsOneUnit(logs.Journal, logs.Save(2), &journalled), TKilled);
        EXPECT_TRUE(journalled);
        // A kill in the middle of a write leaves part of the next log's bytes.
        const char* next[] = {"Tests/results.txt", "Tests/detail.csv", "Tests/gradebook.csv"};
        if (killAt < 3 && *tornTail) {
          std::string bytes = logs.Dir.ReadFile(next[killAt]);
          logs.Dir.WriteFile(next[killAt], bytes + tornTail);
        }
      }
      SetSaveStepHook({});
      EXPECT_EQ(CompleteInterruptedSave(logs.Journal), killAt >= 0) << killAt << tornTail;
      EXPECT_FALSE(FileExists(logs.Journal));
      EXPECT_EQ(logs.State(), killAt >= 0 ? both : onlyFirst) << killAt << " '" << tornTail << "'";
      // The repair may itself be cut short: running it again gives the same.
      EXPECT_FALSE(CompleteInterruptedSave(logs.Journal));
    }
  }
}

TEST(SaveJournal, NextSaveCompletesTheOneCutShortFirst) {
  TLogs logs;
  SetSaveStepHook([](int step) {
    if (step == 1) throw TKilled{};
  });
  EXPECT_THROW(AppendAsOneUnit(logs.Journal, logs.Save(1)), TKilled);
  SetSaveStepHook({});
  AppendAsOneUnit(logs.Journal, logs.Save(2));
  EXPECT_EQ(logs.State(),
            "old entry\r\n   torn\r\nentry 1\r\nentry 2\r\n|HEADER\r\ndetail 1\r\ndetail 2\r\n|"
            "GB HEADER\r\ngrade 1\r\ngrade 2\r\n|");
}

TEST(SaveJournal, DamagedJournalIsDroppedAndTheLogsLeftAlone) {
  for (const std::string& damaged :
       {std::string("rubbish"), std::string("Proctorium save journal 1\n1\nresults.txt\n0\n5\nabc"),
        std::string("Proctorium save journal 1\n1\n../../x\n0\n1\na\n1\n")}) {
    TLogs logs;
    logs.Dir.WriteFile("Tests/results-save.journal", damaged);
    const std::string before = logs.State();
    EXPECT_FALSE(CompleteInterruptedSave(logs.Journal));
    EXPECT_FALSE(FileExists(logs.Journal));
    EXPECT_EQ(logs.State() + "journal", before);
  }
}

TEST(SaveJournal, LinksAndOddFilesInALogsPlaceAreRefusedBeforeAnythingIsWritten) {
  const struct {
    const char* Name;
    std::function<void(const testkit::TTempDir&)> Make;
    const char* Reason;
  } cases[] = {
#ifndef _WIN32  // making links needs privileges there
      {"link to another file",
       [](const testkit::TTempDir& d) {
         d.WriteFile("elsewhere.txt", "private\r\n");
         std::filesystem::create_symlink(d.Path("elsewhere.txt"), d.Path("Tests/gradebook.csv"));
       },
       "it is a symbolic link, which the program never follows for a log"},
      {"dangling link",
       [](const testkit::TTempDir& d) {
         std::filesystem::create_symlink(d.Path("nothing.txt"), d.Path("Tests/gradebook.csv"));
       },
       "it is a symbolic link, which the program never follows for a log"},
#endif
      {"folder", [](const testkit::TTempDir& d) { std::filesystem::create_directory(d.Path("Tests/gradebook.csv")); },
       "it is not a regular file"},
  };
  for (const auto& c : cases) {
    TLogs logs;
    c.Make(logs.Dir);
    const std::string before = logs.Dir.ReadFile("Tests/results.txt") + logs.Dir.ReadFile("elsewhere.txt");
    try {
      AppendAsOneUnit(logs.Journal, logs.Save(1));
      ADD_FAILURE() << c.Name;
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot open file " + logs.Dir.Path("Tests/gradebook.csv") + ": " + c.Reason)
          << c.Name;
    }
    EXPECT_EQ(logs.Dir.ReadFile("Tests/results.txt") + logs.Dir.ReadFile("elsewhere.txt"), before) << c.Name;
    EXPECT_FALSE(FileExists(logs.Dir.Path("nothing.txt"))) << c.Name;
    EXPECT_FALSE(FileExists(logs.Journal)) << c.Name;
  }
}

// A clear empties the three logs together: cut short at any step, the
// repair empties the rest; a log that is not there is not made; a save cut
// short before the clear is completed first and so cleared, not brought
// back afterwards.
TEST(SaveJournal, ClearEmptiesEveryLogOrLeavesItToTheRepair) {
  for (int killAt = -1; killAt <= 3; ++killAt) {
    TLogs logs;
    AppendAsOneUnit(logs.Journal, logs.Save(1));
    const std::vector<std::string> all = {logs.Dir.Path("Tests/results.txt"), logs.Dir.Path("Tests/detail.csv"),
                                          logs.Dir.Path("Tests/gradebook.csv")};
    SetSaveStepHook([&](int step) {
      if (step == 0) AppendToLog(logs.Dir.Path("Tests/results.txt"), "written meanwhile?\r\n");
      if (step == killAt) throw TKilled{};
    });
    if (killAt >= 0) {
      EXPECT_THROW(ClearAsOneUnit(logs.Journal, all), TKilled);
      SetSaveStepHook({});
      EXPECT_TRUE(CompleteInterruptedSave(logs.Journal)) << killAt;
    } else {
      SetSaveStepHook({});
      ClearAsOneUnit(logs.Journal, all);
    }
    EXPECT_EQ(logs.State(), "|||") << killAt;
  }

  TLogs logs;
  std::filesystem::remove(logs.Dir.Path("Tests/detail.csv"));
  SetSaveStepHook([](int step) {
    if (step == 1) throw TKilled{};
  });
  EXPECT_THROW(AppendAsOneUnit(logs.Journal, logs.Save(1)), TKilled);
  SetSaveStepHook({});
  std::filesystem::remove(logs.Dir.Path("Tests/gradebook.csv"));
  ClearAsOneUnit(logs.Journal, {logs.Dir.Path("Tests/results.txt"), logs.Dir.Path("Tests/gradebook.csv")});
  EXPECT_EQ(logs.Dir.ReadFile("Tests/results.txt") + "|" + logs.Dir.ReadFile("Tests/gradebook.csv"), "|");
  EXPECT_EQ(logs.Dir.ReadFile("Tests/detail.csv"), "HEADER\r\ndetail 1\r\n");  // not in this clear
  EXPECT_FALSE(FileExists(logs.Journal));
  const std::vector<std::string> none = {logs.Dir.Path("Tests/none.csv")};
  ClearAsOneUnit(logs.Journal, none);
  EXPECT_FALSE(FileExists(none[0]));
}
