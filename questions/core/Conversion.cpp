#include "questions/core/Conversion.h"

#include <filesystem>
#include <map>
#include <optional>

#include "base/core/Cp1252.h"
#include "base/core/FileIO.h"
#include "base/core/PathResolver.h"
#include "questions/core/CsvColumnMemory.h"
#include "questions/core/CsvFormat.h"

namespace proctorium {

namespace {

std::string Stem(const std::string& path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(ToFsPath(path), ignored);
}

// The listing goes out in one write: stderr is unbuffered, and a file full
// of refused questions would otherwise cost a system call a line.
void PrintNotes(std::ostream& err, const char* what, const std::vector<TImportNote>& notes, const char* unit) {
  std::string listing;
  for (const TImportNote& n : notes)
    listing += std::string(what) + ": " + unit + " " + std::to_string(n.Line) + ": " + n.Reason + "\n";
  err << listing;
}

bool IsTextFormat(TExchangeFormat f) { return f != TExchangeFormat::Unknown && f != TExchangeFormat::Pdf; }

}  // namespace

bool IsTextConversion(const std::vector<std::string>& args) {
  // Pictures carried in XML are decoded on the way in; on the way out a
  // set's bitmaps are copied as they are.
  return args.size() == 2 && IsTextFormat(FormatOfFile(args[0])) && IsTextFormat(FormatOfFile(args[1])) &&
         FormatOfFile(args[0]) != TExchangeFormat::MoodleXml && args[0].compare(0, 2, "--") != 0 &&
         args[1].compare(0, 2, "--") != 0;
}

int RunConversion(const std::vector<std::string>& args, const std::string& programFolder, const TConversionTools& tools,
                  std::ostream& err) {
  std::vector<std::string> files;
  bool key = false;
  for (const std::string& a : args) {
    if (a == "--key")
      key = true;
    else
      files.push_back(a);
  }
  const char* usage =
      "usage: proctorium-convert IN OUT [--key]\n"
      "  IN:  .qst .txt (Aiken) .gift .xml .csv\n"
      "  OUT: .qst .txt .gift .xml .csv .pdf (--key: the answer key)\n"
      "       proctorium-convert --paper SET [--versions N] [--seed S] [--id-digits D] [--page A4|Letter] OUTDIR\n"
      "       proctorium-convert --score JOB SCANS... OUT.csv\n"
      "  scores scanned answer sheets into a table; the logs are not touched\n";
  if (files.size() != 2) {
    err << usage;
    return 2;
  }
  const std::string& in = files[0];
  const std::string& out = files[1];
  const TExchangeFormat from = FormatOfFile(in), to = FormatOfFile(out);
  if (from == TExchangeFormat::Unknown || from == TExchangeFormat::Pdf || to == TExchangeFormat::Unknown ||
      (key && to != TExchangeFormat::Pdf) || (to == TExchangeFormat::Pdf && !tools.SheetPdf)) {
    err << usage;
    return 2;
  }
  const std::string inFolder = ExtractFilePath(std::filesystem::absolute(ToFsPath(in)).string());
  const std::string outFolder = ExtractFilePath(std::filesystem::absolute(ToFsPath(out)).string());
  // Before anything is written: what a killed conversion left there.
  RemoveStaleTemporaryFiles(outFolder, StaleTemporaryFileAgeSeconds);
  std::vector<TStagedPicture> pictures;
  try {
    TQuestionSet set;
    std::map<std::string, std::string> embedded;  // by stored name
    if (from == TExchangeFormat::QuestionSet) {
      set.LoadFromFile(in);
    } else {
      const std::string bytes = ReadImportFile(in);
      // A table from another tool comes in with the columns a teacher chose
      // for its header in the editor, if any.
      std::optional<TCsvColumns> columns;
      if (from == TExchangeFormat::Csv) {
        const std::vector<std::string> header = ForeignCsvHeader(bytes, in);
        if (!header.empty()) {
          TCsvColumnMemory memory;
          memory.Load(programFolder + "/" + CsvColumnsFileName);
          columns = memory.Find(header);
        }
      }
      // Whatever lies beyond what a set holds is not even parsed.
      TImportResult r =
          columns ? ReadCsv(bytes, in, *columns, MaxQuestions) : ImportQuestions(from, bytes, in, MaxQuestions);
      RefuseOutsideExhibits(r);
      ConvertImages(r, tools.ToBitmap);
      PrintNotes(err, "skipped", r.Skipped, "line");
      if (r.UnreadFrom > 0) err << "skipped: " + UnreadNote(r) + "\n";
      PrintNotes(err, "changed", r.Changed, "line");
      if (to == TExchangeFormat::QuestionSet) {
        pictures = StageImages(r, outFolder);
      } else {
        for (const TEmbeddedImage& im : r.Images) {
          const std::string name = ExhibitNameFor(im.Name);
          r.Questions[static_cast<size_t>(im.Question)].ExhibitFile = name;
          embedded[name] = im.Bytes;
        }
      }
      set = SetOfQuestions(r, ImportedDescription(r, in));
    }
    auto readExhibit = [&](const std::string& stored, std::string& bytes) {
      const auto it = embedded.find(stored);
      if (it != embedded.end()) {
        bytes = it->second;
        return true;
      }
      // A set names its pictures too: none from outside its folder.
      if (!IsNameInsideFolder(Cp1252ToUtf8(stored))) return false;
      return ReadRegularFile(ResolvePath(inFolder, Cp1252ToUtf8(stored)), MaxImportFileBytes, bytes) == TReadResult::Ok;
    };
    switch (to) {
      case TExchangeFormat::QuestionSet: {
        if (set.LastIndex < 0) break;  // no questions, no set
        // The pictures appear only with the set that names them.
        const std::string bytes = set.Serialize();
        CheckSetSize(in, bytes);
        const std::string temporary = WriteTemporaryBeside(out, bytes);
        try {
          PlacePictures(pictures);
          RenameTemporary(temporary, out);
        } catch (...) {
          RemoveFile(temporary);
          throw;
        }
        break;
      }
      case TExchangeFormat::Pdf: {
        const std::string image = tools.SheetPdf(set, key, Stem(in), readExhibit);
        if (image.empty()) throw EFileError("Cannot create file " + out);
        WriteFileAtomic(out, image);  // the folder is tidied above
        break;
      }
      default: {
        const TExportResult r = ExportQuestions(to, set, readExhibit);
        PrintNotes(err, "note", r.Notes, "question");
        WriteFileAtomic(out, r.Bytes);
      }
    }
    return 0;
  } catch (const std::exception& e) {
    RemovePictures(pictures);
    err << e.what() << "\n";
    return 1;
  }
}

}  // namespace proctorium
