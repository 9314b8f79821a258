#pragma once
// Builders for the controls every window makes the same way: a name that
// tests find it by, a hover hint and a place.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>

namespace proctorium {

class TImage;

// points > 0 gives the control its own font size, so it keeps it when the
// window's font size follows the settings. Buttons never become the default
// button by taking the focus; a window names its default button itself.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                        const QRect& place, int points = 0);
// For the small dialogs that answer Enter with whichever button has the
// focus: such a button becomes the default while focused, and the first of
// them is the default when the dialog names none.
QPushButton* MakeAutoDefaultButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                                   const QRect& place, int points = 0);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                     const QRect& place);
// Sized to its caption.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, const QPoint& at, int points = 0);

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& hint, const QRect& place);
TImage* MakeImage(QWidget* parent, const char* name, const QString& hint, const QRect& place);

void SetPointSize(QWidget* w, int points);

// How much taller a line of the font is than one of the default 10-point
// font, between 1 and 2: windows keep their design size up to the default
// font and grow by this beyond it.
double FontGrowth(const QFont& font);

// Opens a window laid out for design at the size its font calls for, centred
// on the screen. It grows only as far as the screen has room, and is never
// made smaller than its design.
void OpenGrownForFont(QWidget* window, QSize design);

// A small dialog of fixed design size, laid out by hand, takes the font size
// of the settings: it and every control in it grow by the font's growth
// (see FontGrowth), so nothing is cut off. Up to the default font it keeps
// its design. Call when it is shown; the design places and size are
// remembered the first time.
void GrowFixedDialog(QWidget* dialog, int points);

// A dialog of fixed size gets a title and a close button only: minimise and
// maximise make no sense for it, and they take room a short title needs.
void SetFixedDialogFrame(QWidget* dialog);

}  // namespace proctorium
