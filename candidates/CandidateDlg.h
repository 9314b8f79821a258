#pragma once
// Who is taking the test: asked before the test starts when the
// administrator has turned it on. With a class list the name field offers
// the listed names as the candidate types, whatever the case and accents.

#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "base/Form.h"
#include "candidates/core/ClassList.h"

namespace proctorium {

// Case and accents left out, for comparing names as people type them:
// "Zoë" and "ZOE" are the same.
QString FoldForMatch(const QString& text);

class TCandidateDlg : public TForm {
  Q_OBJECT
 public:
  explicit TCandidateDlg(QWidget* parent = nullptr);

  QLabel* lbCandidateName;
  QLineEdit* edCandidateName;
  QLabel* lbCandidateId;
  QLineEdit* edCandidateId;
  QPushButton* btnOk;
  QPushButton* btnCancel;

  // Sets the dialog up for one start: whether the ID is asked, the class
  // list (empty for none) and whether a name not on it is accepted. Clears
  // what the previous candidate typed.
  void Prepare(bool askId, std::vector<TCandidate> classList, bool allowUnlisted);

  // After OK: the name and ID, trimmed, as typed or as listed (UTF-8).
  const std::string& CandidateName() const { return Name_; }
  const std::string& CandidateId() const { return Id_; }

  // Checks the fields; closes with OK when they are acceptable, otherwise
  // says why and puts the cursor where the fault is.
  void btnOkClick();

 protected:
  void FormShow() override;

 private:
  void reject() override;
  // A listed candidate picked from the offered names fills in the ID.
  void NameChosen(const QString& name);
  const TCandidate* FindListed(const QString& name, const QString& id) const;

  QCompleter* Completer_;
  bool AskId_ = false;
  bool AllowUnlisted_ = false;
  std::vector<TCandidate> List_;
  std::string Name_, Id_;
};

}  // namespace proctorium
