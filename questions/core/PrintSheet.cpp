#include "questions/core/PrintSheet.h"

#include "base/core/Cp1252.h"
#include "questions/core/ImportResult.h"

namespace proctorium {

std::vector<TPrintBlock> ComposeSheet(const TQuestionSet& set, TSheetKind kind, const std::string& title) {
  std::vector<TPrintBlock> b;
  const bool key = kind == TSheetKind::AnswerKey;
  b.push_back({TPrintBlock::Title, 0, "", key ? "Answer key: " + title : title, ""});
  if (!key) {
    const std::string d = set.LastIndex >= 0 ? Trim(ToLf(set.ToUtf8(set.Questions[0].Text))) : std::string();
    if (!d.empty()) b.push_back({TPrintBlock::Intro, 0, "", d, ""});
    b.push_back({TPrintBlock::Intro, 0, "", "Name: ______________________________    Date: ______________", ""});
  }
  for (int i = 1; i <= set.LastIndex; ++i) {
    const TQuestion& q = set.Questions[static_cast<size_t>(i)];
    const std::string number = std::to_string(i) + ".";
    if (key) {
      std::string letters;
      for (int a = 0; a < AnswerCount; ++a)
        if (q.CorrectMask & (1u << a)) letters += (letters.empty() ? "" : ", ") + Letter(a);
      b.push_back({TPrintBlock::Key, i, number, letters.empty() ? "(no correct answer)" : letters, ""});
      const std::string ref = Trim(ToLf(set.ToUtf8(q.Remarks)));
      if (!ref.empty()) b.push_back({TPrintBlock::Reference, i, "", ref, ""});
      continue;
    }
    std::string text = ToLf(set.ToUtf8(q.Text));
    text += q.AnswerType != TAnswerType::Single ? "\n(Tick every correct answer.)" : "\n(Tick one answer.)";
    b.push_back({TPrintBlock::Question, i, number, text, ""});
    if (!q.ExhibitFile.empty()) b.push_back({TPrintBlock::Exhibit, i, "", "", q.ExhibitFile});
    for (int a = 0; a < AnswerCount; ++a) {
      const std::string& ans = q.Answers[static_cast<size_t>(a)];
      if (!ans.empty()) b.push_back({TPrintBlock::Answer, i, Letter(a), ToLf(set.ToUtf8(ans)), ""});
    }
  }
  return b;
}

std::vector<std::vector<size_t>> Paginate(const std::vector<TPrintBlock>& blocks, const std::vector<int>& heights,
                                          int pageHeight) {
  std::vector<std::vector<size_t>> pages(1);
  int used = 0;
  for (size_t i = 0; i < blocks.size();) {
    // The question's blocks, from i up to the next group.
    size_t end = i + 1;
    int groupHeight = heights[i];
    while (end < blocks.size() && blocks[end].Group == blocks[i].Group && blocks[i].Group != 0)
      groupHeight += heights[end++];
    if (used > 0 && used + groupHeight > pageHeight && groupHeight <= pageHeight) {
      pages.emplace_back();
      used = 0;
    }
    for (size_t k = i; k < end; ++k) {
      if (used > 0 && used + heights[k] > pageHeight) {
        pages.emplace_back();
        used = 0;
      }
      pages.back().push_back(k);
      used += heights[k];
    }
    i = end;
  }
  return pages;
}

void FitInto(int w, int h, int maxW, int maxH, int& outW, int& outH) {
  outW = w, outH = h;
  if (w <= 0 || h <= 0) {
    outW = outH = 0;
    return;
  }
  if (outW > maxW) outH = static_cast<int>(static_cast<long long>(outH) * maxW / outW), outW = maxW;
  if (outH > maxH) outW = static_cast<int>(static_cast<long long>(outW) * maxH / outH), outH = maxH;
}

}  // namespace proctorium
