#include "testkit/MessageScript.h"

namespace proctorium::testkit {
namespace {

QString TypeName(TMsgDlgType type) {
  static const char* const names[] = {"warning", "error", "information", "confirmation", "plain"};
  return QString::fromLatin1(names[static_cast<int>(type)]);
}

}  // namespace

TMessageScript::TMessageScript() {
  SetMessageHook([this](const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton) {
    return OnMessage(text, type, buttons, defaultButton);
  });
}

TMessageScript::~TMessageScript() { SetMessageHook(nullptr); }

TMessageScript& TMessageScript::Expect(const QString& text, TMsgDlgType type, unsigned buttons, int answer) {
  Queue_.push_back({false, text, type, buttons, answer});
  return *this;
}

TMessageScript& TMessageScript::Answer(int answer) {
  Queue_.push_back({true, QString(), TMsgDlgType::Custom, 0, answer});
  return *this;
}

int TMessageScript::OnMessage(const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton) {
  Shown_.push_back({text, type, buttons, defaultButton});
  if (Queue_.empty()) {
    Errors_ << QStringLiteral("unexpected %1 box: \"%2\"").arg(TypeName(type), text);
    if (buttons & mbNo) return mrNo;
    if (buttons & mbCancel) return mrCancel;
    return mrOk;
  }
  TExpected e = Queue_.front();
  Queue_.pop_front();
  if (!e.AnyText) {
    if (e.Text != text) Errors_ << QStringLiteral("expected box \"%1\" but got \"%2\"").arg(e.Text, text);
    if (e.Type != type)
      Errors_ << QStringLiteral("box \"%1\": expected type %2, got %3").arg(text, TypeName(e.Type), TypeName(type));
    if (e.Buttons != buttons)
      Errors_ << QStringLiteral("box \"%1\": expected buttons %2, got %3").arg(text).arg(e.Buttons).arg(buttons);
  }
  return e.Answer;
}

QString TMessageScript::Verify() const {
  QStringList all = Errors_;
  for (const auto& e : Queue_)
    all << (e.AnyText ? QStringLiteral("an expected box never came")
                      : QStringLiteral("expected box never came: \"%1\"").arg(e.Text));
  return all.join(QStringLiteral("; "));
}

}  // namespace proctorium::testkit
