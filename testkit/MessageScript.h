#pragma once
// Scripts the program's message boxes for a test: queue the expected boxes
// with their answers; every box shown is recorded. Verify() reports boxes
// that were expected but never came, and boxes nobody expected.

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "app/MessageDlg.h"

namespace proctorium::testkit {

struct TShownMessage {
  QString Text;
  TMsgDlgType Type;
  unsigned Buttons;
  unsigned DefaultButton;  // 0 when the box left it to the toolkit
};

class TMessageScript {
 public:
  TMessageScript();
  ~TMessageScript();
  TMessageScript(const TMessageScript&) = delete;
  TMessageScript& operator=(const TMessageScript&) = delete;

  // The next box must show this text; it is answered with answer.
  TMessageScript& Expect(const QString& text, TMsgDlgType type, unsigned buttons, int answer = mrOk);
  // The next box, whatever it says, is answered with answer.
  TMessageScript& Answer(int answer);

  const std::vector<TShownMessage>& Shown() const { return Shown_; }
  // Empty when every expectation was met; otherwise what went wrong.
  QString Verify() const;

 private:
  struct TExpected {
    bool AnyText;
    QString Text;
    TMsgDlgType Type;
    unsigned Buttons;
    int Answer;
  };
  int OnMessage(const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton);

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
