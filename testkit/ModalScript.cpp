#include "testkit/ModalScript.h"

#include <QAbstractButton>

#include "app/ModalSeam.h"

namespace proctorium::testkit {

TModalScript::TModalScript() {
  SetModalHook([this](QDialog* dlg) { return OnModal(dlg); });
}

TModalScript::~TModalScript() { SetModalHook(nullptr); }

TModalScript& TModalScript::Expect(const QString& objectName, TStep step) {
  Queue_.push_back({objectName, std::move(step)});
  return *this;
}

int TModalScript::Click(QDialog* dlg, const char* buttonName) {
  auto* b = dlg->findChild<QAbstractButton*>(QString::fromLatin1(buttonName));
  if (b) b->click();
  return dlg->result();
}

TModalScript::TStep TModalScript::Return(int result) {
  return [result](QDialog*) { return result; };
}

TModalScript::TStep TModalScript::Press(const char* buttonName) {
  return [buttonName](QDialog* dlg) { return Click(dlg, buttonName); };
}

int TModalScript::OnModal(QDialog* dlg) {
  if (Queue_.empty()) {
    Errors_ << QStringLiteral("unexpected modal window %1").arg(dlg->objectName());
    return 0;
  }
  TExpected e = std::move(Queue_.front());
  Queue_.pop_front();
  if (e.Name != dlg->objectName()) {
    Errors_ << QStringLiteral("expected modal window %1 but %2 opened").arg(e.Name, dlg->objectName());
    return 0;
  }
  return e.Step(dlg);
}

QString TModalScript::Verify() const {
  QStringList all = Errors_;
  for (const auto& e : Queue_) all << QStringLiteral("modal window %1 never opened").arg(e.Name);
  return all.join(QStringLiteral("; "));
}

}  // namespace proctorium::testkit
