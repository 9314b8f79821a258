#pragma once
// Scripts the program's message boxes for a test: queue the expected boxes
// with their answers; every box shown is recorded. Verify() reports boxes
// that were expected but never came, and boxes nobody expected.

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "base/MessageDlg.h"

namespace proctorium::testkit {

struct TShownMessage {
  QString Text;
  TMsgDlgType Type;
  unsigned Buttons;
  unsigned DefaultButton;  // 0 when the box left it to the toolkit
};

class TMessageScript {
 public:
  TMessageScript() {
    SetMessageHook([this](const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton) {
      return OnMessage(text, type, buttons, defaultButton);
    });
  }
  ~TMessageScript() { SetMessageHook(nullptr); }
  TMessageScript(const TMessageScript&) = delete;
  TMessageScript& operator=(const TMessageScript&) = delete;

  // The next box must show this text; it is answered with answer.
  TMessageScript& Expect(const QString& text, TMsgDlgType type, unsigned buttons, int answer = mrOk) {
    Queue_.push_back({false, text, type, buttons, answer});
    return *this;
  }
  // The next box, whatever it says, is answered with answer.
  TMessageScript& Answer(int answer) {
    Queue_.push_back({true, QString(), TMsgDlgType::Custom, 0, answer});
    return *this;
  }

  const std::vector<TShownMessage>& Shown() const { return Shown_; }
  // Empty when every expectation was met; otherwise what went wrong.
  QString Verify() const {
    QStringList all = Errors_;
    for (const auto& e : Queue_)
      all << (e.AnyText ? QStringLiteral("an expected box never came")
                        : QStringLiteral("expected box never came: \"%1\"").arg(e.Text));
    return all.join(QStringLiteral("; "));
  }

 private:
  static QString TypeName(TMsgDlgType type) {
    static const char* const names[] = {"warning", "error", "information", "confirmation", "plain"};
    return QString::fromLatin1(names[static_cast<int>(type)]);
  }
  int OnMessage(const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton) {
    Shown_.push_back({text, type, buttons, defaultButton});
    if (Queue_.empty()) {
      Errors_ << QStringLiteral("unexpected %1 box: \"%2\"").arg(TypeName(type), text);
      return buttons & mbNo ? mrNo : buttons & mbCancel ? mrCancel : mrOk;
    }
    const TExpected e = Queue_.front();
    Queue_.pop_front();
    if (e.AnyText) return e.Answer;
    if (e.Text != text) Errors_ << QStringLiteral("expected box \"%1\" but got \"%2\"").arg(e.Text, text);
    if (e.Type != type)
      Errors_ << QStringLiteral("box \"%1\": expected type %2, got %3").arg(text, TypeName(e.Type), TypeName(type));
    if (e.Buttons != buttons)
      Errors_ << QStringLiteral("box \"%1\": expected buttons %2, got %3").arg(text).arg(e.Buttons).arg(buttons);
    return e.Answer;
  }

  struct TExpected {
    bool AnyText;
    QString Text;
    TMsgDlgType Type;
    unsigned Buttons;
    int Answer;
  };
  std::deque<TExpected> Queue_;
  std::vector<TShownMessage> Shown_;
  QStringList Errors_;
};

}  // namespace proctorium::testkit

// Fails the running Qt test when the script was not followed.
#define VERIFY_MESSAGES(script)                                                   \
  do {                                                                            \
    const QString proctoriumScriptError = (script).Verify();                      \
    QVERIFY2(proctoriumScriptError.isEmpty(), qPrintable(proctoriumScriptError)); \
  } while (0)
