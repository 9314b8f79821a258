#pragma once
// Every modal message box of the program goes through MessageDlg, so tests
// can answer them and check what was asked.

#include <QString>
#include <exception>
#include <functional>

namespace proctorium {

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Button sets, combined with |.
enum TMsgDlgBtn : unsigned { mbOK = 1, mbYes = 2, mbNo = 4, mbCancel = 8 };

// The result of a modal window or message box.
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// Shows text (line breaks as '\n') and returns the button pressed.
// defaultButton is the one Enter presses (one of buttons); 0 leaves the
// choice to the toolkit. A question whose Yes destroys something names
// mbNo, so a hasty Enter keeps the data.
int MessageDlg(const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton = 0);
// A plain box with an OK button.
void ShowMessage(const QString& text);
// The general error box for a failed action.
void ShowException(const std::exception& e);

// Runs action; an exception it throws is shown in the error box instead of
// escaping into the event loop. Returns false when it threw.
bool Guarded(const std::function<void()>& action);

using TMessageHook =
    std::function<int(const QString& text, TMsgDlgType type, unsigned buttons, unsigned defaultButton)>;
// Replaces the real boxes (tests). An empty hook restores them.
void SetMessageHook(TMessageHook hook);

}  // namespace proctorium
